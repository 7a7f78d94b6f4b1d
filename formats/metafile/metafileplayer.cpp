#include "formats/metafile/metafileplayer.h"

#include <initializer_list>

namespace formats::metafile {

std::optional<Error> play(std::span<const std::uint8_t>, Canvas&)
{
    return Error{Error::Kind::BadHeader, 0, "not implemented yet"};
}

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A record: its size in 16-bit words, its function, then its parameters.
void record(std::vector<std::uint8_t>& out, std::uint16_t function,
            std::initializer_list<std::int32_t> words)
{
    put32(out, std::uint32_t(3 + words.size()));
    put16(out, function);
    for (std::int32_t w : words)
        put16(out, std::uint32_t(w) & 0xFFFF);
}

} // namespace

std::vector<std::uint8_t> writePictureMetafile(const Bitmap& bitmap, std::int32_t extentWidth,
                                               std::int32_t extentHeight)
{
    const std::uint32_t w = std::uint32_t(bitmap.width);
    const std::uint32_t h = std::uint32_t(bitmap.height);
    const std::uint32_t stride = (w * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * h;
    const std::uint32_t dibBytes = 40 + imageSize;
    const std::uint32_t stretchWords = 14 + dibBytes / 2;

    std::vector<std::uint8_t> out;
    out.reserve(18 + 56 + 2 * stretchWords);
    // The header's total size and largest record are filled in at the end.
    put16(out, 1);      // in memory
    put16(out, 9);      // header words
    put16(out, 0x0300); // version
    put32(out, 0);
    put16(out, 0); // objects
    put32(out, stretchWords);
    put16(out, 0);

    record(out, 0x020B, {0, 0});                      // window origin, y before x
    record(out, 0x020C, {extentHeight, extentWidth}); // window extent
    record(out, 0x0103, {8});                         // anisotropic mapping
    record(out, 0x0107, {3});                         // stretch by deleting scans
    record(out, 0x0102, {1});                         // transparent background
    put32(out, stretchWords);
    put16(out, 0x0F43);
    put32(out, 0x00CC0020); // copy the source
    put16(out, 0);          // colours are RGB
    for (std::int32_t v : {std::int32_t(h), std::int32_t(w), 0, 0, extentHeight, extentWidth, 0, 0})
        put16(out, std::uint32_t(v) & 0xFFFF);
    put32(out, 40);
    put32(out, w);
    put32(out, h); // bottom-up
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // no compression
    put32(out, imageSize);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (std::uint32_t y = h; y-- > 0;) {
        for (std::uint32_t x = 0; x < w; ++x) {
            const std::uint32_t p = bitmap.pixels[y * w + x];
            out.push_back(std::uint8_t(p));       // blue
            out.push_back(std::uint8_t(p >> 8));  // green
            out.push_back(std::uint8_t(p >> 16)); // red
        }
        for (std::uint32_t pad = w * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    record(out, 0x0000, {}); // end

    const std::uint32_t totalWords = std::uint32_t(out.size() / 2);
    out[6] = std::uint8_t(totalWords);
    out[7] = std::uint8_t(totalWords >> 8);
    out[8] = std::uint8_t(totalWords >> 16);
    out[9] = std::uint8_t(totalWords >> 24);
    return out;
}

} // namespace formats::metafile
