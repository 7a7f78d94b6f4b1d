#include "formats/bytes/littleendian.h"
#include "formats/metafile/metafileplayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace formats::metafile;

namespace {

using Bytes = std::vector<std::uint8_t>;
using formats::bytes::appendLe16;
using formats::bytes::appendLe32;
using formats::bytes::le16;
using formats::bytes::le32;

// A picture whose every pixel differs, so a misplaced row or column shows.
Bitmap gradient(int width, int height)
{
    Bitmap b{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.pixels.push_back(0xFF000000u | std::uint32_t(x * 7) << 16 |
                               std::uint32_t(y * 5) << 8 | std::uint32_t((x + y) & 0xFF));
    return b;
}

// A device-independent bitmap as a stretch record carries it.
Bytes dib(const Bitmap& b, int bits = 24, bool topDown = false, std::uint32_t tableEntries = 0)
{
    const std::uint32_t stride = (std::uint32_t(b.width) * std::uint32_t(bits / 8) + 3) & ~3u;
    Bytes out;
    appendLe32(out, 40);
    appendLe32(out, std::uint32_t(b.width));
    appendLe32(out, std::uint32_t(topDown ? -b.height : b.height));
    appendLe16(out, 1);
    appendLe16(out, std::uint32_t(bits));
    appendLe32(out, 0);
    appendLe32(out, stride * std::uint32_t(b.height));
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, tableEntries);
    appendLe32(out, 0);
    for (std::uint32_t i = 0; i < tableEntries; ++i)
        appendLe32(out, 0x00ABCDEF);
    for (int row = 0; row < b.height; ++row) {
        const int y = topDown ? row : b.height - 1 - row;
        std::size_t written = 0;
        for (int x = 0; x < b.width; ++x) {
            const std::uint32_t p = b.pixels[std::size_t(y * b.width + x)];
            out.insert(out.end(), {std::uint8_t(p), std::uint8_t(p >> 8), std::uint8_t(p >> 16)});
            if (bits == 32)
                out.push_back(0x5A); // unused byte, not alpha
            written += std::size_t(bits / 8);
        }
        for (; written < stride; ++written)
            out.push_back(0);
    }
    return out;
}

// Builds a metafile record by record; the header's sizes are worked out from the records.
class Builder {
public:
    Builder& record(std::uint16_t function, std::vector<int> words = {})
    {
        Bytes r;
        appendLe32(r, std::uint32_t(3 + words.size()));
        appendLe16(r, function);
        for (int w : words)
            appendLe16(r, std::uint32_t(w) & 0xFFFF);
        return raw(r);
    }
    Builder& stretch(Rect dest, Rect src, const Bytes& bitmap, std::uint32_t rop = 0x00CC0020)
    {
        Bytes r;
        appendLe32(r, std::uint32_t(14 + (bitmap.size() + 1) / 2));
        appendLe16(r, 0x0F43);
        appendLe32(r, rop);
        appendLe16(r, 0);
        for (int v : {src.height, src.width, src.y, src.x, dest.height, dest.width, dest.y, dest.x})
            appendLe16(r, std::uint32_t(v) & 0xFFFF);
        r.insert(r.end(), bitmap.begin(), bitmap.end());
        if (r.size() % 2)
            r.push_back(0);
        return raw(r);
    }
    Builder& raw(const Bytes& r)
    {
        records_.insert(records_.end(), r.begin(), r.end());
        return *this;
    }
    Builder& end() { return record(0x0000); }
    Bytes bytes(std::uint16_t type = 1, std::uint16_t version = 0x0300) const
    {
        Bytes b;
        appendLe16(b, type);
        appendLe16(b, 9);
        appendLe16(b, version);
        appendLe32(b, std::uint32_t((18 + records_.size()) / 2));
        appendLe16(b, 0);
        appendLe32(b, 0);
        appendLe16(b, 0);
        b.insert(b.end(), records_.begin(), records_.end());
        return b;
    }

private:
    Bytes records_;
};

// Records what the player asks of its canvas, one line per call.
class RecordingCanvas : public Canvas {
public:
    std::vector<std::string> calls;
    std::vector<Bitmap> bitmaps;

