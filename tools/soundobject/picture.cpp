#include "tools/soundobject/picture.h"

#include <cstdint>

// A loudspeaker sending out three waves, on a pale rounded tile. Every pixel is the average of
// 4 x 4 samples, and the shapes are tested with integer arithmetic only, so the picture is the
// same on every build. Coordinates below are in eighths of a pixel.

namespace soundobject {

namespace {

constexpr int size = 32;
constexpr int unit = 8; // eighths of a pixel

struct Colour {
    int r, g, b;
};

constexpr Colour rgb(std::uint32_t v)
{
    return {int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)};
}

// From `a` to `b` as `t` goes from 0 to `range`.
Colour blend(Colour a, Colour b, int t, int range)
{
    return {a.r + (b.r - a.r) * t / range, a.g + (b.g - a.g) * t / range,
            a.b + (b.b - a.b) * t / range};
}

bool inRoundedRect(int x, int y, int left, int top, int right, int bottom, int radius)
{
    if (x < left || x > right || y < top || y > bottom)
        return false;
    const int cx = x < left + radius ? left + radius : x > right - radius ? right - radius : x;
    const int cy = y < top + radius ? top + radius : y > bottom - radius ? bottom - radius : y;
    const int dx = x - cx;
    const int dy = y - cy;
    return dx * dx + dy * dy <= radius * radius;
}

const Colour outside = rgb(0xFFFFFF);
const Colour tileTop = rgb(0xD6EAFB);
const Colour tileBottom = rgb(0xFAFDFF);
const Colour tileEdge = rgb(0x7FB2E5);
const Colour bodyColour = rgb(0x37474F);
const Colour bodyLight = rgb(0x5C7582);
const Colour coneInner = rgb(0x455A64);
const Colour coneOuter = rgb(0x8296A2);
const Colour coneRim = rgb(0xC3CFD6);
const Colour waveColours[3] = {rgb(0x1E9E8F), rgb(0x2F86D8), rgb(0x6A4FC8)};

Colour sampleAt(int x, int y)
{
    constexpr int edge = size * unit;
    if (!inRoundedRect(x, y, 0, 0, edge - 1, edge - 1, 6 * unit))
        return outside;
    Colour c = blend(tileTop, tileBottom, y, edge);
    if (!inRoundedRect(x, y, unit, unit, edge - 1 - unit, edge - 1 - unit, 5 * unit))
        c = tileEdge;

    // Waves: arcs about the cone's mouth, opening to the right.
    constexpr int cx = 15 * unit;
    constexpr int cy = 16 * unit;
    const int dx = x - cx;
    const int dy = y - cy;
    const int d2 = dx * dx + dy * dy;
    if (dx > 0 && 100 * (dy < 0 ? -dy : dy) <= 105 * dx) {
        constexpr int radii[3] = {5 * unit, 9 * unit, 13 * unit};
        constexpr int half = unit * 9 / 10;
        for (int i = 0; i < 3; ++i) {
            const int inner = radii[i] - half;
            const int outer = radii[i] + half;
            if (d2 >= inner * inner && d2 <= outer * outer)
                c = waveColours[i];
        }
    }

    // The cone widens from the magnet to its rim.
    constexpr int coneLeft = 10 * unit;
    constexpr int coneRight = 16 * unit;
    if (x >= coneLeft && x < coneRight) {
        const int along = x - coneLeft;
        const bool belowTop = 7 * (y - 12 * unit) >= -6 * along;
        const bool aboveBottom = 7 * (y - 20 * unit) < 6 * along;
        if (belowTop && aboveBottom)
            c = x >= coneRight - unit ? coneRim
                                      : blend(coneInner, coneOuter, along, coneRight - coneLeft);
    }

    // The magnet housing, lit from above.
    if (inRoundedRect(x, y, 4 * unit, 12 * unit, 10 * unit, 20 * unit - 1, unit))
        c = y < 13 * unit + unit / 2 ? bodyLight : bodyColour;
    return c;
}

} // namespace

formats::metafile::Bitmap drawPicture()
{
    formats::metafile::Bitmap picture{size, size, std::vector<std::uint32_t>(size * size)};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int r = 0, g = 0, b = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const Colour c = sampleAt(x * unit + 2 * sx + 1, y * unit + 2 * sy + 1);
                    r += c.r;
                    g += c.g;
                    b += c.b;
                }
            }
            picture.pixels[std::size_t(y * size + x)] =
                0xFF000000u | std::uint32_t((r + 8) / 16) << 16 | std::uint32_t((g + 8) / 16) << 8 |
                std::uint32_t((b + 8) / 16);
        }
    }
    return picture;
}

} // namespace soundobject
