#pragma once

#include "platform/ole/soundoutput.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::ole {

// The sound output through the PulseAudio server: each sound on a thread of its own, with its
// own connection.
class PulseSoundOutput final : public SoundOutput {
public:
    // `connectTimeout`: how long a server may take to accept the connection and the stream.
    explicit PulseSoundOutput(std::chrono::milliseconds connectTimeout = std::chrono::seconds(3));
    ~PulseSoundOutput() override;
    PulseSoundOutput(const PulseSoundOutput&) = delete;
    PulseSoundOutput& operator=(const PulseSoundOutput&) = delete;

    std::optional<std::string> play(const formats::wave::Format& format,
                                    std::span<const std::uint8_t> samples,
                                    EndHandler ended) override;
    void stop() override;
    std::uint64_t framesPlayed() const override;

    // How long play() waits for the server's first answer. A missing server refuses well within
    // it, so play() reports it; a slower one is left to the sound's thread, which reports
    // through the end handler should it fail after all.
    static constexpr std::chrono::milliseconds answerWait{250};

private:
    struct Sound;

    std::chrono::milliseconds connectTimeout_;
    mutable std::mutex active_; // guards current_ and lastFrames_
    std::shared_ptr<Sound> current_;
    std::uint64_t lastFrames_ = 0;
    std::thread worker_;
};

} // namespace platform::ole
