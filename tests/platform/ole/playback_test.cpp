// The object's primary verb through the real sound output: with no sound server it fails at once
// with its reason; with a private server's null sink, the recording really comes out.

#include "fakes.h"
#include "objectbytes.h"
#include "platform/ole/oleerror.h"
#include "platform/ole/pulsesoundoutput.h"
#include "platform/ole/serverwindow.h"
#include "platform/ole/waveformview.h"
#include "platform/ole/wavesoundobject.h"
#include "privatepulsetest.h"
#include "processes.h"
#include "scopedenv.h"
#include "tonepower.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>

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

using RecordingOnANullSink = PrivatePulseTest;

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
    EXPECT_EQ(object->window()->positionLabel()->text(), "0:01 / 0:01");
    object->close(OleObject::SaveOption::NoSave);
}

TEST_F(RecordingOnANullSink, TheWindowFollowsTheSoundAndClosingCutsItOff)
{
    MemoryStorage storage = soundObjectStorage(toneSamples(500, 5.0));
    RecordingSite site;
    std::unique_ptr<OleObject> loaded = loadObject(storage, site);
    auto* object = dynamic_cast<WaveSoundObject*>(loaded.get());
    ASSERT_TRUE(object);
    object->doVerb(Show, site, nullptr, {});
    object->doVerb(Primary, site, nullptr, {});

    // The window's own timer moves the cursor as the server reports the sound played.
    const std::uint64_t total = 5 * 44100;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return object->window()->waveform()->cursorFrame() >= total / 10; }, 10000));
    EXPECT_LT(object->window()->waveform()->cursorFrame(), total);
    EXPECT_TRUE(object->isPlaying());

    const auto before = std::chrono::steady_clock::now();
    object->close(OleObject::SaveOption::NoSave);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
    EXPECT_FALSE(object->isPlaying());
    QCoreApplication::processEvents();
    EXPECT_EQ(site.calls, (std::vector<std::string>{"window open", "window closed"}));
}

// A server that takes connections and never answers: the socket listens, nobody accepts.
TEST(RecordingPlayback, AServerThatNeverAnswersIsReportedOnceTheConnectionTimesOut)
{
    char pattern[] = "/tmp/olesilent.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::filesystem::path dir = pattern;
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (dir / "native").string();
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 8), 0);
    {
        ScopedEnv server("PULSE_SERVER", "unix:" + path);
        std::mutex lock;
        std::condition_variable changed;
        std::optional<std::pair<SoundOutput::End, std::string>> end;
        const Bytes samples = toneSamples(440, 0.1);
        PulseSoundOutput output(std::chrono::milliseconds(600));
        // The server's silence outlasts the caller's wait, so the sound counts as started...
        EXPECT_FALSE(output.play({1, 44100, 16}, samples,
                                 [&](SoundOutput::End e, const std::string& detail) {
                                     std::lock_guard guard(lock);
                                     end.emplace(e, detail);
                                     changed.notify_all();
                                 }));
        // ...and its end reports the failure once the connection's bound has passed.
        std::unique_lock guard(lock);
        EXPECT_TRUE(
            changed.wait_for(guard, std::chrono::seconds(10), [&] { return end.has_value(); }));
        ASSERT_TRUE(end);
        EXPECT_EQ(end->first, SoundOutput::End::Failed);
        EXPECT_NE(end->second.find("nicht rechtzeitig"), std::string::npos) << end->second;
    }
    ::close(listener);
    std::filesystem::remove_all(dir);
}

} // namespace
