// How long the recording object's primary verb takes until its first sound is heard, next to
// paplay of the same wave file in the same run. Both play into a private PulseAudio server's
// null sink, whose monitor is recorded here; "heard" is the first sample above a small
// threshold, so the recording's quiet intro counts for both alike.
//
// usage: verbtosound OBJECTFILE [RUNS] [WARMUPS]
//   OBJECTFILE: the stored object as the container keeps it ("BDOC", aspect, size, document),
//   build/sondrel/soundobject.bin.
//
// Ours runs from the call of doVerb(0) on the object loaded by the real object layer (the
// object is loaded once, as the container does at start-up); paplay's from just before its
// fork. The two alternate, and each figure is the median of the runs.
#include "formats/bytes/littleendian.h"
#include "formats/wave/wavereader.h"
#include "platform/ole/compoundstorage.h"
#include "platform/ole/objectstreams.h"
#include "platform/ole/oleerror.h"
#include "platform/ole/oleobject.h"
#include "privatepulseserver.h"
#include "processes.h"

#include <QApplication>

#include <pulse/error.h>
#include <pulse/simple.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace platform::ole;

constexpr int rate = 44100; // the private server's null sink: 44.1 kHz, mono
// About -40 dBFS: well above the sink's silence, below the first notes.
constexpr int threshold = 328;
// Fragments of 5 ms: a sample's arrival is known to within that before the correction below.
constexpr int fragmentFrames = rate / 200;

// Records the sink's monitor on a thread of its own and notes when the first loud sample after
// arm() came out. A sample's time is its fragment's arrival less the frames that follow it in
// the fragment; the server's own delay from sink to monitor is the same for every player.
class MonitorListener {
public:
    ~MonitorListener()
    {
        done_ = true;
        if (thread_.joinable())
            thread_.join();
        if (simple_)
            pa_simple_free(simple_);
    }

    std::optional<std::string> start()
    {
        const pa_sample_spec spec{PA_SAMPLE_S16LE, rate, 1};
        pa_buffer_attr attr{};
        attr.maxlength = std::uint32_t(-1);
        attr.fragsize = fragmentFrames * 2;
        int error = 0;
        simple_ = pa_simple_new(nullptr, "verbtosound", PA_STREAM_RECORD, "testsink.monitor",
                                "monitor", &spec, nullptr, &attr, &error);
        if (!simple_)
            return std::string("no recording of the monitor: ") + pa_strerror(error);
        thread_ = std::thread([this] { listen(); });
        return std::nullopt;
    }

    // The next loud sample from now on is the one waitForSound() reports.
    void arm()
    {
        std::lock_guard lock(mutex_);
        armed_ = true;
        heard_.reset();
    }

    std::optional<Clock::time_point> waitForSound(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, timeout, [&] { return heard_.has_value() || failed_; });
        armed_ = false;
        return heard_;
    }

    // Waits until `quiet` of silence in a row has come out: the last sound has ended.
    bool waitForQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout)
    {
        const long frames = long(quiet.count()) * rate / 1000;
        std::unique_lock lock(mutex_);
        quietFrames_ = 0;
        return changed_.wait_for(lock, timeout, [&] {
            return quietFrames_ >= frames || failed_;
        }) && !failed_;
    }

private:
    void listen()
    {
        std::vector<std::int16_t> fragment(fragmentFrames);
        while (!done_) {
            int error = 0;
            if (pa_simple_read(simple_, fragment.data(), fragment.size() * 2, &error) < 0) {
                std::lock_guard lock(mutex_);
                failed_ = true;
                changed_.notify_all();
                return;
            }
            const Clock::time_point arrived = Clock::now();
            std::lock_guard lock(mutex_);
            for (std::size_t i = 0; i < fragment.size(); ++i) {
                if (std::abs(int(fragment[i])) <= threshold) {
                    ++quietFrames_;
                    continue;
                }
                quietFrames_ = 0;
                if (armed_ && !heard_) {
                    const auto after = std::chrono::microseconds(std::int64_t(fragment.size() - i) *
                                                                 1000000 / rate);
                    heard_ = arrived - after;
                }
            }
            changed_.notify_all();
        }
    }

    pa_simple* simple_ = nullptr;
    std::thread thread_;
    std::atomic<bool> done_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool failed_ = false;
    std::optional<Clock::time_point> heard_;
    long quietFrames_ = 0;
};

class QuietSite final : public ClientSite {
public:
    void onViewChange(std::uint32_t) override {}
    void onDataChange() override {}
    void onShowWindow(bool) override {}
    void onError(std::uint32_t, const QString& detail) override
    {
        std::fprintf(stderr, "verbtosound: the object reports: %s\n", qPrintable(detail));
    }
};

