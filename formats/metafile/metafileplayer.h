#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace formats::metafile {

// A device-independent bitmap, decoded: top-down rows of 0xFFRRGGBB.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

struct Rect {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
};

// Where a metafile is played. Coordinates are the metafile's logical units; the canvas maps the
// window (origin and extent) onto the area it draws in.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void setWindowOrigin(std::int32_t x, std::int32_t y) = 0;
    virtual void setWindowExtent(std::int32_t width, std::int32_t height) = 0;
    virtual void saveState() = 0;
    virtual void restoreState() = 0;
    // Draws the `source` part of `bitmap` stretched over `destination`.
    virtual void stretchBitmap(const Rect& destination, const Rect& source,
                               const Bitmap& bitmap) = 0;
};

struct Error {
    enum class Kind {
        Truncated,     // the bytes end before something they promise
        BadHeader,     // not a metafile of a type and version we play
        BadRecord,     // a record whose size does not fit, or a zero-sized record
        BadBitmap,     // a bitmap whose header, sizes or pixels do not fit its record
        TooManyRecords // more records than a picture of its size could hold
    };
    Kind kind;
    std::size_t offset = 0;
    std::string message;
};

// Plays a plain (non-placeable) metafile onto `canvas`: window origin and extent, save and
// restore, stretched device-independent bitmaps (24 and 32 bits, uncompressed). Records it does
// not draw are skipped; every size is checked before it is used. Stops at the end record.
std::optional<Error> play(std::span<const std::uint8_t> bytes, Canvas& canvas);

// The picture metafile our recording object caches: a 32 x 32 24-bit bitmap, given as top-down
// rows of 0xFFRRGGBB, stretched over a window of `extentWidth` x `extentHeight` logical units.
std::vector<std::uint8_t> writePictureMetafile(const Bitmap& bitmap, std::int32_t extentWidth,
                                               std::int32_t extentHeight);

} // namespace formats::metafile
