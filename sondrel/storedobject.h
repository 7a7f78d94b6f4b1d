#pragma once

#include <string_view>

// The stored sound object that Sondrel's main window holds: a 12-byte header and the object's
// compound document. Each program that builds the window links one in; Sondrel links the one
// made at build time.
std::string_view storedSoundObject();
