#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::sound {

// Sound files larger than this are not played: a generous hour of CD-quality stereo.
inline constexpr std::uint64_t maxSoundFileBytes = 700ull * 1024 * 1024;

// The whole contents of a regular file, or nothing when it is missing, unreadable, not a
// regular file (a pipe or a device could block or never end) or larger than the limit.
std::optional<std::vector<std::uint8_t>> readSoundFile(const std::string& path);

} // namespace platform::sound
