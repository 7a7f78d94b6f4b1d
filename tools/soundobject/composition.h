#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace soundobject {

inline constexpr std::uint32_t sampleRate = 44100;
inline constexpr std::size_t sampleCount = 7511375;

// The recording stored in Sondrel: a composed piece of 170 seconds, 16-bit mono at 44.1 kHz.
// Made with integer and exactly rounded arithmetic only, so every build makes the same samples.
std::vector<std::int16_t> composeRecording();

} // namespace soundobject
