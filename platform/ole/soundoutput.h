#pragma once

#include "formats/wave/wavereader.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace platform::ole {

// Where the recording object's sound goes: one sound at a time, played in the background. The
// object reaches the speakers only through this, so tests can record what it played.
class SoundOutput {
public:
    enum class End { Finished, Failed };
    // Called on the output's own thread when a sound ends by itself: played to its end, or
    // failed (`detail` says why, for the user). Not called for a sound cut off by stop() or by
    // the next play().
    using EndHandler = std::function<void(End end, const std::string& detail)>;

    virtual ~SoundOutput() = default;

    // Starts playing `samples` (whole frames of `format`, which must outlive the sound) and
    // returns, cutting off a sound still playing. Returns nothing when the sound started, else
    // why not, for the user.
    virtual std::optional<std::string> play(const formats::wave::Format& format,
                                            std::span<const std::uint8_t> samples,
                                            EndHandler ended) = 0;
    // Cuts the sound off; returns once nothing of it runs any more. Harmless when none plays.
    virtual void stop() = 0;
    // From any thread: how many frames of the current or last sound have been played.
    virtual std::uint64_t framesPlayed() const = 0;
};

} // namespace platform::ole