    void setWindowOrigin(std::int32_t x, std::int32_t y) override
    {
        calls.push_back("origin " + std::to_string(x) + "," + std::to_string(y));
    }
    void setWindowExtent(std::int32_t w, std::int32_t h) override
    {
        calls.push_back("extent " + std::to_string(w) + "x" + std::to_string(h));
    }
    void saveState() override { calls.push_back("save"); }
    void restoreState() override { calls.push_back("restore"); }
    void stretchBitmap(const Rect& d, const Rect& s, const Bitmap& b) override
    {
        calls.push_back("stretch " + text(s) + " -> " + text(d));
        bitmaps.push_back(b);
    }

private:
    static std::string text(const Rect& r)
    {
        return std::to_string(r.width) + "x" + std::to_string(r.height) + "@" +
               std::to_string(r.x) + "," + std::to_string(r.y);
    }
};

using Calls = std::vector<std::string>;

// ---------------------------------------------------------------------------------------------
// The writer of our cached picture.

TEST(PictureMetafile, Is3208BytesWithTheRecordsOfTheCachedPicture)
{
    const Bitmap picture = gradient(32, 32);
    const Bytes m = writePictureMetafile(picture, 846, 846);
    ASSERT_EQ(m.size(), 3208u);

    EXPECT_EQ(le16(m, 0), 1);      // in memory
    EXPECT_EQ(le16(m, 2), 9);      // header words
    EXPECT_EQ(le16(m, 4), 0x0300); // version
    EXPECT_EQ(le32(m, 6), 3208u / 2);
    EXPECT_EQ(le16(m, 10), 0);         // no objects
    EXPECT_EQ(le32(m, 12), 3140u / 2); // the stretch record is the largest
    EXPECT_EQ(le16(m, 16), 0);

    struct Expected {
        std::uint16_t function;
        std::size_t bytes;
        std::vector<std::uint16_t> leading; // the first parameter words
    };
    const std::vector<Expected> expected = {
        {0x020B, 10, {0, 0}},
        {0x020C, 10, {846, 846}},
        {0x0103, 8, {8}},
        {0x0107, 8, {3}},
        {0x0102, 8, {1}},
        // raster op 0x00CC0020, usage 0, source 32 x 32 at 0,0, destination 846 x 846 at 0,0
        {0x0F43, 28 + 3112, {0x0020, 0x00CC, 0, 32, 32, 0, 0, 846, 846, 0, 0}},
        {0x0000, 6, {}},
    };
    std::size_t at = 18;
    for (const Expected& e : expected) {
        ASSERT_LE(at + 6, m.size());
        EXPECT_EQ(le32(m, at), e.bytes / 2) << "record " << e.function;
        EXPECT_EQ(le16(m, at + 4), e.function);
        for (std::size_t i = 0; i < e.leading.size(); ++i)
            EXPECT_EQ(le16(m, at + 6 + 2 * i), e.leading[i])
                << "record " << e.function << " word " << i;
        at += e.bytes;
    }
    EXPECT_EQ(at, m.size());

    // The bitmap: a 40-byte header for 32 x +32 at 24 bits, then bottom-up rows in BGR order.
    const std::size_t info = 18 + 10 + 10 + 8 + 8 + 8 + 28;
    EXPECT_EQ(le32(m, info), 40u);
    EXPECT_EQ(le32(m, info + 4), 32u);
    EXPECT_EQ(le32(m, info + 8), 32u);
    EXPECT_EQ(le16(m, info + 12), 1);
    EXPECT_EQ(le16(m, info + 14), 24);
    EXPECT_EQ(le32(m, info + 16), 0u);
    EXPECT_EQ(le32(m, info + 20), 3072u);
    const std::uint32_t bottomLeft = picture.pixels[31 * 32];
    EXPECT_EQ(m[info + 40], std::uint8_t(bottomLeft));
    EXPECT_EQ(m[info + 41], std::uint8_t(bottomLeft >> 8));
    EXPECT_EQ(m[info + 42], std::uint8_t(bottomLeft >> 16));
}

TEST(PictureMetafile, ExtentIsWrittenHeightBeforeWidth)
{
    const Bytes m = writePictureMetafile(gradient(32, 32), 400, 300);
    EXPECT_EQ(le16(m, 28 + 6), 300);
    EXPECT_EQ(le16(m, 28 + 8), 400);
    const std::size_t stretch = 18 + 10 + 10 + 8 + 8 + 8;
    EXPECT_EQ(le16(m, stretch + 6 + 14), 300); // destination height
    EXPECT_EQ(le16(m, stretch + 6 + 16), 400); // destination width
}

TEST(PictureMetafile, PlaysBackToThePictureItWasWrittenFrom)
{
    const Bitmap picture = gradient(32, 32);
    RecordingCanvas canvas;
    const auto error = play(writePictureMetafile(picture, 846, 846), canvas);
    ASSERT_FALSE(error) << error->message;
    EXPECT_EQ(canvas.calls,
              (Calls{"origin 0,0", "extent 846x846", "stretch 32x32@0,0 -> 846x846@0,0"}));
    ASSERT_EQ(canvas.bitmaps.size(), 1u);
    EXPECT_EQ(canvas.bitmaps[0].width, 32);
    EXPECT_EQ(canvas.bitmaps[0].height, 32);
    EXPECT_EQ(canvas.bitmaps[0].pixels, picture.pixels);
}

// ---------------------------------------------------------------------------------------------
// Metafiles the player accepts.

const Bitmap small = gradient(3, 2); // 9 bytes a row at 24 bits: padded to 12

struct GoodCase {
    const char* name;
    Bytes metafile;
    Calls calls;
    Bitmap bitmap; // what the stretch drew, when it drew
};

class GoodMetafile : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodMetafile, IsPlayed)
{
    const GoodCase& c = GetParam();
    RecordingCanvas canvas;
    const auto error = play(c.metafile, canvas);
    ASSERT_FALSE(error) << "offset " << error->offset << ": " << error->message;
    EXPECT_EQ(canvas.calls, c.calls);
    if (!c.bitmap.pixels.empty()) {
        ASSERT_EQ(canvas.bitmaps.size(), 1u);
        EXPECT_EQ(canvas.bitmaps[0].width, c.bitmap.width);
        EXPECT_EQ(canvas.bitmaps[0].height, c.bitmap.height);
        EXPECT_EQ(canvas.bitmaps[0].pixels, c.bitmap.pixels);
    }
}

