#include "formats/compound/compoundfile.h"
#include "tests/formats/compoundlayout.h"
#include "tools/soundobject/composition.h"
#include "tools/soundobject/picture.h"
#include "tools/soundobject/soundobjectwriter.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace soundobject;
using formats::compound::CompoundFile;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The generated value changes only when the recording, the picture or the layout does; re-pin it
// from the failure message then.
constexpr const char* pinnedSha256 =
    "dba897a589cee69f3368d32ed120439efe34a6e9cd171d6eb3fb0da6239ffd86";

// The file the build generated, and what the layout code makes from the same parts.
class SoundObject : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::ifstream in(SOUNDOBJECT_FILE, std::ios::binary);
        generated = new Bytes(std::istreambuf_iterator<char>(in), {});
        samples = new std::vector<std::int16_t>(composeRecording());
        streams = new Streams(makeStreams(*samples, drawPicture()));
    }
    static void TearDownTestSuite()
    {
        delete generated;
        delete samples;
        delete streams;
    }

    static std::span<const std::uint8_t> document()
    {
        return std::span<const std::uint8_t>(*generated).subspan(layout::headerSize);
    }

    static inline Bytes* generated = nullptr;
    static inline std::vector<std::int16_t>* samples = nullptr;
    static inline Streams* streams = nullptr;
};

TEST_F(SoundObject, GeneratedFileIsWhatTheLayoutCodeMakes)
{
    ASSERT_EQ(generated->size(), 15148044u) << SOUNDOBJECT_FILE;
    EXPECT_TRUE(*generated == storedValue(*streams));
    EXPECT_TRUE(layoutFaults(*streams, *generated).empty());
}

TEST_F(SoundObject, HeaderSaysBdocContentAndTheDocumentSize)
{
    ASSERT_GE(generated->size(), 12u);
    const Bytes header(generated->begin(), generated->begin() + 12);
    EXPECT_EQ(header, (Bytes{'B', 'D', 'O', 'C', 1, 0, 0, 0, 0x00, 0x24, 0xE7, 0x00}));
}

TEST_F(SoundObject, PinnedChecksum)
{
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(generated->data(), qsizetype(generated->size())),
                                 QCryptographicHash::Sha256)
            .toHex();
    EXPECT_EQ(digest.toStdString(), pinnedSha256)
        << "the stored value changed; if that was meant, pin its new SHA-256: "
        << digest.toStdString();
}

TEST_F(SoundObject, AllocationFollowsTheSectorBudget)
{
    ASSERT_EQ(generated->size(), 15148044u);
    const auto allocation = compoundlayout::checkAllocation(document());
    for (const auto& fault : allocation.faults)
        ADD_FAILURE() << fault;
    EXPECT_EQ(allocation.sectors, 29585u);
    EXPECT_EQ(allocation.fatSectors.size(), 232u);
    EXPECT_EQ(allocation.difatSectors.size(), 1u);
}

TEST_F(SoundObject, EveryStreamReadsBackByteForByte)
{
    ASSERT_EQ(generated->size(), 15148044u);
    auto opened = CompoundFile::open(document());
    ASSERT_TRUE(std::holds_alternative<CompoundFile>(opened))
        << std::get<formats::compound::Error>(opened).message;
    const CompoundFile& file = std::get<CompoundFile>(opened);
    EXPECT_EQ(file.root().classId, soundClassId);
    EXPECT_EQ(file.root().size, 54u * 64u) << "mini sectors in use, whole";

    struct Expected {
        std::u16string_view name;
        const Bytes* bytes;
        std::size_t size;
    };
    const Expected table[] = {
        {oleName, &streams->ole, 20},
        {compObjName, &streams->compObj, 75},
        {presentationName, &streams->presentation, 3256},
        {nativeName, &streams->native, 15022812},
    };
    for (const Expected& e : table) {
        SCOPED_TRACE(std::string(e.name.begin() + 1, e.name.end()));
        const auto id = file.find(0, e.name);
        ASSERT_TRUE(id.has_value());
        EXPECT_EQ(file.entries()[*id].size, e.size);
        auto read = file.read(*id);
        ASSERT_TRUE(std::holds_alternative<Bytes>(read));
        EXPECT_EQ(std::get<Bytes>(read).size(), e.size);
        EXPECT_TRUE(std::get<Bytes>(read) == *e.bytes);
    }

    const auto native = file.contiguous(*file.find(0, nativeName));
    ASSERT_TRUE(native.has_value()) << "the recording is not in one piece";
    EXPECT_GE(native->data(), generated->data());
    EXPECT_LE(native->data() + native->size(), generated->data() + generated->size());
    EXPECT_TRUE(
        std::equal(native->begin(), native->end(), streams->native.begin(), streams->native.end()));
}

Bytes u16(std::uint16_t v)
{
    return {std::uint8_t(v), std::uint8_t(v >> 8)};
}

