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
    // unreadable or not a playable wave file. Without a sound output, Wait returns false; Async
    // returns true once the file was read, as the output is reached only in the background.
    virtual bool play(std::string_view name, unsigned flags) = 0;
};

// The program's sound output, made on first use.
SoundPlayer& systemSoundPlayer();

} // namespace platform::sound
