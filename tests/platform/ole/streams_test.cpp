// Reading a recording object from its storage: the four streams as they are written, and a
// table of damaged ones, each of which must end in a clean error with the right code.

#include "formats/compound/compoundwriter.h"
#include "objectbytes.h"
#include "platform/ole/compoundstorage.h"
#include "platform/ole/objectstreams.h"
#include "platform/ole/oleerror.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace platform::ole;
using namespace oletest;

namespace {

bool within(std::span<const std::uint8_t> part, std::span<const std::uint8_t> whole)
{
    return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

TEST(ObjectStreams, ReadsTheRecordingInPlaceWithItsPictureAndNames)
{
    const Bytes samples = toneSamples(440, 0.5);
    MemoryStorage storage = soundObjectStorage(samples);
    const ObjectStreams object = readObjectStreams(storage);

    EXPECT_EQ(object.userType, "Wavesound");
    EXPECT_EQ(object.programId, "SoundRec");
    EXPECT_EQ(object.presentation.aspect, 1u);
    EXPECT_EQ(object.presentation.extent, QSize(846, 846));
    EXPECT_EQ(Bytes(object.presentation.metafile.begin(), object.presentation.metafile.end()),
              someMetafile());
    EXPECT_EQ(object.wave.format.sampleRate, 44100u);
    EXPECT_EQ(object.wave.format.channels, 1);
    EXPECT_EQ(object.wave.format.bitsPerSample, 16);
    ASSERT_EQ(object.wave.samples.size(), samples.size());
    // A view into the stream, not a copy of the recording.
    EXPECT_TRUE(within(object.wave.samples, storage.stream(nativeStreamName)));
}

// Layouts that writers differ in, all read alike.
struct LayoutCase {
    const char* name;
    PresentationLayout presentation;
    CompObjLayout compObj;
};

class AcceptedLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(AcceptedLayouts, Load)
{
    MemoryStorage storage = soundObjectStorage();
    storage.streams[std::u16string(presentationStreamName)] =
        presentationStream(someMetafile(), GetParam().presentation);
    storage.streams[std::u16string(compObjStreamName)] = compObjStream(GetParam().compObj);
    const ObjectStreams object = readObjectStreams(storage);
    EXPECT_EQ(Bytes(object.presentation.metafile.begin(), object.presentation.metafile.end()),
              someMetafile());
    EXPECT_EQ(object.presentation.extent, QSize(846, 846));
}

INSTANTIATE_TEST_SUITE_P(
    Table, AcceptedLayouts,
    ::testing::Values(LayoutCase{"tableOfContentsRightAfterThePicture", {}, {}},
                      LayoutCase{"reservedFieldBeforeTheTable", {.trailer = true}, {}},
                      LayoutCase{"noTableOfContents", {.toc = false}, {}},
                      LayoutCase{"noUnicodePartInCompObj", {}, {.unicodePart = false}},
                      LayoutCase{"aTargetDevice", {.deviceSize = 12}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Damage ------------------------------------------------------------------------------------

struct DamageCase {
    const char* name;
    std::function<void(MemoryStorage&)> damage;
    std::uint32_t code;
    const char* detail; // a part of the error's text
};

void replace(MemoryStorage& storage, std::u16string_view name, Bytes bytes)
{
    storage.streams[std::u16string(name)] = std::move(bytes);
}

Bytes truncated(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

class DamagedStreams : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedStreams, FailCleanly)
{
    MemoryStorage storage = soundObjectStorage();
    GetParam().damage(storage);
    try {
        readObjectStreams(storage);
        FAIL() << "loaded";
    } catch (const OleError& error) {
        EXPECT_EQ(error.code(), GetParam().code)
            << std::hex << error.code() << ": " << error.what();
        EXPECT_NE(std::string(error.what()).find(GetParam().detail), std::string::npos)
            << error.what();
    }
}

const Bytes wave = waveFile(toneSamples(440, 0.1));

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedStreams,
    ::testing::Values(
        DamageCase{"anotherClass", [](MemoryStorage& s) { s.classId_[0] = 0x0C; },
                   codes::ClassNotRegistered, "{0003000C-0000-0000-C000-000000000046}"},
        DamageCase{"noOleStream", [](MemoryStorage& s) { s.streams.erase(u"\u0001Ole"); },
                   codes::FileNotFound, ""},
        DamageCase{"noNativeData", [](MemoryStorage& s) { s.streams.erase(u"\u0001Ole10Native"); },
                   codes::FileNotFound, ""},
        DamageCase{"shortOleStream",
                   [](MemoryStorage& s) { replace(s, oleStreamName, truncated(oleStream(), 12)); },
                   codes::DocfileCorrupt, "\\1Ole bei Offset 12"},
        DamageCase{"emptyOleStream", [](MemoryStorage& s) { replace(s, oleStreamName, {}); },
                   codes::DocfileCorrupt, "\\1Ole bei Offset 0"},
        DamageCase{"otherOleVersion",
                   [](MemoryStorage& s) { replace(s, oleStreamName, oleStream(0x01000001)); },
                   codes::DocfileCorrupt, "0x01000001"},
        DamageCase{"linkedObject",
                   [](MemoryStorage& s) { replace(s, oleStreamName, oleStream(0x02000001, 1)); },
                   codes::Fail, "verknüpft"},
        DamageCase{
            "compObjHeaderCutShort",
            [](MemoryStorage& s) { replace(s, compObjStreamName, truncated(compObjStream(), 20)); },
            codes::DocfileCorrupt, "\\1CompObj bei Offset 0"},
        DamageCase{"userTypeLongerThanTheStream",
                   [](MemoryStorage& s) {
                       replace(s, compObjStreamName, compObjStream({.userTypeLength = 0x7FFFFFFF}));
                   },
                   codes::DocfileCorrupt, "\\1CompObj bei Offset 32"},
        DamageCase{"programIdLongerThanTheStream",
                   [](MemoryStorage& s) {
                       replace(s, compObjStreamName, compObjStream({.programIdLength = 200}));
                   },
                   codes::DocfileCorrupt, "\\1CompObj bei Offset 50"},
        DamageCase{"unicodeUserTypeLongerThanTheStream",
                   [](MemoryStorage& s) {
                       replace(s, compObjStreamName,
                               compObjStream({.unicodeUserTypeLength = 0xFFFFFFFF}));
                   },
                   codes::DocfileCorrupt, "4294967295 Zeichen"},
        DamageCase{"pictureSizePastTheEnd",
                   [](MemoryStorage& s) {
                       replace(s, presentationStreamName,
                               presentationStream(someMetafile(), {.metafileSizeDelta = 9}));
                   },
                   codes::DocfileCorrupt, "\\2OlePres000 bei Offset 40"},
        DamageCase{"pictureSizeHuge",
                   [](MemoryStorage& s) {
                       replace(s, presentationStreamName,
                               presentationStream(someMetafile(),
                                                  {.metafileSizeDelta = 0xFFFFFF00 - 64}));
                   },
                   codes::DocfileCorrupt, "Metafile"},
        DamageCase{"targetDevicePastTheEnd",
                   [](MemoryStorage& s) {
                       replace(s, presentationStreamName,
                               presentationStream(someMetafile(),
                                                  {.deviceSize = 100000, .deviceBytes = 0}));
                   },
                   codes::DocfileCorrupt, "Zielgerät"},
        DamageCase{"targetDeviceSizeBelowItsOwn",
                   [](MemoryStorage& s) {
                       replace(s, presentationStreamName,
                               presentationStream(someMetafile(), {.deviceSize = 2}));
                   },
                   codes::DocfileCorrupt, "kleiner als 4"},
        DamageCase{"notAMetafilePicture",
                   [](MemoryStorage& s) {
                       replace(s, presentationStreamName,
                               presentationStream(someMetafile(), {.format = 8}));
                   },
                   codes::Fail, "Format 8"},
        DamageCase{"negativeExtent",
                   [](MemoryStorage& s) {
                       replace(s, presentationStreamName,
                               presentationStream(someMetafile(), {.width = -846}));
                   },
                   codes::DocfileCorrupt, "nicht positiv"},
        DamageCase{"somethingElseAfterThePicture",
                   [](MemoryStorage& s) {
                       Bytes b = presentationStream(someMetafile(), {.toc = false});
                       putText(b, "JUNKJUNK");
                       replace(s, presentationStreamName, b);
                   },
                   codes::DocfileCorrupt, "NANI"},
        DamageCase{"moreTableEntriesThanBytes",
                   [](MemoryStorage& s) {
                       replace(s, presentationStreamName,
                               presentationStream(someMetafile(), {.tocCount = 0x10000000}));
                   },
                   codes::DocfileCorrupt, "Einträge"},
        DamageCase{"nativeCountPastTheStream",
                   [](MemoryStorage& s) {
                       Bytes b = nativeStream(wave);
                       b[0] += 1;
                       replace(s, nativeStreamName, b);
                   },
                   codes::DocfileCorrupt, "\\1Ole10Native bei Offset 0"},
        DamageCase{"nativeStreamWithoutItsCount",
                   [](MemoryStorage& s) {
                       replace(s, nativeStreamName, {1, 2});
                   },
                   codes::DocfileCorrupt, "\\1Ole10Native"},
        DamageCase{"notAWaveFile",
                   [](MemoryStorage& s) {
                       Bytes w = wave;
                       w[0] = 'X';
                       replace(s, nativeStreamName, nativeStream(w));
                   },
                   codes::DocfileCorrupt, "Wave-Datei"},
        DamageCase{"waveDataPastTheFile",
                   [](MemoryStorage& s) {
                       replace(s, nativeStreamName, nativeStream(truncated(wave, 200)));
                   },
                   codes::DocfileCorrupt, "Wave-Datei"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Over a compound document ------------------------------------------------------------------

// The streams written into a compound document, as the program stores them.
class CompoundStorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MemoryStorage streams = soundObjectStorage(toneSamples(440, 0.5));
        std::vector<formats::compound::StreamData> data;
        for (const auto& [name, bytes] : streams.streams)
            data.push_back({name, bytes});
        document = formats::compound::writeCompoundFile(soundRecClassId, data);
        native = streams.streams[std::u16string(nativeStreamName)];
        compObj = streams.streams[std::u16string(compObjStreamName)];
        ASSERT_FALSE(std::holds_alternative<formats::compound::Error>(
            formats::compound::CompoundFile::open(document)));
    }

    Bytes document;
    Bytes native;
    Bytes compObj;
};

TEST_F(CompoundStorageTest, GivesEachStreamWholeAndTheBigOneInPlace)
{
    CompoundStorage storage(document);
    EXPECT_EQ(storage.classId(), soundRecClassId);
    const auto big = storage.stream(nativeStreamName);
    EXPECT_EQ(Bytes(big.begin(), big.end()), native);
    EXPECT_TRUE(within(big, document)) << "the recording was copied";
    const auto small = storage.stream(compObjStreamName);
    EXPECT_EQ(Bytes(small.begin(), small.end()), compObj);
    // Asked again, the same bytes: a stream is gathered only once.
    EXPECT_EQ(storage.stream(compObjStreamName).data(), small.data());
    EXPECT_NO_THROW(readObjectStreams(storage));
}

TEST_F(CompoundStorageTest, AMissingStreamIsNotFound)
{
    CompoundStorage storage(document);
    try {
        storage.stream(u"\u0001Ole11Native");
        FAIL();
    } catch (const OleError& error) {
        EXPECT_EQ(error.code(), codes::FileNotFound);
        EXPECT_NE(std::string(error.what()).find("\\1Ole11Native"), std::string::npos);
    }
}

struct DocumentDamage {
    const char* name;
    std::function<void(Bytes&)> damage;
    std::uint32_t code;
};

class DamagedDocument : public CompoundStorageTest,
                        public ::testing::WithParamInterface<DocumentDamage> {};

TEST_P(DamagedDocument, FailsWithTheReadersWords)
{
    GetParam().damage(document);
    try {
        CompoundStorage storage(document);
        readObjectStreams(storage);
        FAIL() << "read";
    } catch (const OleError& error) {
        EXPECT_EQ(error.code(), GetParam().code) << std::hex << error.code() << error.what();
        EXPECT_NE(std::string(error.what()), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedDocument,
    ::testing::Values(DocumentDamage{"signature", [](Bytes& d) { d[0] = 0; }, codes::InvalidHeader},
                      DocumentDamage{"cutInTheHeader", [](Bytes& d) { d.resize(100); },
                                     codes::DocfileCorrupt},
                      DocumentDamage{"cutInTheRecording",
                                     [](Bytes& d) {
                                         d.erase(d.end() -
                                                     std::min<std::ptrdiff_t>(4096, std::ssize(d)),
                                                 d.end());
                                     },
                                     codes::DocfileCorrupt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
