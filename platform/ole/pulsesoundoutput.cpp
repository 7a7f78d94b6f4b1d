#include "platform/ole/pulsesoundoutput.h"

#include "platform/sound/pulseplayback.h"

#include <atomic>
#include <condition_variable>

namespace platform::ole {

using platform::sound::PulsePlayback;

struct PulseSoundOutput::Sound {
    std::unique_ptr<PulsePlayback> playback;
    std::atomic<bool> cutOff{false};

    // The connection's outcome, handed from the sound's thread to the caller of play().
    std::mutex lock;
    std::condition_variable changed;
    std::optional<bool> connected;
    bool callerLeft = false; // play() returned before the outcome was known
};

PulseSoundOutput::PulseSoundOutput(std::chrono::milliseconds connectTimeout)
    : connectTimeout_(connectTimeout)
{}

PulseSoundOutput::~PulseSoundOutput()
{
    stop();
}

void PulseSoundOutput::stop()
{
    {
        std::lock_guard lock(active_);
        if (current_) {
            current_->cutOff = true;
            current_->playback->stop();
        }
    }
    if (worker_.joinable())
        worker_.join();
}

std::uint64_t PulseSoundOutput::framesPlayed() const
{
    std::lock_guard lock(active_);
    return current_ ? current_->playback->framesPlayed() : lastFrames_;
}

std::optional<std::string> PulseSoundOutput::play(const formats::wave::Format& format,
                                                  std::span<const std::uint8_t> samples,
                                                  EndHandler ended)
{
    stop();
    auto sound = std::make_shared<Sound>();
    sound->playback = PulsePlayback::create(format);
    if (!sound->playback)
        return "Das Tonformat (" + std::to_string(format.channels) + " Kanäle, " +
               std::to_string(format.bitsPerSample) + " Bit, " + std::to_string(format.sampleRate) +
               " Hz) kann nicht wiedergegeben werden";
    {
        std::lock_guard lock(active_);
        current_ = sound;
        lastFrames_ = 0;
    }

    // The connection is made on the sound's own thread, where stop() reaches it as well as while
    // it plays; the caller waits a moment for its outcome.
    worker_ = std::thread([this, sound, samples, ended = std::move(ended)] {
        const bool connected = sound->playback->connect(connectTimeout_);
        bool callerLeft = false;
        {
            std::lock_guard lock(sound->lock);
            sound->connected = connected;
            callerLeft = sound->callerLeft;
        }
        sound->changed.notify_all();

        bool played = false;
        if (connected)
            played = sound->playback->play(samples);
        {
            std::lock_guard lock(active_);
            lastFrames_ = sound->playback->framesPlayed();
            if (current_ == sound)
                current_.reset();
        }
        if (sound->cutOff || (!connected && !callerLeft))
            return; // cut off on purpose, or the caller reports the missing server itself
        if (played)
            ended(End::Finished, {});
        else if (connected)
            ended(End::Failed,
                  "Die Wiedergabe brach ab: der Sound-Server nimmt keinen Ton mehr an");
        else
            ended(End::Failed,
                  "Keine Tonausgabe: der Sound-Server hat nicht rechtzeitig geantwortet");
    });

    std::unique_lock lock(sound->lock);
    sound->changed.wait_for(lock, answerWait, [&] { return sound->connected.has_value(); });
    if (!sound->connected)
        sound->callerLeft = true;
    if (sound->connected == false) {
        lock.unlock();
        worker_.join();
        return "Keine Tonausgabe: kein Sound-Server erreichbar";
    }
    return std::nullopt;
}

} // namespace platform::ole
