#pragma once

#include "formats/wave/wavereader.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>

struct pa_context;
struct pa_mainloop;
struct pa_stream;

namespace platform::sound {

class PulseLibrary;

// One sound on its way to the PulseAudio server (PipeWire serves the same protocol): a
// connection and a playback stream of its own. All waits are bounded, and a server that never
// answers makes the calls fail instead of hanging.
class PulsePlayback {
public:
    // A playback of samples of `format`, not yet connected: it talks to no server, so it is
    // made at once. Nothing when the format cannot be played.
    static std::unique_ptr<PulsePlayback> create(const formats::wave::Format& format);
    // Connects and opens the stream; false when there is no server or it refuses the stream
    // within `timeout`, or stop() was called. Never starts a server. Use from the thread that
    // plays.
    bool connect(std::chrono::milliseconds timeout);
    ~PulsePlayback();
    PulsePlayback(const PulsePlayback&) = delete;
    PulsePlayback& operator=(const PulsePlayback&) = delete;

    // Hands all samples to the server and returns once they have been played; false when the
    // connection failed or stop() was called. Use from one thread at a time.
    bool play(std::span<const std::uint8_t> samples);

    // From any thread: makes play() return soon, cutting the sound off.
    void stop();

    // From any thread: how many frames of the current play() have come out of the speakers so
    // far, as the server reports it; all of them once play() has returned true.
    std::uint64_t framesPlayed() const { return framesPlayed_; }

private:
    using Clock = std::chrono::steady_clock;

    PulsePlayback() = default;
    // Runs the loop once, waiting at most until `deadline`; false on stop, failure or deadline.
    bool iterate(Clock::time_point deadline);
    // Takes the server's playing position, at most `written` frames.
    void notePosition(std::uint64_t written);

    const PulseLibrary* pa_ = nullptr; // nothing when the client library is not installed
    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    std::uint32_t bytesPerSecond_ = 0;
    formats::wave::Format format_{};
    std::atomic<bool> stopped_{false};
    std::atomic<std::uint64_t> framesPlayed_{0};
};

} // namespace platform::sound
