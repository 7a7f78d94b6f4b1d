// The sound player against no server and against a private PulseAudio server with a null sink,
// whose monitor is recorded to hear what really came out.

#include "platform/sound/pulsesoundplayer.h"
#include "privatepulsetest.h"
#include "processes.h"
#include "scopedenv.h"
#include "tonepower.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

using platform::sound::PulseSoundPlayer;
using platform::sound::SoundPlayer;
namespace fs = std::filesystem;

namespace {

constexpr int rate = 44100;

// A 16-bit mono wave file of a sine tone (or silence at frequency 0).
std::vector<std::uint8_t> toneWave(double hz, double seconds, double amplitude = 0.5, int bits = 16)
{
    const auto frames = std::uint32_t(seconds * rate);
    const std::uint32_t dataBytes = frames * std::uint32_t(bits / 8);
    std::vector<std::uint8_t> b;
    auto put = [&b](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(std::uint8_t(v >> (8 * i)));
    };
    auto tag = [&b](const char* t) {
        for (int i = 0; i < 4; ++i)
            b.push_back(std::uint8_t(t[i]));
    };
    tag("RIFF");
    put(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(rate, 4);
    put(rate * std::uint32_t(bits / 8), 4);
    put(std::uint32_t(bits / 8), 2);
    put(std::uint32_t(bits), 2);
    tag("data");
    put(dataBytes, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2 * std::numbers::pi * hz * i / rate);
        put(std::uint32_t(std::int32_t(std::lround(v * 32767))) & 0xFFFFFF, bits / 8);
    }
    return b;
}

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// --- Without a server -------------------------------------------------------------------------

struct FailCase {
    const char* name;
    const char* file; // under the test's directory; what is there is made by the fixture
};

class PlayerFails : public ::testing::TestWithParam<FailCase> {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("soundfail." + std::to_string(::getpid()) + "." + GetParam().name);
        fs::create_directories(dir);
        fs::create_directory(dir / "folder");
        ASSERT_EQ(::mkfifo((dir / "pipe.wav").c_str(), 0600), 0) << "a pipe with no writer";
        writeFile(dir / "text.wav", {'h', 'e', 'l', 'l', 'o'});
        writeFile(dir / "24bit.wav", toneWave(440, 0.1, 0.5, 24));
        writeFile(dir / "good.wav", toneWave(440, 0.1));
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
};

TEST_P(PlayerFails, AtOnceWithFalse)
{
    // Nothing listens there, and no server is ever started in its place.
    ScopedEnv server("PULSE_SERVER", "unix:" + (dir / "no-server").string());
    PulseSoundPlayer player;
    const std::string name = (dir / GetParam().file).string();
    EXPECT_FALSE(player.play(name, SoundPlayer::Wait));
    EXPECT_FALSE(player.play(name, SoundPlayer::Async));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlayerFails,
    ::testing::Values(FailCase{"missing", "missing.wav"}, FailCase{"folder", "folder"},
                      FailCase{"pipe", "pipe.wav"}, FailCase{"notAWave", "text.wav"},
                      FailCase{"unsupportedFormat", "24bit.wav"}, FailCase{"noServer", "good.wav"}),
    [](const auto& info) { return std::string(info.param.name); });

// A server that takes connections and never answers: the socket listens, but nobody accepts.
class SilentServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/silentserver.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ASSERT_GE(listener, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = (dir / "native").string();
        ASSERT_LT(path.size(), sizeof address.sun_path);
        path.copy(address.sun_path, path.size());
        ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(listener, 8), 0);
        server.emplace("PULSE_SERVER", "unix:" + path);
        writeFile(dir / "good.wav", toneWave(440, 0.1));
    }
    void TearDown() override
    {
        server.reset();
        if (listener >= 0)
            ::close(listener);
        fs::remove_all(dir);
    }

    fs::path dir;
    int listener = -1;
    std::optional<ScopedEnv> server;
};

TEST_F(SilentServer, BackgroundSoundDoesNotWaitForTheServer)
{
    PulseSoundPlayer player(std::chrono::seconds(2));
    const std::string good = (dir / "good.wav").string();
    // The connection can never be made within the player's bound, so a true result means the
    // call returned while the server still kept it waiting.
    EXPECT_TRUE(player.play(good, SoundPlayer::Async));
    // The next call cuts off the background attempt and gives up on the server after its bound.
    EXPECT_FALSE(player.play(good, SoundPlayer::Wait));
}

// --- Against a private server -----------------------------------------------------------------

class PrivateServer : public PrivatePulseTest {
protected:
    void SetUp() override
    {
        PrivatePulseTest::SetUp();
        dir = pulse.dir();
    }

    void startRecording() { ASSERT_TRUE(pulse.startRecording()) << "parec did not connect"; }
    std::vector<std::int16_t> stopRecording() { return pulse.stopRecording(); }

    std::filesystem::path dir;
};

constexpr std::size_t window = rate / 20; // 50 ms

TEST_F(PrivateServer, AToneNamedRelativeToTheCurrentDirectoryComesOutWhole)
{
    writeFile(dir / "tone.wav", toneWave(1000, 1.0));
    startRecording();
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    PulseSoundPlayer player;
    const bool played = player.play("tone.wav", SoundPlayer::Wait);
    fs::current_path(before);
    ASSERT_TRUE(played);
    const std::vector<std::int16_t> s = stopRecording();

    // A 0.5 amplitude sine has power 0.0625 at its frequency in this measure.
    std::size_t loud = 0;
    for (std::size_t at = 0; at + window <= s.size(); at += window) {
        const double p = powerAt(s, at, window, 1000);
        if (p > 0.03) {
            ++loud;
            EXPECT_LT(powerAt(s, at, window, 700), p / 100) << "a clean tone at " << at;
        }
    }
    // The sound was drained before play() returned, so nearly all of it was recorded.
    EXPECT_GE(loud, 17u) << "50 ms windows with the tone, of 20; recorded " << s.size();
}

TEST_F(PrivateServer, ANewSoundCutsOffTheOneInTheBackground)
{
    writeFile(dir / "long.wav", toneWave(1000, 5.0));
    writeFile(dir / "short.wav", toneWave(500, 0.5));
    startRecording();
    PulseSoundPlayer player;
    ASSERT_TRUE(player.play((dir / "long.wav").string(), SoundPlayer::Async));
    ASSERT_TRUE(player.play((dir / "short.wav").string(), SoundPlayer::Wait));
    const std::vector<std::int16_t> s = stopRecording();

    std::size_t shortWindows = 0;
    for (std::size_t at = 0; at + window <= s.size(); at += window) {
        const double p500 = powerAt(s, at, window, 500);
        if (p500 > 0.03) {
            ++shortWindows;
            EXPECT_LT(powerAt(s, at, window, 1000), p500 / 100) << "the long tone still plays";
        }
    }
    EXPECT_GE(shortWindows, 7u);
    EXPECT_LT(s.size(), std::size_t(4 * rate)) << "the long sound did not hold up the caller";
}

} // namespace
