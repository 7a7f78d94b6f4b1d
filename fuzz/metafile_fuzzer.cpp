// The metafile player onto a canvas that only counts: every bitmap handed over must hold the
// pixels its size promises.
#include "formats/metafile/metafileplayer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

using namespace formats::metafile;

class CountingCanvas : public Canvas {
public:
    void setWindowOrigin(std::int32_t, std::int32_t) override { ++calls; }
    void setWindowExtent(std::int32_t, std::int32_t) override { ++calls; }
    void saveState() override { ++depth; }
    void restoreState() override { --depth; }
    void stretchBitmap(const Rect&, const Rect&, const Bitmap& bitmap) override
    {
        ++calls;
        if (bitmap.width < 0 || bitmap.height < 0 ||
            bitmap.pixels.size() != std::size_t(bitmap.width) * std::size_t(bitmap.height))
            std::abort();
        // Read every pixel, as a painter would.
        for (std::uint32_t pixel : bitmap.pixels)
            checksum ^= pixel;
    }

    std::size_t calls = 0;
    long depth = 0;
    std::uint32_t checksum = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CountingCanvas canvas;
    (void)play(std::span<const std::uint8_t>(data, size), canvas);
    return 0;
}