const Rect whole{0, 0, 3, 2};
const Rect there{5, 6, 30, 20};

INSTANTIATE_TEST_SUITE_P(
    Table, GoodMetafile,
    ::testing::Values(
        GoodCase{"emptyPicture", Builder().end().bytes(), {}, {}},
        GoodCase{"onDiskVersion1", Builder().record(0x020B, {7, -3}).end().bytes(2, 0x0100),
                 {"origin -3,7"}, {}},
        GoodCase{"bottomUp24",
                 Builder().stretch(there, whole, dib(small)).end().bytes(),
                 {"stretch 3x2@0,0 -> 30x20@5,6"},
                 small},
        GoodCase{"topDown24", Builder().stretch(there, whole, dib(small, 24, true)).end().bytes(),
                 {"stretch 3x2@0,0 -> 30x20@5,6"},
                 small},
        GoodCase{"bottomUp32", Builder().stretch(there, whole, dib(small, 32)).end().bytes(),
                 {"stretch 3x2@0,0 -> 30x20@5,6"},
                 small},
        GoodCase{"colourTableSkipped",
                 Builder().stretch(there, whole, dib(small, 24, false, 2)).end().bytes(),
                 {"stretch 3x2@0,0 -> 30x20@5,6"},
                 small},
        // A bottom-up bitmap counts the source's y from the bottom: y 0, height 1 is its last
        // row from the top.
        GoodCase{"bottomUpSourceRowCountsFromTheBottom",
                 Builder().stretch(there, {1, 0, 2, 1}, dib(small)).end().bytes(),
                 {"stretch 2x1@1,1 -> 30x20@5,6"},
                 small},
        GoodCase{"topDownSourceRowCountsFromTheTop",
                 Builder().stretch(there, {1, 0, 2, 1}, dib(small, 24, true)).end().bytes(),
                 {"stretch 2x1@1,0 -> 30x20@5,6"},
                 small},
        GoodCase{"otherRecordsSkipped",
                 Builder()
                     .record(0x0103, {8})
                     .record(0x0201, {0x00FF, 0x0000}) // background colour
                     .record(0x0626, {1, 2, 3, 4})     // an escape
                     .record(0x1234)                   // no such record
                     .record(0x020C, {20, 10})
                     .end()
                     .bytes(),
                 {"extent 10x20"},
                 {}},
        GoodCase{"otherRasterOperationSkipped",
                 Builder().stretch(there, whole, dib(small), 0x008800C6).end().bytes(), {}, {}},
        GoodCase{"mirroredCopySkipped",
                 Builder().stretch({30, 0, -30, 20}, whole, dib(small)).end().bytes(), {}, {}},
        GoodCase{"emptySourceSkipped",
                 Builder().stretch(there, {0, 0, 0, 2}, dib(small)).end().bytes(), {}, {}},
        GoodCase{"saveAndRestoreByCount",
                 Builder()
                     .record(0x001E)
                     .record(0x001E)
                     .record(0x0127, {-2})
                     .record(0x0127, {-1}) // nothing left to restore
                     .end()
                     .bytes(),
                 {"save", "save", "restore", "restore"},
                 {}},
        GoodCase{"restoreBySaveNumber",
                 Builder()
                     .record(0x001E)
                     .record(0x001E)
                     .record(0x001E)
                     .record(0x0127, {2}) // drops the second and third
                     .record(0x0127, {5}) // no such save
                     .record(0x0127, {0})
                     .end()
                     .bytes(),
                 {"save", "save", "save", "restore", "restore", "restore"},
                 {}},
        GoodCase{"unbalancedSavesRestoredAtTheEnd",
                 Builder().record(0x001E).record(0x001E).end().bytes(),
                 {"save", "save", "restore", "restore"},
                 {}},
        GoodCase{"recordsAfterTheEndNotPlayed",
                 Builder().end().record(0x020B, {1, 1}).bytes(), {}, {}},
        GoodCase{"bytesAfterTheTotalSizeIgnored",
                 [] {
                     Bytes b = Builder().end().bytes();
                     b.insert(b.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0x0B, 0x02});
                     return b;
                 }(),
                 {},
                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Damaged metafiles: a clean error, with where and why.

struct BadCase {
    const char* name;
    Bytes metafile;
    Error::Kind kind;
    std::size_t offset;
    const char* mentions; // a number or word the message must carry
};

class BadMetafile : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadMetafile, IsRejectedWithWhereAndWhy)
{
    const BadCase& c = GetParam();
    RecordingCanvas canvas;
    const auto error = play(c.metafile, canvas);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, c.kind) << error->message;
    EXPECT_EQ(error->offset, c.offset) << error->message;
    EXPECT_NE(error->message.find(c.mentions), std::string::npos) << error->message;
    EXPECT_EQ(std::count(canvas.calls.begin(), canvas.calls.end(), "save"),
              std::count(canvas.calls.begin(), canvas.calls.end(), "restore"))
        << "the canvas is left as it was found";
}

