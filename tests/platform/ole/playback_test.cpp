// The object's primary verb through the real sound output: with no sound server it fails at once
// with its reason; with a private server's null sink, the recording really comes out.

#include "fakes.h"
#include "objectbytes.h"
#include "platform/ole/oleerror.h"
#include "platform/ole/wavesoundobject.h"
#include "privatepulseserver.h"
#include "processes.h"
#include "scopedenv.h"
#include "tonepower.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>

using namespace platform::ole;
using namespace oletest;

namespace {

TEST(RecordingPlayback, WithoutASoundServerTheVerbFailsAtOnce)
{
    ScopedEnv server("PULSE_SERVER", "unix:/nonexistent/ole-test-no-server");
    MemoryStorage storage = soundObjectStorage();
    RecordingSite site;
    std::unique_ptr<OleObject> object = loadObject(storage, site);
    const auto before = std::chrono::steady_clock::now();
    try {
        object->doVerb(Primary, site, nullptr, {});
        FAIL() << "played";
    } catch (const OleError& error) {
        EXPECT_EQ(error.code(), codes::ServerFailed);
        EXPECT_NE(std::string(error.what()).find("Sound-Server"), std::string::npos)
            << error.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    object->close(OleObject::SaveOption::NoSave);
    EXPECT_TRUE(site.calls.empty());
}

class RecordingOnANullSink : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!onPath("pulseaudio"))
            GTEST_SKIP() << "pulseaudio is not installed (scripts/setup installs it)";
        ASSERT_TRUE(onPath("parec") && onPath("pactl"))
            << "pulseaudio-utils is not installed (scripts/setup installs it)";
        const std::optional<std::string> failure = pulse.start();
        ASSERT_FALSE(failure) << *failure;
    }
    void TearDown() override { EXPECT_TRUE(pulse.stop()) << "pulseaudio did not end"; }

    PrivatePulseServer pulse;
};

TEST_F(RecordingOnANullSink, ThePrimaryVerbMakesTheRecordingHeard)
{
    constexpr double hz = 1000;
    MemoryStorage storage = soundObjectStorage(toneSamples(hz, 1.0));
    RecordingSite site;
    std::unique_ptr<OleObject> loaded = loadObject(storage, site);
    auto* object = dynamic_cast<WaveSoundObject*>(loaded.get());
    ASSERT_TRUE(object);
    ASSERT_TRUE(pulse.startRecording()) << "parec did not connect";

    object->doVerb(Primary, site, nullptr, {});
    EXPECT_TRUE(object->isPlaying()) << "the verb returns while the sound plays";
    // Bounded by the sound's length and the output's own limits, not a fixed pause.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !object->isPlaying(); }, 15000));
    const std::vector<std::int16_t> s = pulse.stopRecording();
    EXPECT_TRUE(site.calls.empty()) << site.calls.front();

    constexpr std::size_t window = 44100 / 20;
    std::size_t loud = 0;
    for (std::size_t at = 0; at + window <= s.size(); at += window) {
        const double p = powerAt(s, at, window, hz);
        if (p > 0.03) {
            ++loud;
            EXPECT_LT(powerAt(s, at, window, 700), p / 100) << "a clean tone at " << at;
        }
    }
    EXPECT_GE(loud, 17u) << "50 ms windows with the tone, of 20; recorded " << s.size();

    // The window, opened now, shows the whole sound as played.
    object->doVerb(Show, site, nullptr, {});
    object->refreshPosition();
    object->close(OleObject::SaveOption::NoSave);
}

} // namespace
