#include "tools/soundobject/composition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

using soundobject::composeRecording;
using soundobject::sampleCount;
using soundobject::sampleRate;

namespace {

using Samples = std::vector<std::int16_t>;

// Composing takes most of a second, so the suite composes once.
class Recording : public ::testing::Test {
protected:
    static void SetUpTestSuite() { samples_ = new Samples(composeRecording()); }
    static void TearDownTestSuite()
    {
        delete samples_;
        samples_ = nullptr;
    }
    static const Samples& samples() { return *samples_; }

private:
    static inline Samples* samples_ = nullptr;
};

double dbfs(double level)
{
    return 20 * std::log10(level / 32768.0 + 1e-12);
}

double rmsDb(const Samples& s, std::size_t from, std::size_t count)
{
    double sum = 0;
    for (std::size_t i = from; i < from + count; ++i)
        sum += double(s[i]) * s[i];
    return dbfs(std::sqrt(sum / double(count)));
}

const double pi = 3.14159265358979323846;

// The strength of one frequency in a window (Goertzel), with a Hann window against leakage.
double strength(const Samples& s, std::size_t from, const std::vector<double>& hann,
                double frequency)
{
    const double coefficient = 2 * std::cos(2 * pi * frequency / sampleRate);
    double a = 0, b = 0;
    for (std::size_t i = 0; i < hann.size(); ++i) {
        const double c = hann[i] * s[from + i] + coefficient * a - b;
        b = a;
        a = c;
    }
    return a * a + b * b - coefficient * a * b;
}

TEST_F(Recording, Has170SecondsOfSamples)
{
    EXPECT_EQ(samples().size(), sampleCount);
    EXPECT_EQ(sampleCount, 7511375u);
}

TEST_F(Recording, IsAudibleThroughoutTheMusic)
{
    // Two-second windows every ten seconds from the end of the intro to the coda.
    for (int second = 10; second <= 150; second += 10) {
        const double level = rmsDb(samples(), std::size_t(second) * sampleRate, 2 * sampleRate);
        EXPECT_GT(level, -35.0) << "at " << second << " s";
        EXPECT_LT(level, -6.0) << "at " << second << " s";
    }
}

TEST_F(Recording, PeaksBetweenThreeAndOneDecibelsBelowFullScaleWithoutClipping)
{
    int peak = 0;
    for (std::int16_t v : samples())
        peak = std::max(peak, std::abs(int(v)));
    EXPECT_GE(dbfs(peak), -3.0);
    EXPECT_LE(dbfs(peak), -1.0);
    EXPECT_LT(peak, 32767) << "nothing reaches full scale, so nothing is clipped";
}

TEST_F(Recording, FadesToSilenceAtTheEnd)
{
    const Samples& s = samples();
    EXPECT_EQ(s.back(), 0);
    EXPECT_LT(rmsDb(s, s.size() - sampleRate / 2, sampleRate / 2), -60.0);
    // The fade is gradual: each second of the last five is quieter than the one before.
    double before = rmsDb(s, s.size() - 6 * sampleRate, sampleRate);
    for (int second = 5; second >= 1; --second) {
        const double now = rmsDb(s, s.size() - std::size_t(second) * sampleRate, sampleRate);
        EXPECT_LT(now, before) << second << " s before the end";
        before = now;
    }
}

TEST_F(Recording, IsATuneNotOneTone)
{
    // The strongest semitone from E2 to C7 in windows across the music.
    std::vector<double> hann(8192);
    for (std::size_t i = 0; i < hann.size(); ++i)
        hann[i] = 0.5 - 0.5 * std::cos(2 * pi * double(i) / double(hann.size() - 1));
    std::set<int> notes;
    std::set<int> pitchClasses;
    for (double second = 12.0; second < 158.0; second += 3.7) {
        const auto from = std::size_t(second * sampleRate);
        int best = 0;
        double bestStrength = -1;
        for (int note = 40; note <= 96; ++note) {
            const double f = 440.0 * std::pow(2.0, (note - 69) / 12.0);
            const double p = strength(samples(), from, hann, f);
            if (p > bestStrength) {
                bestStrength = p;
                best = note;
            }
        }
        notes.insert(best);
        pitchClasses.insert(best % 12);
    }
    EXPECT_GE(notes.size(), 6u);
    EXPECT_GE(pitchClasses.size(), 4u);
}

TEST_F(Recording, IsTheSameOnEveryCallAndEveryBuild)
{
    EXPECT_TRUE(composeRecording() == samples());
    // FNV-1a over the samples: a compiler or machine that computed one sample differently
    // would change the stored object's bytes.
    std::uint64_t hash = 1469598103934665603ull;
    for (std::int16_t v : samples()) {
        hash = (hash ^ std::uint16_t(v)) * 1099511628211ull;
    }
    EXPECT_EQ(hash, 0x701f7f3e2eb2c0c7u) << std::hex << hash;
}

} // namespace