Bytes u32(std::uint32_t v)
{
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

Bytes text(std::string_view s, bool terminated = false)
{
    Bytes b(s.begin(), s.end());
    if (terminated)
        b.push_back(0);
    return b;
}

struct Field {
    const char* stream;
    std::size_t offset;
    Bytes value;
};

TEST_F(SoundObject, StreamFieldsHoldTheLayoutsValues)
{
    const Bytes classId(soundClassId.begin(), soundClassId.end());
    const Field fields[] = {
        {"Ole", 0, u32(0x02000001)},
        {"Ole", 4, u32(0)},
        {"Ole", 8, u32(0)},
        {"Ole", 12, u32(0)},
        {"Ole", 16, u32(0)},
        {"CompObj", 0, u32(0xFFFE0001)},
        {"CompObj", 4, u32(0x00000A03)},
        {"CompObj", 8, u32(0xFFFFFFFF)},
        {"CompObj", 12, classId},
        {"CompObj", 28, u32(10)},
        {"CompObj", 32, text("Wavesound", true)},
        {"CompObj", 42, u32(0)},
        {"CompObj", 46, u32(9)},
        {"CompObj", 50, text("SoundRec", true)},
        {"CompObj", 59, u32(0x71B239F4)},
        {"CompObj", 63, u32(0)},
        {"CompObj", 67, u32(0)},
        {"CompObj", 71, u32(0)},
        {"OlePres000", 0, u32(0xFFFFFFFF)},
        {"OlePres000", 4, u32(3)},
        {"OlePres000", 8, u32(4)},
        {"OlePres000", 12, u32(1)},
        {"OlePres000", 16, u32(0xFFFFFFFF)},
        {"OlePres000", 20, u32(2)},
        {"OlePres000", 24, u32(0)},
        {"OlePres000", 28, u32(846)},
        {"OlePres000", 32, u32(846)},
        {"OlePres000", 36, u32(3208)},
        // The metafile's own header: in memory, 9 words, version 3, 1,604 words in all.
        {"OlePres000", 40, u16(1)},
        {"OlePres000", 42, u16(9)},
        {"OlePres000", 44, u16(0x0300)},
        {"OlePres000", 46, u32(1604)},
        {"OlePres000", 3248, text("NANI")},
        {"OlePres000", 3252, u32(0)},
        {"Ole10Native", 0, u32(15022808)},
        {"Ole10Native", 4, text("RIFF")},
        {"Ole10Native", 8, u32(15022800)},
        {"Ole10Native", 12, text("WAVEfmt ")},
        {"Ole10Native", 20, u32(18)},
        {"Ole10Native", 24, u16(1)},
        {"Ole10Native", 26, u16(1)},
        {"Ole10Native", 28, u32(44100)},
        {"Ole10Native", 32, u32(88200)},
        {"Ole10Native", 36, u16(2)},
        {"Ole10Native", 38, u16(16)},
        {"Ole10Native", 40, u16(0)},
        {"Ole10Native", 42, text("fact")},
        {"Ole10Native", 46, u32(4)},
        {"Ole10Native", 50, u32(7511375)},
        {"Ole10Native", 54, text("data")},
        {"Ole10Native", 58, u32(15022750)},
    };
    auto streamNamed = [&](std::string_view name) -> const Bytes& {
        if (name == "Ole")
            return streams->ole;
        if (name == "CompObj")
            return streams->compObj;
        if (name == "OlePres000")
            return streams->presentation;
        return streams->native;
    };
    for (const Field& f : fields) {
        const Bytes& s = streamNamed(f.stream);
        ASSERT_LE(f.offset + f.value.size(), s.size()) << f.stream << " at " << f.offset;
        EXPECT_EQ(Bytes(s.begin() + std::ptrdiff_t(f.offset),
                        s.begin() + std::ptrdiff_t(f.offset + f.value.size())),
                  f.value)
            << f.stream << " at " << f.offset;
    }

    // The samples follow the data chunk's header, little-endian.
    ASSERT_EQ(samples->size(), sampleCount);
    ASSERT_EQ(streams->native.size(), 62 + samples->size() * 2);
    bool same = true;
    for (std::size_t i = 0; i < samples->size() && same; ++i)
        same = streams->native[62 + 2 * i] == std::uint8_t(std::uint16_t((*samples)[i])) &&
               streams->native[63 + 2 * i] == std::uint8_t(std::uint16_t((*samples)[i]) >> 8);
    EXPECT_TRUE(same);
}

// The generator refuses parts of the wrong size instead of writing a value that lies about them.
struct WrongPart {
    const char* label;
    std::size_t samples;
    int pictureWidth;
    const char* fault;
};

class SoundObjectLayoutFaults : public testing::TestWithParam<WrongPart> {};

TEST_P(SoundObjectLayoutFaults, AreNamed)
{
    const WrongPart& p = GetParam();
    const std::vector<std::int16_t> recording(p.samples, 0);
    formats::metafile::Bitmap picture{p.pictureWidth, 32,
                                      std::vector<std::uint32_t>(std::size_t(p.pictureWidth) * 32)};
    const Streams parts = makeStreams(recording, picture);
    const auto faults = layoutFaults(parts, storedValue(parts));
    ASSERT_FALSE(faults.empty());
    std::string all;
    for (const auto& f : faults)
        all += f + "\n";
    EXPECT_NE(all.find(p.fault), std::string::npos) << all;
}

INSTANTIATE_TEST_SUITE_P(
    Parts, SoundObjectLayoutFaults,
    testing::Values(WrongPart{"one sample short", sampleCount - 1, 32, "Ole10Native stream is"},
                    WrongPart{"one sample more", sampleCount + 1, 32, "the wave file is"},
                    WrongPart{"wider picture", sampleCount, 33, "the cached metafile is"}),
    [](const auto& info) {
        std::string name = info.param.label;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

} // namespace
