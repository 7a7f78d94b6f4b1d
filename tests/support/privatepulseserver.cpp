#include "privatepulseserver.h"

#include "processes.h"

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

std::optional<std::string> PrivatePulseServer::start()
{
    char pattern[] = "/tmp/soundtest.XXXXXX";
    if (!::mkdtemp(pattern))
        return "no temporary directory";
    dir_ = pattern;
    // Everything the server keeps (cookie, pid file) stays in the test's directory, and it
    // neither looks for a session bus nor needs a display.
    daemonEnv_ = {"HOME=" + dir_.string(),
                  "XDG_RUNTIME_DIR=" + dir_.string(),
                  "XDG_CONFIG_HOME=" + (dir_ / "config").string(),
                  "PULSE_RUNTIME_PATH=" + (dir_ / "runtime").string(),
                  "DBUS_SESSION_BUS_ADDRESS=disabled:",
                  "DISPLAY="};
    // With -D the command returns once the server is ready (or has failed). Should this
    // test die before stopping it, the server ends by itself once idle for a while.
    const int started = run(
        {"pulseaudio", "-D", "-n", "--exit-idle-time=20", "--use-pid-file=yes", "--system=no",
         "--realtime=no", "--high-priority=no",
         "--log-target=file:" + (dir_ / "server.log").string(), "-L",
         "module-null-sink sink_name=testsink rate=44100 channels=1", "-L",
         "module-native-protocol-unix socket=" + (dir_ / "native").string() + " auth-anonymous=1"},
        daemonEnv_);
    if (started != 0)
        return "pulseaudio did not start; see " + (dir_ / "server.log").string();
    daemonStarted_ = true;
    server_.emplace("PULSE_SERVER", "unix:" + (dir_ / "native").string());
    return std::nullopt;
}

bool PrivatePulseServer::stop()
{
    stopRecording();
    bool ended = true;
    if (daemonStarted_)
        ended = stopServer();
    daemonStarted_ = false;
    server_.reset();
    if (!dir_.empty())
        fs::remove_all(dir_);
    dir_.clear();
    return ended;
}

// `pulseaudio --kill` only signals the server, which then removes its own files while it
// shuts down; wait for its exit so that the removal of the directory does not race it.
bool PrivatePulseServer::stopServer()
{
    pid_t pid = 0;
    std::ifstream(dir_ / "runtime" / "pid") >> pid;
    const int pidfd = pid > 0 ? int(::syscall(SYS_pidfd_open, pid, 0)) : -1;
    run({"pulseaudio", "--kill"}, daemonEnv_);
    if (pidfd < 0)
        return true;
    pollfd exited{pidfd, POLLIN, 0};
    const bool ended = ::poll(&exited, 1, 10000) == 1;
    ::close(pidfd);
    return ended;
}

bool PrivatePulseServer::startRecording()
{
    recorder_ = spawn({"parec", "-d", "testsink.monitor", "--raw", "--format=s16le", "--rate=44100",
                       "--channels=1", "--latency-msec=10"},
                      {}, (dir_ / "recording.raw").string());
    if (recorder_ <= 0)
        return false;
    // Bounded: the recorder appears among the server's source outputs within a few tries.
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (run({"pactl", "list", "short", "source-outputs"}, {},
                (dir_ / "outputs.txt").string()) == 0 &&
            fs::file_size(dir_ / "outputs.txt") > 0)
            return true;
    }
    return false;
}

std::vector<std::int16_t> PrivatePulseServer::stopRecording()
{
    if (recorder_ <= 0)
        return {};
    ::kill(recorder_, SIGINT);
    int status = 0;
    ::waitpid(recorder_, &status, 0);
    recorder_ = -1;
    std::ifstream in(dir_ / "recording.raw", std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::int16_t> s(raw.size() / 2);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = std::int16_t(std::uint8_t(raw[2 * i]) | std::uint8_t(raw[2 * i + 1]) << 8);
    return s;
}
