// How long the recording object's server takes to outline the stored recording (7,511,375
// 16-bit samples) and to paint its window, next to a plain pass over the same bytes in the same
// run: the outline must not hold up the user-interface thread noticeably.
//
// usage: waveform [RUNS]   (QT_QPA_PLATFORM=offscreen works)

#include "median.h"
#include "platform/ole/serverwindow.h"
#include "platform/ole/waveformpeaks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace {

constexpr std::size_t frames = 7511375;

std::vector<std::uint8_t> recording()
{
    std::vector<std::uint8_t> b(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / 44100;
        const auto v = std::int16_t(12000 * std::sin(2 * std::numbers::pi * 220 * t) *
                                    (0.5 + 0.5 * std::sin(t)));
        b[2 * i] = std::uint8_t(v);
        b[2 * i + 1] = std::uint8_t(std::uint16_t(v) >> 8);
    }
    return b;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::vector<std::uint8_t> samples = recording();
    const formats::wave::Format format{1, 44100, 16};

    volatile std::uint64_t sink = 0;
    const double plain = medianMs(runs, [&] {
        std::uint64_t sum = 0;
        for (std::uint8_t b : samples)
            sum += b;
        sink = sink + sum;
    });
    const double outline = medianMs(runs, [&] {
        platform::ole::WaveformPeaks peaks(format, samples);
        sink = sink + std::uint64_t(peaks.runs().size());
    });
    const platform::ole::WaveformPeaks peaks(format, samples);
    const double paint = medianMs(runs, [&] {
        platform::ole::ServerWindow window(peaks, 44100);
        window.resize(1600, 400);
        const QPixmap shot = window.grab();
        sink = sink + std::uint64_t(shot.width());
    });

    std::printf("%-34s %10s\n", "step (7,511,375 samples)", "median ms");
    std::printf("%-34s %10.2f\n", "plain byte sum (reference)", plain);
    std::printf("%-34s %10.2f\n", "outline, computed once", outline);
    std::printf("%-34s %10.2f\n", "window 1600x400 made and painted", paint);
    std::printf("%-34s %10.2f\n", "outline / reference", outline / plain);
    return 0;
}
