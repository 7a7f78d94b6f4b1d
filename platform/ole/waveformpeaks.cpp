#include "platform/ole/waveformpeaks.h"

#include <algorithm>
#include <cstring>

namespace platform::ole {

namespace {

// The lowest and highest sample among `count` samples from `data`.
WaveformPeaks::Peak scan16(const std::uint8_t* data, std::size_t count)
{
    std::int16_t low = INT16_MAX, high = INT16_MIN;
    for (std::size_t i = 0; i < count; ++i) {
        std::int16_t v;
        std::memcpy(&v, data + 2 * i, 2); // the samples need not be aligned
        low = std::min(low, v);
        high = std::max(high, v);
    }
    return {low, high};
}

WaveformPeaks::Peak scan8(const std::uint8_t* data, std::size_t count)
{
    std::uint8_t low = 0xFF, high = 0;
    for (std::size_t i = 0; i < count; ++i) {
        low = std::min(low, data[i]);
        high = std::max(high, data[i]);
    }
    return {std::int16_t((int(low) - 128) * 256), std::int16_t((int(high) - 128) * 256)};
}

} // namespace

WaveformPeaks::WaveformPeaks(const formats::wave::Format& format,
                             std::span<const std::uint8_t> samples, std::size_t runs)
{
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "wave samples are little-endian");
    const std::size_t frameBytes = format.blockAlign();
    const std::size_t sampleBytes = format.bitsPerSample / 8;
    if (frameBytes == 0 || sampleBytes == 0 || runs == 0)
        return;
    frames_ = samples.size() / frameBytes;
    const std::size_t count = std::size_t(std::min<std::uint64_t>(runs, frames_));
    runs_.resize(count);
    for (std::size_t r = 0; r < count; ++r) {
        const std::uint64_t from = frames_ * r / count;
        const std::uint64_t to = frames_ * (r + 1) / count;
        const std::uint8_t* data = samples.data() + from * frameBytes;
        const std::size_t n = std::size_t(to - from) * format.channels;
        runs_[r] = sampleBytes == 2 ? scan16(data, n) : scan8(data, n);
    }
}

WaveformPeaks::Peak WaveformPeaks::column(int x, int width) const
{
    if (runs_.empty() || width <= 0 || x < 0 || x >= width)
        return {};
    const std::size_t n = runs_.size();
    const std::size_t from = n * std::size_t(x) / std::size_t(width);
    const std::size_t to = std::max(from + 1, n * std::size_t(x + 1) / std::size_t(width));
    Peak peak = runs_[from];
    for (std::size_t r = from + 1; r < to; ++r) {
        peak.low = std::min(peak.low, runs_[r].low);
        peak.high = std::max(peak.high, runs_[r].high);
    }
    return peak;
}

} // namespace platform::ole
