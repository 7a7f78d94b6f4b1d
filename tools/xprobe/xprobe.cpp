// xprobe: starts an X11 program and watches for its top-level window, or speaks to a window the
// way a window manager would. Shared by the benchmarks and the end-to-end tests so that both
// measure and drive the programs identically.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <span>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;
// Same value as timeout(1), so a shell reader already knows what it means.
constexpr int exitTimedOut = 124;

const char* const usageText =
    R"(usage:
  xprobe launch-and-wait MATCH TIMEOUT_MS [--kill | --supervise EXIT_TIMEOUT_MS] -- PROGRAM [ARG...]
      Starts PROGRAM and waits up to TIMEOUT_MS for it to map a top-level window whose
      _NET_WM_NAME, WM_NAME, or either WM_CLASS string equals MATCH. Prints one line:
        mapped_us=N pid=N window=0xN hwm_kib=N rss_kib=N
      mapped_us runs from just before fork() to the MapNotify; hwm_kib/rss_kib are the program's
      VmHWM/VmRSS read from /proc right after the MapNotify arrived. An empty MATCH takes the
      first window whose _NET_WM_PID is the program's, whatever its name.
      --kill (default): then kills the program with SIGKILL, reaps it and prints a second line
        cpu_us=N: the processor time it used (user and system, all threads) until killed.
      --supervise MS: then waits up to MS for the program to end, prints exit_code=N or
        signal=N, and exits with that code (128+N for a signal); on timeout prints timed_out,
        kills the program and exits 124.
      Either way the program is killed if xprobe itself dies.
      Exits 1 if no window appears in time or the program ends first.
  xprobe close WINDOW_ID
      Sends WM_DELETE_WINDOW as a window manager would (fails if the window does not take it).
  xprobe pixels WINDOW_ID X Y [X Y...]
      Prints the colour of each pixel (window coordinates, frame excluded) as #rrggbb, one line
      each, as the X server holds it. Fails for a point outside the window.
)";

[[noreturn]] void usage(const char* why)
{
    std::fprintf(stderr, "xprobe: %s\n%s", why, usageText);
    std::exit(exitUsage);
}

[[noreturn]] void fail(const std::string& message, int code = exitFailure)
{
    std::fprintf(stderr, "xprobe: %s\n", message.c_str());
    std::exit(code);
}

std::optional<long> parseNumber(const char* text, int base = 10)
{
    if (text == nullptr || *text == '\0')
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text, &end, base);
    if (errno != 0 || *end != '\0' || value < 0)
        return std::nullopt;
    return value;
}

// Windows routinely vanish between an event and our query of them; that must not abort the
// probe, only make the query come back empty.
int lastXError = 0;
int recordXError(Display*, XErrorEvent* event)
{
    lastXError = event->error_code;
    return 0;
}

