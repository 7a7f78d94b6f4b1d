#include "formats/bytes/littleendian.h"
#include "formats/wave/wavereader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace formats::wave;

namespace {

using Bytes = std::vector<std::uint8_t>;
using formats::bytes::appendLe16;
using formats::bytes::appendLe32;

void putTag(Bytes& b, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(std::uint8_t(tag[i]));
}

// A chunk with its header; odd sizes get their pad byte unless told otherwise.
Bytes chunk(const char* tag, const Bytes& body, bool pad = true)
{
    Bytes b;
    putTag(b, tag);
    appendLe32(b, std::uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (pad && body.size() % 2)
        b.push_back(0);
    return b;
}

Bytes fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
          int size = 16)
{
    Bytes b;
    const std::uint16_t align = std::uint16_t(channels * bits / 8);
    appendLe16(b, tag);
    appendLe16(b, channels);
    appendLe32(b, rate);
    appendLe32(b, rate * align);
    appendLe16(b, align);
    appendLe16(b, bits);
    if (size >= 18)
        appendLe16(b, std::uint16_t(size - 18)); // extra bytes that follow
    if (size == 40) {
        appendLe16(b, bits);                  // valid bits
        appendLe32(b, channels == 2 ? 3 : 4); // channel mask
        const Bytes pcm = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                           0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        b.insert(b.end(), pcm.begin(), pcm.end());
    }
    return b;
}

Bytes riff(const std::vector<Bytes>& chunks, const char* form = "WAVE")
{
    Bytes body;
    putTag(body, form);
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    Bytes b;
    putTag(b, "RIFF");
    appendLe32(b, std::uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes samples(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = std::uint8_t(i * 7 + 1);
    return b;
}

Bytes cut(Bytes b, std::size_t size)
{
    b.resize(size);
    return b;
}

Bytes withRiffSize(Bytes b, std::uint32_t size)
{
    b[4] = std::uint8_t(size);
    b[5] = std::uint8_t(size >> 8);
    b[6] = std::uint8_t(size >> 16);
    b[7] = std::uint8_t(size >> 24);
    return b;
}

const Bytes pcm16 = fmt(1, 1, 44100, 16);

struct GoodCase {
    const char* name;
    Bytes file;
    Format format;
    std::size_t offset; // where the samples begin
    std::size_t size;   // how many sample bytes are played
};

class GoodWave : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodWave, IsRead)
{
    const GoodCase& c = GetParam();
    auto result = readWave(c.file);
    if (auto* e = std::get_if<Error>(&result))
        FAIL() << "offset " << e->offset << ": " << e->message;
    const Wave& w = std::get<Wave>(result);
    EXPECT_EQ(w.format.channels, c.format.channels);
    EXPECT_EQ(w.format.sampleRate, c.format.sampleRate);
    EXPECT_EQ(w.format.bitsPerSample, c.format.bitsPerSample);
    EXPECT_EQ(w.samplesOffset, c.offset);
    EXPECT_EQ(w.samples.size(), c.size);
    EXPECT_EQ(w.samples.data(), c.file.data() + c.offset) << "a view, not a copy";
}

INSTANTIATE_TEST_SUITE_P(
    Table, GoodWave,
    ::testing::Values(
        GoodCase{"mono16", riff({chunk("fmt ", pcm16), chunk("data", samples(100))}),
                 {1, 44100, 16}, 44, 100},
        GoodCase{"stereo8", riff({chunk("fmt ", fmt(1, 2, 22050, 8)), chunk("data", samples(64))}),
                 {2, 22050, 8}, 44, 64},
        GoodCase{"mono8OddSizeLastPadMissing",
                 riff({chunk("fmt ", fmt(1, 1, 8000, 8)), chunk("data", samples(33), false)}),
                 {1, 8000, 8}, 44, 33},
        GoodCase{"mono8RiffSizeCountsTheMissingPad",
                 [] {
                     Bytes b = riff({chunk("fmt ", fmt(1, 1, 8000, 8)),
                                     chunk("data", samples(33), false)});
                     return withRiffSize(b, std::uint32_t(b.size() - 8 + 1));
                 }(),
                 {1, 8000, 8}, 44, 33},
        GoodCase{"fmt18WithFactChunk",
                 riff({chunk("fmt ", fmt(1, 1, 44100, 16, 18)), chunk("fact", samples(4)),
                       chunk("data", samples(40))}),
                 {1, 44100, 16}, 12 + 8 + 18 + 12 + 8, 40},
        GoodCase{"fmt40Extensible",
                 riff({chunk("fmt ", fmt(0xFFFE, 2, 48000, 16, 40)), chunk("data", samples(80))}),
                 {2, 48000, 16}, 12 + 8 + 40 + 8, 80},
        GoodCase{"unknownOddChunkPaddedAndSkipped",
                 riff({chunk("LIST", samples(5)), chunk("fmt ", pcm16), chunk("data", samples(8))}),
                 {1, 44100, 16}, 12 + 14 + 24 + 8, 8},
        GoodCase{"dataBeforeFmt", riff({chunk("data", samples(6)), chunk("fmt ", pcm16)}),
                 {1, 44100, 16}, 20, 6},
        GoodCase{"partialLastFrameLeftOut",
                 riff({chunk("fmt ", fmt(1, 2, 44100, 16)), chunk("data", samples(10))}),
                 {2, 44100, 16}, 44, 8},
        GoodCase{"bytesAfterTheRiffChunkIgnored",
                 [] {
                     Bytes b = riff({chunk("fmt ", pcm16), chunk("data", samples(4))});
                     b.insert(b.end(), {'j', 'u', 'n', 'k', 0xFF, 0xFF, 0xFF, 0xFF});
                     return b;
                 }(),
                 {1, 44100, 16}, 44, 4},
        GoodCase{"emptyData", riff({chunk("fmt ", pcm16), chunk("data", {})}), {1, 44100, 16},
                 44, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    Bytes file;
    Error::Kind kind;
    std::size_t offset;
    const char* mentions; // a number or word the message must carry
};

class BadWave : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadWave, IsRejectedWithWhereAndWhy)
{
    const BadCase& c = GetParam();
    auto result = readWave(c.file);
    ASSERT_TRUE(std::holds_alternative<Error>(result));
    const Error& e = std::get<Error>(result);
    EXPECT_EQ(e.kind, c.kind) << e.message;
    EXPECT_EQ(e.offset, c.offset) << e.message;
    EXPECT_NE(e.message.find(c.mentions), std::string::npos) << e.message;
}

const Bytes good = riff({chunk("fmt ", pcm16), chunk("data", samples(100))});

using K = Error::Kind;
INSTANTIATE_TEST_SUITE_P(
    Table, BadWave,
    ::testing::Values(
        BadCase{"empty", {}, K::Truncated, 0, "12"},
        BadCase{"shortHeader", cut(good, 11), K::Truncated, 11, "11"},
        BadCase{"notRiff", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, K::NotRiff, 0,
                "RIFX"},
        BadCase{"notWave", riff({}, "AVI "), K::NotWave, 8, "AVI "},
        BadCase{"riffLongerThanFile", cut(good, good.size() - 1), K::Truncated, 4, "136"},
        // One byte beyond the file is a missing pad only where the last chunk has one.
        BadCase{"riffOneBeyondPaddedLastChunk",
                [] {
                    Bytes b = riff({chunk("fmt ", pcm16), chunk("data", samples(33))});
                    return withRiffSize(b, std::uint32_t(b.size() - 8 + 1));
                }(),
                K::Truncated, 4, "71"},
        BadCase{"riffSizeHuge", withRiffSize(good, 0xFFFFFFFF), K::Truncated, 4, "4294967295"},
        BadCase{"chunkHeaderCut", riff({chunk("fmt ", pcm16), Bytes{'d', 'a', 't', 'a'}}),
                K::Truncated, 36, "4 left"},
        BadCase{"dataLongerThanRiff",
                withRiffSize(riff({chunk("fmt ", pcm16), chunk("data", samples(100))}), 36 + 50),
                K::Truncated, 40, "100"},
        BadCase{"noFmt", riff({chunk("data", samples(4))}), K::MissingFormat, 24, "format"},
        BadCase{"noData", riff({chunk("fmt ", pcm16)}), K::MissingData, 36, "data"},
        BadCase{"fmtTooShort", riff({chunk("fmt ", cut(pcm16, 14)), chunk("data", samples(4))}),
                K::BadChunk, 20, "14"},
        BadCase{"float", riff({chunk("fmt ", fmt(3, 1, 44100, 32)), chunk("data", samples(4))}),
                K::UnsupportedFormat, 20, "3"},
        BadCase{"adpcm", riff({chunk("fmt ", fmt(2, 1, 44100, 4)), chunk("data", samples(4))}),
                K::UnsupportedFormat, 20, "2"},
        BadCase{"24bit", riff({chunk("fmt ", fmt(1, 1, 44100, 24)), chunk("data", samples(6))}),
                K::UnsupportedFormat, 34, "24"},
        BadCase{"sixChannels",
                riff({chunk("fmt ", fmt(1, 6, 44100, 16)), chunk("data", samples(12))}),
                K::UnsupportedFormat, 22, "6"},
        BadCase{"noChannels", riff({chunk("fmt ", fmt(1, 0, 44100, 16)), chunk("data", {})}),
                K::UnsupportedFormat, 22, "0"},
        BadCase{"rateTooLow", riff({chunk("fmt ", fmt(1, 1, 100, 16)), chunk("data", {})}),
                K::UnsupportedFormat, 24, "100"},
        BadCase{"rateTooHigh", riff({chunk("fmt ", fmt(1, 1, 1000000, 16)), chunk("data", {})}),
                K::UnsupportedFormat, 24, "1000000"},
        BadCase{"blockAlignWrong",
                [] {
                    Bytes f = pcm16;
                    f[12] = 4;
                    return riff({chunk("fmt ", f), chunk("data", samples(4))});
                }(),
                K::BadChunk, 32, "4"},
        BadCase{"byteRateWrong",
                [] {
                    Bytes f = pcm16;
                    f[8] = 1;
                    return riff({chunk("fmt ", f), chunk("data", samples(4))});
                }(),
                K::BadChunk, 28, "88200"},
        BadCase{"extensibleNotPcm",
                [] {
                    Bytes f = fmt(0xFFFE, 1, 44100, 16, 40);
                    f[24] = 3; // the float sub-format
                    return riff({chunk("fmt ", f), chunk("data", samples(4))});
                }(),
                K::UnsupportedFormat, 44, "PCM"},
        BadCase{"extensibleTooShort",
                riff({chunk("fmt ", fmt(0xFFFE, 1, 44100, 16, 18)), chunk("data", samples(4))}),
                K::BadChunk, 20, "18"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaveWalk, ManyEmptyChunksEndWithinTheFile)
{
    std::vector<Bytes> chunks(10000, chunk("junk", {}));
    chunks.push_back(chunk("fmt ", pcm16));
    chunks.push_back(chunk("data", samples(2)));
    auto result = readWave(riff(chunks));
    ASSERT_TRUE(std::holds_alternative<Wave>(result));
    EXPECT_EQ(std::get<Wave>(result).samples.size(), 2u);
}

} // namespace
