// The sound player against no server and against a private PulseAudio server with a null sink,
// whose monitor is recorded to hear what really came out.

#include "platform/sound/pulsesoundplayer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

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

bool onPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    for (std::size_t start = 0; start <= dirs.size();) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        if (::access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// Runs a program with the environment given on top of ours; its output goes to `out`.
pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
            const std::string& out = "/dev/null")
{
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e)
        envStrings.emplace_back(*e);
    envStrings.insert(envStrings.end(), env.begin(), env.end());
    std::vector<char*> argv, envp;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : envStrings)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int run(const std::vector<std::string>& args, const std::vector<std::string>& env,
        const std::string& out = "/dev/null")
{
    const pid_t pid = spawn(args, env, out);
    if (pid < 0)
        return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Restores the environment variable when the test ends.
struct ScopedEnv {
    ScopedEnv(const char* name, const std::string& value)
        : name(name)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (previous)
            ::setenv(name, previous->c_str(), 1);
        else
            ::unsetenv(name);
    }
    const char* name;
    std::optional<std::string> previous;
};

// Power of one frequency in a stretch of samples (Goertzel).
double powerAt(const std::vector<std::int16_t>& s, std::size_t from, std::size_t n, double hz)
{
    const double w = 2 * std::numbers::pi * hz / rate;
    const double c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = from; i < from + n && i < s.size(); ++i) {
        const double s0 = s[i] / 32768.0 + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return (s1 * s1 + s2 * s2 - c * s1 * s2) / double(n * n);
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

class PrivateServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!onPath("pulseaudio"))
            GTEST_SKIP() << "pulseaudio is not installed (scripts/setup installs it)";
        ASSERT_TRUE(onPath("parec") && onPath("pactl"))
            << "pulseaudio-utils is not installed (scripts/setup installs it)";
        char pattern[] = "/tmp/soundtest.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        // Everything the server keeps (cookie, pid file) stays in the test's directory, and it
        // neither looks for a session bus nor needs a display.
        daemonEnv = {"HOME=" + dir.string(),
                     "XDG_RUNTIME_DIR=" + dir.string(),
                     "XDG_CONFIG_HOME=" + (dir / "config").string(),
                     "PULSE_RUNTIME_PATH=" + (dir / "runtime").string(),
                     "DBUS_SESSION_BUS_ADDRESS=disabled:",
                     "DISPLAY="};
        // With -D the command returns once the server is ready (or has failed). Should this
        // test die before stopping it, the server ends by itself once idle for a while.
        const int started =
            run({"pulseaudio", "-D", "-n", "--exit-idle-time=20", "--use-pid-file=yes",
                 "--system=no", "--realtime=no", "--high-priority=no",
                 "--log-target=file:" + (dir / "server.log").string(), "-L",
                 "module-null-sink sink_name=testsink rate=44100 channels=1", "-L",
                 "module-native-protocol-unix socket=" + (dir / "native").string() +
                     " auth-anonymous=1"},
                daemonEnv);
        ASSERT_EQ(started, 0) << "pulseaudio did not start; see " << dir / "server.log";
        daemonStarted = true;
        server.emplace("PULSE_SERVER", "unix:" + (dir / "native").string());
    }

    void TearDown() override
    {
        stopRecording();
        if (daemonStarted)
            stopServer();
        server.reset();
        if (!dir.empty())
            fs::remove_all(dir);
    }

    // `pulseaudio --kill` only signals the server, which then removes its own files while it
    // shuts down; wait for its exit so that the removal of the directory does not race it.
    void stopServer()
    {
        pid_t pid = 0;
        std::ifstream(dir / "runtime" / "pid") >> pid;
        const int pidfd = pid > 0 ? int(::syscall(SYS_pidfd_open, pid, 0)) : -1;
        run({"pulseaudio", "--kill"}, daemonEnv);
        if (pidfd < 0)
            return;
        pollfd exited{pidfd, POLLIN, 0};
        EXPECT_EQ(::poll(&exited, 1, 10000), 1) << "pulseaudio did not end within 10 s";
        ::close(pidfd);
    }

    // Records the sink's monitor until stopRecording(); returns once the recorder is connected.
    void startRecording()
    {
        recorder = spawn({"parec", "-d", "testsink.monitor", "--raw", "--format=s16le",
                          "--rate=44100", "--channels=1", "--latency-msec=10"},
                         {}, (dir / "recording.raw").string());
        ASSERT_GT(recorder, 0);
        // Bounded: the recorder appears among the server's source outputs within a few tries.
        for (int attempt = 0; attempt < 500; ++attempt) {
            if (run({"pactl", "list", "short", "source-outputs"}, {},
                    (dir / "outputs.txt").string()) == 0 &&
                fs::file_size(dir / "outputs.txt") > 0)
                return;
        }
        FAIL() << "parec did not connect";
    }

    std::vector<std::int16_t> stopRecording()
    {
        if (recorder <= 0)
            return {};
        ::kill(recorder, SIGINT);
        int status = 0;
        ::waitpid(recorder, &status, 0);
        recorder = -1;
        std::ifstream in(dir / "recording.raw", std::ios::binary);
        std::vector<char> raw((std::istreambuf_iterator<char>(in)), {});
        std::vector<std::int16_t> s(raw.size() / 2);
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = std::int16_t(std::uint8_t(raw[2 * i]) | std::uint8_t(raw[2 * i + 1]) << 8);
        return s;
    }

    fs::path dir;
    std::vector<std::string> daemonEnv;
    bool daemonStarted = false;
    std::optional<ScopedEnv> server;
    pid_t recorder = -1;
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
