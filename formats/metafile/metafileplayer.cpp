#include "formats/metafile/metafileplayer.h"

#include "formats/bytes/littleendian.h"

#include <initializer_list>
#include <utility>
#include <variant>

namespace formats::metafile {

namespace {

using formats::bytes::appendLe16;
using formats::bytes::appendLe32;
using formats::bytes::le16;
using formats::bytes::le32;

constexpr std::size_t headerBytes = 18;
constexpr std::size_t recordHeaderBytes = 6; // size in words (4) and function (2)

constexpr std::uint16_t endOfFile = 0x0000;
constexpr std::uint16_t setWindowOrg = 0x020B;
constexpr std::uint16_t setWindowExt = 0x020C;
constexpr std::uint16_t saveDC = 0x001E;
constexpr std::uint16_t restoreDC = 0x0127;
constexpr std::uint16_t stretchDIB = 0x0F43;

constexpr std::uint32_t sourceCopy = 0x00CC0020;
constexpr std::uint32_t infoHeaderBytes = 40;
constexpr std::uint32_t noCompression = 0;

// Every saved state costs the canvas memory, so a metafile cannot nest saves without end.
constexpr int maxSaveDepth = 64;

std::int16_t s16(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::int16_t(le16(b, at));
}

std::int32_t s32(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::int32_t(le32(b, at));
}

std::string n(std::int64_t v)
{
    return std::to_string(v);
}

std::string hex(std::uint32_t v, int digits)
{
    static const char* const digitChars = "0123456789ABCDEF";
    std::string s = "0x";
    for (int i = digits - 1; i >= 0; --i)
        s += digitChars[(v >> (4 * i)) & 0xF];
    return s;
}

Error error(Error::Kind kind, std::size_t offset, std::string message)
{
    return {kind, offset, std::move(message)};
}

// Checks the header and returns where the records end, by the header's total size.
std::variant<std::size_t, Error> readHeader(std::span<const std::uint8_t> b)
{
    if (b.size() < headerBytes)
        return error(Error::Kind::Truncated, b.size(),
                     "metafile of " + n(std::int64_t(b.size())) + " bytes, its header needs 18");
    const std::uint16_t type = le16(b, 0);
    if (type != 1 && type != 2)
        return error(Error::Kind::BadHeader, 0, "metafile type " + n(type) + ", expected 1 or 2");
    const std::uint16_t headerWords = le16(b, 2);
    if (headerWords != 9)
        return error(Error::Kind::BadHeader, 2,
                     "header of " + n(headerWords) + " words, expected 9");
    const std::uint16_t version = le16(b, 4);
    if (version != 0x0100 && version != 0x0300)
        return error(Error::Kind::BadHeader, 4,
                     "version " + hex(version, 4) + ", expected 0x0100 or 0x0300");
    const std::uint64_t totalBytes = std::uint64_t(le32(b, 6)) * 2;
    if (totalBytes < headerBytes + recordHeaderBytes)
        return error(Error::Kind::BadHeader, 6,
                     "total size of " + n(std::int64_t(totalBytes)) +
                         " bytes leaves no room for the end record");
    if (totalBytes > b.size())
        return error(Error::Kind::Truncated, 6,
                     "metafile of " + n(std::int64_t(totalBytes)) + " bytes, " +
                         n(std::int64_t(b.size())) + " present");
    // Bytes after the metafile's total size are not part of it.
    return std::size_t(totalBytes);
}

struct StoredBitmap {
    Bitmap bitmap;
    bool bottomUp = true;
};

// A stretch record's bitmap, from `at` to the record's `end`: a BITMAPINFOHEADER, an optional
// colour table, then the rows, padded to whole 32-bit words.
std::variant<StoredBitmap, Error> readBitmap(std::span<const std::uint8_t> b, std::size_t at,
                                             std::size_t end)
{
    const std::size_t avail = end - at;
    if (avail < infoHeaderBytes)
        return error(Error::Kind::BadBitmap, at,
                     "bitmap header needs 40 bytes, " + n(std::int64_t(avail)) + " left");
    const std::uint32_t infoSize = le32(b, at);
    if (infoSize < infoHeaderBytes)
        return error(Error::Kind::BadBitmap, at,
                     "bitmap header of " + n(infoSize) + " bytes, needs at least 40");
    if (infoSize > avail)
        return error(Error::Kind::BadBitmap, at,
                     "bitmap header of " + n(infoSize) + " bytes, " + n(std::int64_t(avail)) +
                         " left");
    const std::int32_t width = s32(b, at + 4);
    const std::int32_t height = s32(b, at + 8);
    const std::uint16_t planes = le16(b, at + 12);
    const std::uint16_t bits = le16(b, at + 14);
    const std::uint32_t compression = le32(b, at + 16);
    const std::uint32_t coloursUsed = le32(b, at + 32);
    if (width <= 0)
        return error(Error::Kind::BadBitmap, at + 4, "bitmap width " + n(width));
    if (height == 0)
        return error(Error::Kind::BadBitmap, at + 8, "bitmap height 0");
    if (planes != 1)
        return error(Error::Kind::BadBitmap, at + 12, n(planes) + " planes, expected 1");
    if (bits != 24 && bits != 32)
        return error(Error::Kind::BadBitmap, at + 14,
                     n(bits) + " bits per pixel, only 24 and 32 are drawn");
    if (compression != noCompression)
        return error(Error::Kind::BadBitmap, at + 16,
                     "compression " + n(compression) + ", only uncompressed bitmaps are drawn");

    // A colour table is optional at these depths; when present it sits before the rows.
    const std::uint64_t tableBytes = std::uint64_t(coloursUsed) * 4;
    if (tableBytes > avail - infoSize)
        return error(Error::Kind::BadBitmap, at + 32,
                     "colour table of " + n(coloursUsed) + " entries, " +
                         n(std::int64_t(avail - infoSize)) + " bytes left");
    const std::size_t rowsAt = at + infoSize + std::size_t(tableBytes);
    const std::size_t rowsAvail = end - rowsAt;

    // The width is below 2^31, so a row is below 2^34 bytes and nothing here overflows.
    const std::size_t bytesPerPixel = bits / 8;
    const std::uint64_t stride = (std::uint64_t(width) * bytesPerPixel + 3) & ~std::uint64_t(3);
    const std::uint64_t rows = height < 0 ? std::uint64_t(-std::int64_t(height)) : height;
    if (stride > rowsAvail || rows > rowsAvail / stride)
        return error(Error::Kind::BadBitmap, at + 4,
                     "bitmap of " + n(width) + " x " + n(std::int64_t(rows)) + " at " + n(bits) +
                         " bits needs " + n(std::int64_t(stride)) + " bytes a row, " +
                         n(std::int64_t(rowsAvail)) + " bytes left");

    // The rows lie inside the record, so the pixel count is bounded by the metafile's size.
    StoredBitmap stored{{width, int(rows), {}}, height > 0};
    Bitmap& bitmap = stored.bitmap;
    bitmap.pixels.resize(std::size_t(width) * std::size_t(rows));
    const bool bottomUp = stored.bottomUp;
    for (std::size_t y = 0; y < rows; ++y) {
        const std::size_t row = bottomUp ? std::size_t(rows) - 1 - y : y;
        const std::uint8_t* p = b.data() + rowsAt + row * std::size_t(stride);
        std::uint32_t* out = bitmap.pixels.data() + y * std::size_t(width);
        // A 32-bit pixel's fourth byte is unused without bit fields: every pixel is opaque.
        for (std::int32_t x = 0; x < width; ++x, p += bytesPerPixel)
            out[x] = 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }
    return stored;
}

// A stretch record: raster op, colour usage, source height, width, y, x, destination height,
// width, y, x, then the bitmap.
std::optional<Error> playStretch(std::span<const std::uint8_t> b, std::size_t at, std::size_t end,
                                 Canvas& canvas)
{
    constexpr std::size_t paramBytes = 22;
    const std::size_t p = at + recordHeaderBytes;
    if (end - p < paramBytes)
        return error(Error::Kind::BadRecord, at,
                     "stretch record of " + n(std::int64_t(end - at)) +
                         " bytes, its parameters need 28");
    // Other raster operations combine with what is already drawn; our pictures only copy.
    if (le32(b, p) != sourceCopy)
        return std::nullopt;
    // The colour usage only matters for colour tables, which 24 and 32 bits do not index.
    Rect source{s16(b, p + 12), s16(b, p + 10), s16(b, p + 8), s16(b, p + 6)};
    const Rect destination{s16(b, p + 20), s16(b, p + 18), s16(b, p + 16), s16(b, p + 14)};

    auto read = readBitmap(b, p + paramBytes, end);
    if (auto* e = std::get_if<Error>(&read))
        return *e;
    const Bitmap& bitmap = std::get<StoredBitmap>(read).bitmap;

    // Negative sizes ask for a mirrored copy, which our pictures never use: it is not drawn.
    if (source.width <= 0 || source.height <= 0 || destination.width <= 0 ||
        destination.height <= 0)
        return std::nullopt;
    // A bottom-up bitmap counts the source's y from its bottom row upwards.
    if (std::get<StoredBitmap>(read).bottomUp)
        source.y = bitmap.height - source.y - source.height;
    if (source.x < 0 || source.y < 0 || source.x + source.width > bitmap.width ||
        source.y + source.height > bitmap.height)
        return error(Error::Kind::BadBitmap, p + 6,
                     "source " + n(source.width) + " x " + n(source.height) + " at " + n(source.x) +
                         "," + n(source.y) + " outside the bitmap of " + n(bitmap.width) + " x " +
                         n(bitmap.height));
    canvas.stretchBitmap(destination, source, bitmap);
    return std::nullopt;
}

// Plays the records from `at` to `end`; `depth` counts the saves still open.
std::optional<Error> playRecords(std::span<const std::uint8_t> b, std::size_t at, std::size_t end,
                                 Canvas& canvas, int& depth)
{
    // Every record takes at least 6 bytes, so the walk ends after end / 6 steps.
    for (std::size_t guard = 0; guard <= end / recordHeaderBytes; ++guard) {
        if (end - at < recordHeaderBytes)
            return error(Error::Kind::Truncated, at,
                         "no end record: " + n(std::int64_t(end - at)) +
                             " bytes left, a record needs 6");
        const std::uint64_t words = le32(b, at);
        const std::uint16_t function = le16(b, at + 4);
        if (words < 3)
            return error(Error::Kind::BadRecord, at,
                         "record " + hex(function, 4) + " of " + n(std::int64_t(words)) +
                             " words, needs at least 3");
        if (words * 2 > end - at)
            return error(Error::Kind::BadRecord, at,
                         "record " + hex(function, 4) + " of " + n(std::int64_t(words * 2)) +
                             " bytes, " + n(std::int64_t(end - at)) + " left");
        const std::size_t recordEnd = at + std::size_t(words * 2);
        const std::size_t p = at + recordHeaderBytes;
        const auto needs = [&](std::size_t paramBytes) -> std::optional<Error> {
            if (recordEnd - p >= paramBytes)
                return std::nullopt;
            return error(Error::Kind::BadRecord, at,
                         "record " + hex(function, 4) + " of " + n(std::int64_t(words * 2)) +
                             " bytes, its parameters need " + n(std::int64_t(paramBytes)));
        };

        switch (function) {
        case endOfFile:
            return std::nullopt;
        case setWindowOrg:
            if (auto e = needs(4))
                return e;
            canvas.setWindowOrigin(s16(b, p + 2), s16(b, p));
            break;
        case setWindowExt:
            if (auto e = needs(4))
                return e;
            canvas.setWindowExtent(s16(b, p + 2), s16(b, p));
            break;
        case saveDC:
            if (depth == maxSaveDepth)
                return error(Error::Kind::BadRecord, at,
                             "more than " + n(maxSaveDepth) + " states saved at once");
            canvas.saveState();
            ++depth;
            break;
        case restoreDC: {
            if (auto e = needs(2))
                return e;
            // Negative counts back from the last save; positive names the save by its number
            // and drops the saves made after it. One that names no open save changes nothing.
            const int which = s16(b, p);
            const int drops = which < 0 ? -which : depth - which + 1;
            if (which != 0 && drops >= 1 && drops <= depth) {
                for (int i = 0; i < drops; ++i)
                    canvas.restoreState();
                depth -= drops;
            }
            break;
        }
        case stretchDIB:
            if (auto e = playStretch(b.first(recordEnd), at, recordEnd, canvas))
                return e;
            break;
        default:
            // Mapping, stretching and background modes and the like change nothing we draw.
            break;
        }
        at = recordEnd;
    }
    return error(Error::Kind::TooManyRecords, at,
                 "more than " + n(std::int64_t(end / recordHeaderBytes)) + " records");
}

} // namespace

std::optional<Error> play(std::span<const std::uint8_t> bytes, Canvas& canvas)
{
    auto header = readHeader(bytes);
    if (auto* e = std::get_if<Error>(&header))
        return *e;
    const std::size_t end = std::get<std::size_t>(header);
    int depth = 0;
    auto result = playRecords(bytes, headerBytes, end, canvas, depth);
    // However the records end, the canvas is left with the states it had.
    for (; depth > 0; --depth)
        canvas.restoreState();
    return result;
}

namespace {

// A record: its size in 16-bit words, its function, then its parameters.
void record(std::vector<std::uint8_t>& out, std::uint16_t function,
            std::initializer_list<std::int32_t> words)
{
    appendLe32(out, std::uint32_t(3 + words.size()));
    appendLe16(out, function);
    for (std::int32_t w : words)
        appendLe16(out, std::uint32_t(w) & 0xFFFF);
}

} // namespace

std::vector<std::uint8_t> writePictureMetafile(const Bitmap& bitmap, std::int32_t extentWidth,
                                               std::int32_t extentHeight)
{
    const std::uint32_t w = std::uint32_t(bitmap.width);
    const std::uint32_t h = std::uint32_t(bitmap.height);
    const std::uint32_t stride = (w * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * h;
    const std::uint32_t dibBytes = 40 + imageSize;
    const std::uint32_t stretchWords = 14 + dibBytes / 2;

    std::vector<std::uint8_t> out;
    out.reserve(18 + 56 + 2 * stretchWords);
    // The header's total size and largest record are filled in at the end.
    appendLe16(out, 1);      // in memory
    appendLe16(out, 9);      // header words
    appendLe16(out, 0x0300); // version
    appendLe32(out, 0);
    appendLe16(out, 0); // objects
    appendLe32(out, stretchWords);
    appendLe16(out, 0);

    record(out, 0x020B, {0, 0});                      // window origin, y before x
    record(out, 0x020C, {extentHeight, extentWidth}); // window extent
    record(out, 0x0103, {8});                         // anisotropic mapping
    record(out, 0x0107, {3});                         // stretch by deleting scans
    record(out, 0x0102, {1});                         // transparent background
    appendLe32(out, stretchWords);
    appendLe16(out, 0x0F43);
    appendLe32(out, 0x00CC0020); // copy the source
    appendLe16(out, 0);          // colours are RGB
    for (std::int32_t v : {std::int32_t(h), std::int32_t(w), 0, 0, extentHeight, extentWidth, 0, 0})
        appendLe16(out, std::uint32_t(v) & 0xFFFF);
    appendLe32(out, 40);
    appendLe32(out, w);
    appendLe32(out, h); // bottom-up
    appendLe16(out, 1);
    appendLe16(out, 24);
    appendLe32(out, 0); // no compression
    appendLe32(out, imageSize);
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
    appendLe32(out, 0);
    for (std::uint32_t y = h; y-- > 0;) {
        for (std::uint32_t x = 0; x < w; ++x) {
            const std::uint32_t p = bitmap.pixels[y * w + x];
            out.push_back(std::uint8_t(p));       // blue
            out.push_back(std::uint8_t(p >> 8));  // green
            out.push_back(std::uint8_t(p >> 16)); // red
        }
        for (std::uint32_t pad = w * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    record(out, 0x0000, {}); // end

    const std::uint32_t totalWords = std::uint32_t(out.size() / 2);
    out[6] = std::uint8_t(totalWords);
    out[7] = std::uint8_t(totalWords >> 8);
    out[8] = std::uint8_t(totalWords >> 16);
    out[9] = std::uint8_t(totalWords >> 24);
    return out;
}

} // namespace formats::metafile
