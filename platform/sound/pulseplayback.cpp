#include "platform/sound/pulseplayback.h"

#include "platform/sound/pulselibrary.h"

#include <algorithm>

namespace platform::sound {

namespace {

// A server that stops taking samples is given this long beyond the sound's own length.
constexpr std::chrono::seconds playbackSlack{10};
// The longest single wait, so that a stop() is seen even if its wake-up were lost.
constexpr std::chrono::milliseconds longestWait{100};

} // namespace

namespace {

pa_sample_spec specOf(const formats::wave::Format& format)
{
    pa_sample_spec spec{};
    spec.format = format.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
    spec.rate = format.sampleRate;
    spec.channels = std::uint8_t(format.channels);
    return spec;
}

} // namespace

std::unique_ptr<PulsePlayback> PulsePlayback::create(const formats::wave::Format& format)
{
    const PulseLibrary* pa = PulseLibrary::get();
    const pa_sample_spec spec = specOf(format);
    if (pa && !pa->pa_sample_spec_valid(&spec))
        return nullptr;

    std::unique_ptr<PulsePlayback> p(new PulsePlayback);
    p->pa_ = pa;
    p->format_ = format;
    // Without the client library no server can be reached: the playback fails to connect, as
    // it does when no server runs.
    if (!pa)
        return p;
    p->bytesPerSecond_ = std::uint32_t(pa->pa_bytes_per_second(&spec));
    // The loop exists from here on, so a stop() can wake a connect() that waits for the server.
    p->loop_ = pa->pa_mainloop_new();
    if (!p->loop_)
        return nullptr;
    p->context_ = pa->pa_context_new(pa->pa_mainloop_get_api(p->loop_), "sound playback");
    if (!p->context_)
        return nullptr;
    return p;
}

bool PulsePlayback::connect(std::chrono::milliseconds timeout)
{
    if (stopped_ || !context_)
        return false;
    // Starting a server of our own would be slow and surprising; no server means no sound.
    if (pa_->pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return false;

    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const pa_context_state_t state = pa_->pa_context_get_state(context_);
        if (state == PA_CONTEXT_READY)
            break;
        if (!PA_CONTEXT_IS_GOOD(state) || !iterate(deadline))
            return false;
    }

    const pa_sample_spec spec = specOf(format_);
    stream_ = pa_->pa_stream_new(context_, "sound", &spec, nullptr);
    // The server's timing, updated by itself and interpolated between updates, tells how far
    // the sound has come out.
    const auto flags =
        pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
    if (!stream_ ||
        pa_->pa_stream_connect_playback(stream_, nullptr, nullptr, flags, nullptr, nullptr) < 0)
        return false;
    for (;;) {
        const pa_stream_state_t state = pa_->pa_stream_get_state(stream_);
        if (state == PA_STREAM_READY)
            break;
        if (!PA_STREAM_IS_GOOD(state) || !iterate(deadline))
            return false;
    }
    return true;
}

PulsePlayback::~PulsePlayback()
{
    if (stream_) {
        pa_->pa_stream_disconnect(stream_);
        pa_->pa_stream_unref(stream_);
    }
    if (context_) {
        pa_->pa_context_disconnect(context_);
        pa_->pa_context_unref(context_);
    }
    if (loop_)
        pa_->pa_mainloop_free(loop_);
}

bool PulsePlayback::iterate(Clock::time_point deadline)
{
    if (stopped_)
        return false;
    const auto now = Clock::now();
    if (now >= deadline)
        return false;
    const auto wait = std::min<Clock::duration>(deadline - now, longestWait);
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(wait).count();
    if (pa_->pa_mainloop_prepare(loop_, int(us)) < 0 || pa_->pa_mainloop_poll(loop_) < 0 ||
        pa_->pa_mainloop_dispatch(loop_) < 0)
        return false;
    return !stopped_;
}

void PulsePlayback::notePosition(std::uint64_t written)
{
    pa_usec_t time = 0;
    if (pa_->pa_stream_get_time(stream_, &time) < 0)
        return; // no timing from the server yet
    const std::uint64_t frames = std::uint64_t(time) * format_.sampleRate / 1000000;
    framesPlayed_ = std::min(frames, written);
}

bool PulsePlayback::play(std::span<const std::uint8_t> samples)
{
    framesPlayed_ = 0;
    const std::uint64_t frameBytes = std::max<std::uint64_t>(format_.blockAlign(), 1);
    const auto length = std::chrono::milliseconds(
        bytesPerSecond_ ? std::uint64_t(samples.size()) * 1000 / bytesPerSecond_ : 0);
    const auto deadline = Clock::now() + length + playbackSlack;

    std::size_t done = 0;
    while (done < samples.size()) {
        if (pa_->pa_stream_get_state(stream_) != PA_STREAM_READY)
            return false;
        const std::size_t writable = pa_->pa_stream_writable_size(stream_);
        if (writable == std::size_t(-1))
            return false;
        if (writable == 0) {
            if (!iterate(deadline))
                return false;
            notePosition(done / frameBytes);
            continue;
        }
        const std::size_t n = std::min(writable, samples.size() - done);
        if (pa_->pa_stream_write(stream_, samples.data() + done, n, nullptr, 0, PA_SEEK_RELATIVE) <
            0)
            return false;
        done += n;
    }

    // The server holds the last samples in its buffer; the sound ends when they have played.
    bool drained = false;
    pa_operation* drain = pa_->pa_stream_drain(
        stream_, [](pa_stream*, int, void* flag) { *static_cast<bool*>(flag) = true; }, &drained);
    if (!drain)
        return false;
    bool ok = true;
    while (!drained && ok) {
        ok = pa_->pa_stream_get_state(stream_) == PA_STREAM_READY && iterate(deadline);
        notePosition(done / frameBytes);
    }
    if (!drained)
        pa_->pa_operation_cancel(drain);
    pa_->pa_operation_unref(drain);
    if (drained)
        framesPlayed_ = done / frameBytes;
    return drained;
}

void PulsePlayback::stop()
{
    stopped_ = true;
    if (loop_)
        pa_->pa_mainloop_wakeup(loop_);
}

} // namespace platform::sound