class Connection {
public:
    Connection()
        : display_(XOpenDisplay(nullptr))
    {
        if (display_ == nullptr) {
            const char* name = std::getenv("DISPLAY");
            fail(std::string("cannot open X display '") + (name ? name : "") + "'");
        }
        XSetErrorHandler(recordXError);
        // The launched program must not inherit our X connection.
        fcntl(ConnectionNumber(display_), F_SETFD, FD_CLOEXEC);
    }
    ~Connection() { XCloseDisplay(display_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* get() const { return display_; }
    Atom atom(const char* name) const { return XInternAtom(display_, name, False); }

private:
    Display* display_;
};

std::optional<std::string> stringProperty(const Connection& x, Window window, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    lastXError = 0;
    int status = XGetWindowProperty(x.get(), window, property, 0, 4096, False, AnyPropertyType,
                                    &type, &format, &count, &remaining, &data);
    std::optional<std::string> result;
    if (status == Success && lastXError == 0 && type != None && format == 8 && data != nullptr)
        result.emplace(reinterpret_cast<const char*>(data), count);
    if (data != nullptr)
        XFree(data);
    return result;
}

std::optional<long> cardinalProperty(const Connection& x, Window window, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    lastXError = 0;
    int status = XGetWindowProperty(x.get(), window, property, 0, 1, False, XA_CARDINAL, &type,
                                    &format, &count, &remaining, &data);
    std::optional<long> result;
    if (status == Success && lastXError == 0 && type == XA_CARDINAL && format == 32 && count == 1)
        result = *reinterpret_cast<const long*>(data);
    if (data != nullptr)
        XFree(data);
    return result;
}

bool windowMatches(const Connection& x, Window window, std::string_view match, pid_t pid)
{
    // A window from another process that happens to share the title (a leftover instance, the
    // reference program) must not be taken for ours; _NET_WM_PID is optional, so only a
    // contradicting value rules a window out.
    auto owner = cardinalProperty(x, window, x.atom("_NET_WM_PID"));
    if (owner && *owner != pid)
        return false;
    if (match.empty())
        return owner.has_value();
    if (auto name = stringProperty(x, window, x.atom("_NET_WM_NAME")); name && *name == match)
        return true;
    if (auto name = stringProperty(x, window, XA_WM_NAME); name && *name == match)
        return true;
    if (auto wmClass = stringProperty(x, window, XA_WM_CLASS)) {
        // WM_CLASS holds two NUL-terminated strings: instance, then class.
        std::string_view both(*wmClass);
        auto split = both.find('\0');
        std::string_view instance = both.substr(0, split);
        std::string_view klass =
            split == std::string_view::npos ? std::string_view{} : both.substr(split + 1);
        if (!klass.empty() && klass.back() == '\0')
            klass.remove_suffix(1);
        if (instance == match || klass == match)
            return true;
    }
    return false;
}

struct Memory {
    long hwmKib = -1;
    long rssKib = -1;
};

Memory readMemory(pid_t pid)
{
    Memory memory;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = 0;
    std::string unit;
    while (status >> key) {
        if (key == "VmHWM:" && status >> value >> unit)
            memory.hwmKib = value;
        else if (key == "VmRSS:" && status >> value >> unit)
            memory.rssKib = value;
        else
            status.ignore(1 << 16, '\n');
    }
    return memory;
}

int pidfdOpen(pid_t pid)
{
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

std::string describe(int status)
{
    if (WIFEXITED(status))
        return "exit_code=" + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "signal=" + std::to_string(WTERMSIG(status));
    return "status=" + std::to_string(status);
}

int reap(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

void killAndReap(pid_t pid)
{
    kill(pid, SIGKILL);
    reap(pid);
}

// Waits until `fd` is readable or `deadline` passes; true when readable.
bool waitReadable(int fd, Clock::time_point deadline)
{
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0)
            return false;
        pollfd entry{fd, POLLIN, 0};
        int ready = poll(&entry, 1, static_cast<int>(left.count()) + 1);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            fail(std::string("poll: ") + std::strerror(errno));
    }
}

pid_t startProgram(std::span<char*> argv)
{
    // Tells exec failure (reported as errno through the pipe) apart from success (pipe closed by
    // exec), so that a wrong path is an immediate, clear error instead of a window timeout.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        fail(std::string("pipe: ") + std::strerror(errno));
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid < 0)
        fail(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        close(report[0]);
        // A killed test or benchmark must not leave the program running on its display.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        execvp(argv[0], argv.data());
        int error = errno;
        [[maybe_unused]] auto written = write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    int error = 0;
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    if (got > 0) {
        reap(pid);
        fail(std::string("cannot run ") + argv[0] + ": " + std::strerror(error));
    }
    return pid;
}

int launchAndWait(int argc, char** argv)
{
    // argv: MATCH TIMEOUT_MS [options] -- PROGRAM [ARG...]
    if (argc < 4)
        usage("launch-and-wait needs MATCH, TIMEOUT_MS, -- and PROGRAM");
    std::string match = argv[0];
    auto timeoutMs = parseNumber(argv[1]);
    if (!timeoutMs)
        usage("TIMEOUT_MS must be a non-negative number of milliseconds");
    // Negative: kill the program once its window is seen.
    long superviseMs = -1;
    int i = 2;
    for (; i < argc && std::string_view(argv[i]) != "--"; ++i) {
        std::string_view option(argv[i]);
        if (option == "--kill") {
            superviseMs = -1;
        } else if (option == "--supervise" && i + 1 < argc) {
            auto ms = parseNumber(argv[++i]);
            if (!ms)
                usage("--supervise needs a non-negative number of milliseconds");
            superviseMs = *ms;
        } else {
            usage(("unknown option " + std::string(option)).c_str());
        }
    }
    if (i + 1 >= argc)
        usage("missing -- PROGRAM");
    std::span<char*> program(argv + i + 1, static_cast<size_t>(argc - i)); // keeps the nullptr

    Connection x;
    Display* display = x.get();
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    // The selection must be in force at the server before the program can map anything.
    XSync(display, False);

    auto start = Clock::now();
    auto deadline = start + std::chrono::milliseconds(*timeoutMs);
    pid_t pid = startProgram(program);
    int pidfd = pidfdOpen(pid);
    if (pidfd < 0)
        fail(std::string("pidfd_open: ") + std::strerror(errno));

    Window found = None;
    Clock::time_point mappedAt;
    bool programEnded = false;
    while (found == None) {
        while (found == None && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify)
                continue;
            auto now = Clock::now();
            if (windowMatches(x, event.xmap.window, match, pid)) {
                found = event.xmap.window;
                mappedAt = now;
            }
        }
        if (found != None || programEnded)
            break;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0)
            break;
        pollfd entries[2] = {{ConnectionNumber(display), POLLIN, 0}, {pidfd, POLLIN, 0}};
        int ready = poll(entries, 2, static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno != EINTR)
            fail(std::string("poll: ") + std::strerror(errno));
        // One more pass over the X queue after the program ended: a window mapped just before
        // the exit still counts as having appeared.
        if (ready > 0 && (entries[1].revents & POLLIN))
            programEnded = true;
    }

