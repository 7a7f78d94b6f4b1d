#include "platform/sound/pulsesoundplayer.h"

#include "formats/wave/wavereader.h"
#include "platform/sound/pulseplayback.h"
#include "platform/sound/soundfile.h"

#include <condition_variable>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform::sound {

PulseSoundPlayer::PulseSoundPlayer(std::chrono::milliseconds connectTimeout)
    : connectTimeout_(connectTimeout)
{}

PulseSoundPlayer::~PulseSoundPlayer()
{
    stopBackground();
}

void PulseSoundPlayer::stopBackground()
{
    {
        std::lock_guard lock(active_);
        if (background_)
            background_->stop();
    }
    if (worker_.joinable())
        worker_.join();
}

bool PulseSoundPlayer::play(std::string_view name, unsigned flags)
{
    std::lock_guard call(call_);
    stopBackground();

    // The file's bytes and the samples viewed in them travel together to whoever plays them.
    struct Sound {
        std::vector<std::uint8_t> bytes;
        formats::wave::Wave wave;
        std::unique_ptr<PulsePlayback> playback;
    };
    auto sound = std::make_shared<Sound>();
    auto bytes = readSoundFile(std::string(name));
    if (!bytes)
        return false;
    sound->bytes = std::move(*bytes);
    auto read = formats::wave::readWave(sound->bytes);
    if (std::holds_alternative<formats::wave::Error>(read))
        return false;
    sound->wave = std::get<formats::wave::Wave>(read);
    sound->playback = PulsePlayback::create(sound->wave.format);
    if (!sound->playback)
        return false;

    if (!(flags & Async))
        return sound->playback->connect(connectTimeout_) &&
               sound->playback->play(sound->wave.samples);

    // The connection is made on the sound's own thread, where stop() reaches it as well as while
    // it plays. The caller waits a moment for its outcome: a missing or refusing server answers
    // at once and makes play() fail, while one that takes its time does not hold the caller up.
    struct Connecting {
        std::mutex lock;
        std::condition_variable changed;
        std::optional<bool> connected;
    };
    auto connecting = std::make_shared<Connecting>();
    {
        std::lock_guard lock(active_);
        background_ = sound->playback.get();
    }
    worker_ = std::thread([this, sound, connecting] {
        const bool connected = sound->playback->connect(connectTimeout_);
        {
            std::lock_guard lock(connecting->lock);
            connecting->connected = connected;
        }
        connecting->changed.notify_all();
        if (connected)
            sound->playback->play(sound->wave.samples);
        std::lock_guard lock(active_);
        background_ = nullptr;
    });
    std::unique_lock lock(connecting->lock);
    connecting->changed.wait_for(lock, answerWait,
                                 [&] { return connecting->connected.has_value(); });
    if (connecting->connected == false) {
        lock.unlock();
        worker_.join();
        return false;
    }
    return true;
}

SoundPlayer& systemSoundPlayer()
{
    static PulseSoundPlayer player;
    return player;
}

} // namespace platform::sound
