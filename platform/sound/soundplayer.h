#pragma once

#include <string_view>

namespace platform::sound {

// Plays sound files by name. Programs reach the sound output only through this, so that tests
// can put a recording fake in its place.
class SoundPlayer {
public:
    // Flags of play().
    enum Flags : unsigned {
        Wait = 0,  // return once the sound has been played to its end
        Async = 1, // return at once; the sound plays in the background
    };

    virtual ~SoundPlayer() = default;

    // Plays the wave file `name`, a path that relative names take from the current directory.
    // A new sound cuts off one still playing. Returns false at once when the file is missing,
    // unreadable or not a playable wave file, or when there is no sound output. A sound output
    // that is slow to answer does not hold up an Async call: it returns true, and the sound
    // plays once the output answers.
    virtual bool play(std::string_view name, unsigned flags) = 0;
};

// The program's sound output, made on first use.
SoundPlayer& systemSoundPlayer();

} // namespace platform::sound
