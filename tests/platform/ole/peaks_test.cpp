// The recording's outline: each run's lowest and highest sample, whatever the sample layout.

#include "objectbytes.h"
#include "platform/ole/waveformpeaks.h"

#include <gtest/gtest.h>

#include <string>

using namespace platform::ole;
using namespace oletest;

namespace {

struct PeakCase {
    const char* name;
    formats::wave::Format format;
    Bytes samples;
    std::size_t runs;
    std::uint64_t frames;
    std::vector<std::pair<int, int>> expected; // low, high per run
};

Bytes words(std::initializer_list<int> values)
{
    Bytes b;
    for (int v : values)
        appendLe16(b, std::uint32_t(v));
    return b;
}

class Peaks : public ::testing::TestWithParam<PeakCase> {};

TEST_P(Peaks, PerRun)
{
    const PeakCase& c = GetParam();
    const WaveformPeaks peaks(c.format, c.samples, c.runs);
    EXPECT_EQ(peaks.frames(), c.frames);
    std::vector<std::pair<int, int>> got;
    for (const auto& p : peaks.runs())
        got.emplace_back(p.low, p.high);
    EXPECT_EQ(got, c.expected);
}

const formats::wave::Format mono16{1, 44100, 16};
const formats::wave::Format stereo16{2, 44100, 16};
const formats::wave::Format mono8{1, 8000, 8};

INSTANTIATE_TEST_SUITE_P(
    Table, Peaks,
    ::testing::Values(
        PeakCase{"mono16",
                 mono16,
                 words({1, -5, 7, 3, -32768, 32767}),
                 3,
                 6,
                 {{-5, 1}, {3, 7}, {-32768, 32767}}},
        PeakCase{"unevenRuns", mono16, words({1, 2, 3, 4, 5}), 2, 5, {{1, 2}, {3, 5}}},
        PeakCase{"fewerFramesThanRuns", mono16, words({-1, 1}), 8, 2, {{-1, -1}, {1, 1}}},
        PeakCase{"stereoTakesBothChannels", stereo16, words({10, -20, 30, 5}), 1, 2, {{-20, 30}}},
        PeakCase{
            "eightBitWidened", mono8, Bytes{0, 128, 255, 129}, 2, 4, {{-32768, 0}, {256, 32512}}},
        PeakCase{"halfAFrameLeftOut", mono16, Bytes{1, 0, 2, 0, 9}, 4, 2, {{1, 1}, {2, 2}}},
        PeakCase{"nothing", mono16, Bytes{}, 4, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PeakColumns, MergeTheRunsUnderEachPixel)
{
    const WaveformPeaks peaks(mono16, words({0, 10, -10, 20, -20, 30, -30, 40}), 8);
    // Two columns over eight runs: four each.
    EXPECT_EQ(peaks.column(0, 2).low, -10);
    EXPECT_EQ(peaks.column(0, 2).high, 20);
    EXPECT_EQ(peaks.column(1, 2).low, -30);
    EXPECT_EQ(peaks.column(1, 2).high, 40);
    // More columns than runs: each column shows the run under it.
    EXPECT_EQ(peaks.column(15, 16).high, 40);
    EXPECT_EQ(peaks.column(16, 16).high, 0) << "outside the view";
}

} // namespace