std::vector<std::uint8_t> readFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

[[noreturn]] void fail(const std::string& why)
{
    std::fprintf(stderr, "verbtosound: %s\n", why.c_str());
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 2 ? std::atoi(argv[2]) : 11;
    const int warmups = argc > 3 ? std::atoi(argv[3]) : 1;
    if (argc < 2 || runs <= 0 || warmups < 0) {
        std::fprintf(stderr, "usage: verbtosound OBJECTFILE [RUNS] [WARMUPS]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    const std::vector<std::uint8_t> file = readFile(argv[1]);
    if (file.size() < 12 || std::memcmp(file.data(), "BDOC", 4) != 0 ||
        formats::bytes::le32(file, 8) > file.size() - 12)
        fail(std::string(argv[1]) + " is not a stored object");
    const std::span<const std::uint8_t> document =
        std::span(file).subspan(12, formats::bytes::le32(file, 8));

    PrivatePulseServer pulse;
    if (const auto why = pulse.start())
        fail(*why);

    std::unique_ptr<CompoundStorage> storage;
    std::unique_ptr<OleObject> object;
    QuietSite site;
    std::span<const std::uint8_t> wave;
    try {
        storage = std::make_unique<CompoundStorage>(document);
        object = loadObject(*storage, site);
        // "\1Ole10Native": the wave file's length, then the file itself.
        const std::span<const std::uint8_t> native = storage->stream(nativeStreamName);
        if (native.size() < 4 || formats::bytes::le32(native, 0) > native.size() - 4)
            fail("the stored object's wave file is cut short");
        wave = native.subspan(4, formats::bytes::le32(native, 0));
    } catch (const OleError& e) {
        fail(std::string("the stored object does not load: ") + e.what());
    }
    const std::string wavePath = (pulse.dir() / "recording.wav").string();
    std::ofstream(wavePath, std::ios::binary)
        .write(reinterpret_cast<const char*>(wave.data()), std::streamsize(wave.size()));

    // Where the first loud sample lies in the recording itself: the least either player can take.
    double onsetMs = -1;
    const auto parsed = formats::wave::readWave(wave);
    if (const auto* w = std::get_if<formats::wave::Wave>(&parsed);
        w && w->format.bitsPerSample == 16 && w->format.channels == 1) {
        for (std::size_t i = 0; i + 1 < w->samples.size(); i += 2) {
            const int s = std::int16_t(w->samples[i] | w->samples[i + 1] << 8);
            if (std::abs(s) > threshold) {
                onsetMs = double(i / 2) * 1000 / w->format.sampleRate;
                break;
            }
        }
    }

    MonitorListener listener;
    if (const auto why = listener.start())
        fail(*why);
    if (!listener.waitForQuiet(std::chrono::milliseconds(200), std::chrono::seconds(5)))
        fail("the null sink is not quiet");

    enum Player { Ours, Paplay };
    // One sound from the player's start to its first loud sample, in milliseconds.
    auto measure = [&](Player player) {
        listener.arm();
        pid_t pid = -1;
        const Clock::time_point start = Clock::now();
        if (player == Ours) {
            try {
                object->doVerb(Primary, site, nullptr, {});
            } catch (const OleError& e) {
                fail(std::string("the verb failed: ") + e.what());
            }
        } else {
            pid = spawn({"paplay", wavePath}, {});
            if (pid <= 0)
                fail("paplay did not start");
        }
        const std::optional<Clock::time_point> heard =
            listener.waitForSound(std::chrono::seconds(10));
        if (player == Ours) {
            object->close(OleObject::SaveOption::NoSave);
        } else {
            ::kill(pid, SIGTERM);
            int status = 0;
            ::waitpid(pid, &status, 0);
        }
        QCoreApplication::processEvents();
        if (!heard)
            fail(player == Ours ? "the verb made no sound" : "paplay made no sound");
        if (!listener.waitForQuiet(std::chrono::milliseconds(200), std::chrono::seconds(5)))
            fail("the sound did not end");
        return std::chrono::duration<double, std::milli>(*heard - start).count();
    };

    std::vector<double> ours, paplay;
    for (int round = 0; round < warmups + runs; ++round) {
        const double o = measure(Ours);
        const double p = measure(Paplay);
        if (round >= warmups) {
            ours.push_back(o);
            paplay.push_back(p);
        }
    }
    std::printf("verb_ms=%.1f verb_min_ms=%.1f paplay_ms=%.1f paplay_min_ms=%.1f onset_ms=%.1f "
                "runs=%d\n",
                median(ours), *std::min_element(ours.begin(), ours.end()), median(paplay),
                *std::min_element(paplay.begin(), paplay.end()), onsetMs, runs);
    return 0;
}
