#include "platform/sound/pulsesoundplayer.h"

#include "formats/wave/wavereader.h"
#include "platform/sound/pulseplayback.h"
#include "platform/sound/soundfile.h"

#include <memory>
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

    // A server that takes its time to answer must not hold up the caller, so the connection is
    // made on the sound's own thread; stop() reaches it there as well as while it plays.
    {
        std::lock_guard lock(active_);
        background_ = sound->playback.get();
    }
    worker_ = std::thread([this, sound] {
        if (sound->playback->connect(connectTimeout_))
            sound->playback->play(sound->wave.samples);
        std::lock_guard lock(active_);
        background_ = nullptr;
    });
    return true;
}

SoundPlayer& systemSoundPlayer()
{
    static PulseSoundPlayer player;
    return player;
}

} // namespace platform::sound
