#pragma once

#include "formats/wave/wavereader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform::ole {

// The loudness outline of a recording: its frames split into equal runs, each summed up by its
// lowest and highest sample (16-bit scale; 8-bit samples are widened, channels taken together).
// Computed once, in one pass over the samples; a view of any width merges runs into columns.
class WaveformPeaks {
public:
    struct Peak {
        std::int16_t low = 0;
        std::int16_t high = 0;
    };

    // `runs` runs at most (fewer when there are fewer frames).
    WaveformPeaks(const formats::wave::Format& format, std::span<const std::uint8_t> samples,
                  std::size_t runs = defaultRuns);

    std::uint64_t frames() const { return frames_; }
    const std::vector<Peak>& runs() const { return runs_; }
    // The peak of pixel column `x` of a view `width` columns wide over the whole recording.
    Peak column(int x, int width) const;

    static constexpr std::size_t defaultRuns = 8192;

private:
    std::uint64_t frames_ = 0;
    std::vector<Peak> runs_;
};

} // namespace platform::ole