    if (found == None) {
        if (programEnded) {
            int status = reap(pid);
            fail("'" + std::string(program[0]) + "' ended (" + describe(status) +
                 ") before mapping a window matching '" + match + "'");
        }
        killAndReap(pid);
        fail("no window matching '" + match + "' mapped within " + std::to_string(*timeoutMs) +
             " ms; killed '" + program[0] + "'");
    }

    Memory memory = readMemory(pid);
    auto mappedUs = std::chrono::duration_cast<std::chrono::microseconds>(mappedAt - start);
    std::printf("mapped_us=%lld pid=%d window=0x%lx hwm_kib=%ld rss_kib=%ld\n",
                static_cast<long long>(mappedUs.count()), static_cast<int>(pid), found,
                memory.hwmKib, memory.rssKib);
    std::fflush(stdout);

    if (superviseMs < 0) {
        // The program's processor time until now, all its threads (ended ones too): a figure
        // that other load on the machine changes far less than the time to the window.
        kill(pid, SIGKILL);
        rusage usage{};
        while (wait4(pid, nullptr, 0, &usage) < 0 && errno == EINTR) {
        }
        const long long cpuUs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                                usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
        std::printf("cpu_us=%lld\n", cpuUs);
        return 0;
    }

    if (!waitReadable(pidfd, Clock::now() + std::chrono::milliseconds(superviseMs))) {
        killAndReap(pid);
        std::printf("timed_out\n");
        std::fflush(stdout);
        fail("'" + std::string(program[0]) + "' still running " + std::to_string(superviseMs) +
                 " ms after its window was mapped; killed it",
             exitTimedOut);
    }
    int status = reap(pid);
    std::printf("%s\n", describe(status).c_str());
    std::fflush(stdout);
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

int closeWindow(int argc, char** argv)
{
    if (argc != 1)
        usage("close needs exactly one WINDOW_ID");
    auto id = parseNumber(argv[0], 0);
    if (!id || *id == 0)
        usage("WINDOW_ID must be a number such as 0x2a00007");
    Window window = static_cast<Window>(*id);

    Connection x;
    Atom deleteWindow = x.atom("WM_DELETE_WINDOW");
    Atom* protocols = nullptr;
    int count = 0;
    lastXError = 0;
    bool listed = false;
    if (XGetWMProtocols(x.get(), window, &protocols, &count) && lastXError == 0) {
        for (int i = 0; i < count; ++i)
            listed = listed || protocols[i] == deleteWindow;
        XFree(protocols);
    }
    if (lastXError != 0)
        fail("no such window " + std::string(argv[0]));
    // A client that does not list the protocol would ignore the message; a WM would kill it
    // instead, which is not what the caller asked to exercise.
    if (!listed)
        fail("window " + std::string(argv[0]) + " does not take WM_DELETE_WINDOW");

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x.atom("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.get(), window, False, NoEventMask, &event);
    XSync(x.get(), False);
    if (lastXError != 0)
        fail("sending WM_DELETE_WINDOW to " + std::string(argv[0]) + " failed");
    return 0;
}

int printPixels(int argc, char** argv)
{
    if (argc < 3 || argc % 2 != 1)
        usage("pixels needs a WINDOW_ID and pairs of X Y");
    auto id = parseNumber(argv[0], 0);
    if (!id || *id == 0)
        usage("WINDOW_ID must be a number such as 0x2a00007");
    const Window window = static_cast<Window>(*id);

    Connection x;
    XWindowAttributes attributes{};
    lastXError = 0;
    if (!XGetWindowAttributes(x.get(), window, &attributes) || lastXError != 0)
        fail("no such window " + std::string(argv[0]));
    for (int i = 1; i + 1 < argc; i += 2) {
        auto px = parseNumber(argv[i], 10);
        auto py = parseNumber(argv[i + 1], 10);
        if (!px || !py || *px < 0 || *py < 0 || *px >= attributes.width || *py >= attributes.height)
            fail(std::string("point ") + argv[i] + "," + argv[i + 1] + " is outside the window");
        XImage* image = XGetImage(x.get(), window, int(*px), int(*py), 1, 1, AllPlanes, ZPixmap);
        if (!image)
            fail("reading the window's pixels failed");
        const unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        // TrueColor visuals at 24 bits: the masks place red, green and blue.
        auto channel = [&](unsigned long mask) {
            if (!mask)
                return 0ul;
            unsigned long v = pixel & mask;
            while (!(mask & 1)) {
                mask >>= 1;
                v >>= 1;
            }
            return v * 255 / mask;
        };
        std::printf("#%02lx%02lx%02lx\n", channel(attributes.visual->red_mask),
                    channel(attributes.visual->green_mask), channel(attributes.visual->blue_mask));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        usage("missing subcommand");
    std::string_view command(argv[1]);
    if (command == "launch-and-wait")
        return launchAndWait(argc - 2, argv + 2);
    if (command == "close")
        return closeWindow(argc - 2, argv + 2);
    if (command == "pixels")
        return printPixels(argc - 2, argv + 2);
    if (command == "-h" || command == "--help") {
        std::fputs(usageText, stdout);
        return 0;
    }
    usage(("unknown subcommand " + std::string(command)).c_str());
}