const Bytes written = writePictureMetafile(gradient(32, 32), 32, 32);
constexpr std::size_t stretchAt = 18 + 10 + 10 + 8 + 8 + 8;
constexpr std::size_t infoAt = stretchAt + 28;

Bytes cut(Bytes b, std::size_t size)
{
    b.resize(size);
    return b;
}

Bytes patched32(Bytes b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    return b;
}

Bytes patched16(Bytes b, std::size_t at, std::uint16_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
    return b;
}

Bytes withRecord(const Bytes& record)
{
    return Builder().record(0x020B, {0, 0}).raw(record).end().bytes();
}

Bytes withBitmap(const Bytes& bitmap, Rect src = whole)
{
    return Builder().stretch(there, src, bitmap).end().bytes();
}

using K = Error::Kind;
INSTANTIATE_TEST_SUITE_P(
    Table, BadMetafile,
    ::testing::Values(
        BadCase{"empty", {}, K::Truncated, 0, "18"},
        BadCase{"cutInHeader", cut(written, 10), K::Truncated, 10, "10"},
        BadCase{"cutAfterHeader", cut(written, 18), K::Truncated, 6, "3208"},
        BadCase{"cutInStretch", cut(written, 100), K::Truncated, 6, "100 present"},
        BadCase{"cutBeforeEnd", cut(written, 3202), K::Truncated, 6, "3202"},
        BadCase{"wrongType", patched16(written, 0, 3), K::BadHeader, 0, "type 3"},
        BadCase{"placeable", patched32(written, 0, 0x9AC6CDD7), K::BadHeader, 0, "type"},
        BadCase{"wrongHeaderSize", patched16(written, 2, 12), K::BadHeader, 2, "12 words"},
        BadCase{"wrongVersion", patched16(written, 4, 0x0200), K::BadHeader, 4, "0x0200"},
        BadCase{"totalTooSmall", patched32(written, 6, 10), K::BadHeader, 6, "20 bytes"},
        BadCase{"totalHuge", patched32(written, 6, 0xFFFFFFFF), K::Truncated, 6, "8589934590"},
        BadCase{"recordOfSize0", withRecord({0, 0, 0, 0, 0x0B, 0x02}), K::BadRecord, 28,
                "0 words"},
        BadCase{"recordOfSize1", withRecord({1, 0, 0, 0, 0x0B, 0x02}), K::BadRecord, 28,
                "1 words"},
        BadCase{"recordOfSize2", withRecord({2, 0, 0, 0, 0x03, 0x01}), K::BadRecord, 28,
                "2 words"},
        BadCase{"recordPastTheEnd", withRecord({0x40, 0, 0, 0, 0x03, 0x01, 8, 0}), K::BadRecord,
                28, "128 bytes, 14 left"},
        BadCase{"recordSizeHuge", withRecord({0xFF, 0xFF, 0xFF, 0xFF, 0x03, 0x01, 8, 0}),
                K::BadRecord, 28, "8589934590"},
        BadCase{"originWithoutParameters", withRecord({3, 0, 0, 0, 0x0B, 0x02}), K::BadRecord,
                28, "need 4"},
        BadCase{"restoreWithoutParameter", withRecord({3, 0, 0, 0, 0x27, 0x01}), K::BadRecord,
                28, "need 2"},
        BadCase{"noEndRecord", Builder().record(0x020B, {0, 0}).bytes(), K::Truncated, 28,
                "no end record"},
        BadCase{"stretchParametersCut", withRecord({8, 0, 0, 0, 0x43, 0x0F, 0x20, 0, 0xCC, 0, 0, 0,
                                                    32, 0, 32, 0}),
                K::BadRecord, 28, "need 28"},
        BadCase{"stretchWithoutBitmap",
                withRecord([] {
                    Bytes r;
                    appendLe32(r, 14);
                    appendLe16(r, 0x0F43);
                    appendLe32(r, 0x00CC0020);
                    for (int i = 0; i < 9; ++i)
                        appendLe16(r, 1);
                    return r;
                }()),
                K::BadBitmap, 28 + 28, "40 bytes, 0 left"},
        BadCase{"coreHeader", patched32(written, infoAt, 12), K::BadBitmap, infoAt, "12 bytes"},
        BadCase{"infoHeaderPastRecord", patched32(written, infoAt, 5000), K::BadBitmap, infoAt,
                "5000"},
        BadCase{"widthZero", patched32(written, infoAt + 4, 0), K::BadBitmap, infoAt + 4,
                "width 0"},
        BadCase{"widthNegative", patched32(written, infoAt + 4, std::uint32_t(-32)), K::BadBitmap,
                infoAt + 4, "width -32"},
        BadCase{"heightZero", patched32(written, infoAt + 8, 0), K::BadBitmap, infoAt + 8,
                "height 0"},
        BadCase{"rowsPastRecord", patched32(written, infoAt + 8, 33), K::BadBitmap, infoAt + 4,
                "32 x 33"},
        BadCase{"widthHuge", patched32(written, infoAt + 4, 0x7FFFFFFF), K::BadBitmap,
                infoAt + 4, "2147483647"},
        BadCase{"heightMostNegative", patched32(written, infoAt + 8, 0x80000000), K::BadBitmap,
                infoAt + 4, "2147483648"},
        BadCase{"twoPlanes", patched16(written, infoAt + 12, 2), K::BadBitmap, infoAt + 12,
                "2 planes"},
        BadCase{"eightBits", patched16(written, infoAt + 14, 8), K::BadBitmap, infoAt + 14,
                "8 bits"},
        BadCase{"compressed", patched32(written, infoAt + 16, 3), K::BadBitmap, infoAt + 16,
                "compression 3"},
        BadCase{"colourTableHuge", patched32(written, infoAt + 32, 0x40000001), K::BadBitmap,
                infoAt + 32, "1073741825"},
        BadCase{"sourcePastTheBitmap", withBitmap(dib(small), {2, 0, 2, 2}), K::BadBitmap,
                18 + 12, "outside"},
        BadCase{"sourceAboveTheBitmap", withBitmap(dib(small, 24, true), {0, 1, 3, 2}),
                K::BadBitmap, 18 + 12, "outside"},
        BadCase{"savesWithoutEnd",
                [] {
                    Builder b;
                    for (int i = 0; i < 65; ++i)
                        b.record(0x001E);
                    return b.end().bytes();
                }(),
                K::BadRecord, 18 + 64 * 6, "64"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedMetafile, DrawsWhatCameBeforeTheDamageAndNothingAfter)
{
    Bytes broken = dib(small);
    broken[14] = 16; // 16 bits per pixel
    const Bytes m = Builder()
                        .stretch(there, whole, dib(small))
                        .stretch(there, whole, broken)
                        .stretch(there, whole, dib(small))
                        .end()
                        .bytes();
    RecordingCanvas canvas;
    const auto error = play(m, canvas);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, Error::Kind::BadBitmap);
    EXPECT_EQ(canvas.calls, (Calls{"stretch 3x2@0,0 -> 30x20@5,6"}));
}

} // namespace
