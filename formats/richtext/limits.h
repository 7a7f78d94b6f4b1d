#pragma once

#include <cstddef>
#include <cstdint>

namespace formats::richtext {

// Bounds the reader keeps on whatever it is given. Past them it reports an issue and goes on
// with a clamped value or without the excess, so hostile input costs bounded time and memory.
struct Limits {
    // Groups nested deeper than this are still matched up, but keep the formatting of the
    // deepest group that was kept.
    std::size_t maxGroupDepth = 256;
    // Letters of a control word; a longer one is read over and ignored.
    std::size_t maxWordLength = 32;
    // Parameters are signed 32-bit numbers; longer digit strings are clamped.
    std::int32_t minParameter = INT32_MIN;
    std::int32_t maxParameter = INT32_MAX;
    std::size_t maxFonts = 1024;
    std::size_t maxFontNameLength = 256;
    std::size_t maxColors = 1024;
    // Fallback characters after \u: the common writers use 0 to 2.
    int maxUnicodeSkip = 16;
    // Font sizes in half-points, as the classic control accepts them.
    int minHalfPoints = 2;
    int maxHalfPoints = 3276;
    // Characters of the document, paragraph breaks included: reading stops there.
    std::size_t capacity = SIZE_MAX;
    // Issues kept in detail; later ones are only counted.
    std::size_t maxIssues = 64;
};

} // namespace formats::richtext
