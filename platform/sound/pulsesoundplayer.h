#pragma once

#include "platform/sound/soundplayer.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace platform::sound {

class PulsePlayback;

// Plays wave files through the PulseAudio server. Calls are taken one at a time; a sound
// started with Async plays on a thread of its own until it ends or the next call cuts it off.
class PulseSoundPlayer final : public SoundPlayer {
public:
    // How long a server may take to accept a connection and a stream before play() fails.
    explicit PulseSoundPlayer(std::chrono::milliseconds connectTimeout = std::chrono::seconds(3));
    ~PulseSoundPlayer() override;

    bool play(std::string_view name, unsigned flags) override;

    // How long an Async play() waits for the server's first answer. A missing server refuses
    // well within it, so play() reports it; a slower server is left to the sound's own thread.
    static constexpr std::chrono::milliseconds answerWait{250};

private:
    // Cuts off the background sound, if any, and waits for its thread to end.
    void stopBackground();

    std::chrono::milliseconds connectTimeout_;
    std::mutex call_;   // one play() at a time
    std::mutex active_; // guards background_
    PulsePlayback* background_ = nullptr;
    std::thread worker_;
};

} // namespace platform::sound
