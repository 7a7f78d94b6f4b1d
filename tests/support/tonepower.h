#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

// Power of one frequency in a stretch of 16-bit samples (Goertzel); a sine of amplitude 0.5
// gives 0.0625.
inline double powerAt(const std::vector<std::int16_t>& s, std::size_t from, std::size_t n,
                      double hz, int rate = 44100)
{
    const double w = 2 * std::numbers::pi * hz / rate;
    const double c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = from; i < from + n && i < s.size(); ++i) {
        const double s0 = s[i] / 32768.0 + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return (s1 * s1 + s2 * s2 - c * s1 * s2) / double(n * n);
}
