#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

namespace formats::wave {

// The sample layout of a PCM wave file.
struct Format {
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;

    std::uint16_t blockAlign() const { return std::uint16_t(channels * bitsPerSample / 8); }
};

// A wave file's samples: a view into the bytes that were read, which must outlive it.
struct Wave {
    Format format;
    std::span<const std::uint8_t> samples; // whole frames only
    std::size_t samplesOffset = 0;         // where the samples begin in the file
};

struct Error {
    enum class Kind {
        Truncated,         // the bytes end before something they promise
        NotRiff,           // no "RIFF" at the start
        NotWave,           // a RIFF file of another form than "WAVE"
        BadChunk,          // a chunk that does not fit its parent, or a malformed format chunk
        MissingFormat,     // no "fmt " chunk before the end
        MissingData,       // no "data" chunk before the end
        UnsupportedFormat, // not PCM, or not 8/16-bit mono/stereo at a common rate
    };
    Kind kind;
    std::size_t offset; // where in the file the fault was found
    std::string message;
};

// The sample rates accepted: everything from telephone to studio quality.
inline constexpr std::uint32_t minSampleRate = 4000;
inline constexpr std::uint32_t maxSampleRate = 192000;

// Reads a RIFF WAVE file holding PCM samples, 8-bit unsigned or 16-bit signed, one or two
// channels. Chunks it does not need are skipped; odd-sized chunks are followed by a pad byte.
std::variant<Wave, Error> readWave(std::span<const std::uint8_t> bytes);

} // namespace formats::wave
