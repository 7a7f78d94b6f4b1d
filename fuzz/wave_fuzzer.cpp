// The wave reader over any bytes: what it returns must lie inside them and hold whole frames.
#include "formats/wave/wavereader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto result = formats::wave::readWave(bytes);
    const auto* wave = std::get_if<formats::wave::Wave>(&result);
    if (!wave)
        return 0;
    const auto& samples = wave->samples;
    if (!samples.empty()) {
        if (samples.data() < data || samples.data() + samples.size() > data + size)
            std::abort();
        if (std::size_t(samples.data() - data) != wave->samplesOffset)
            std::abort();
    }
    const std::uint16_t align = wave->format.blockAlign();
    if (align == 0 || samples.size() % align != 0)
        std::abort();
    // Read every sample, as playback would.
    unsigned sum = 0;
    for (std::uint8_t b : samples)
        sum += b;
    return int(sum & 0);
}
