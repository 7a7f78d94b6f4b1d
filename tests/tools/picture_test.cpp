#include "tools/soundobject/picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace {

TEST(RecordingPicture, IsAnOpaqueColourful32By32Picture)
{
    const formats::metafile::Bitmap picture = soundobject::drawPicture();
    ASSERT_EQ(picture.width, 32);
    ASSERT_EQ(picture.height, 32);
    ASSERT_EQ(picture.pixels.size(), 32u * 32u);
    std::set<std::uint32_t> colours;
    int saturated = 0;
    for (std::uint32_t p : picture.pixels) {
        EXPECT_EQ(p >> 24, 0xFFu);
        colours.insert(p);
        const int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
        if (std::max({r, g, b}) - std::min({r, g, b}) > 80)
            ++saturated;
    }
    EXPECT_GE(colours.size(), 20u) << "shapes, shading and smooth edges";
    EXPECT_GE(saturated, 40) << "in colour, not grey";
}

TEST(RecordingPicture, IsTheSameOnEveryBuild)
{
    std::uint64_t hash = 1469598103934665603ull;
    for (std::uint32_t p : soundobject::drawPicture().pixels)
        hash = (hash ^ p) * 1099511628211ull;
    EXPECT_EQ(hash, 0x17957b0aa6bc1ae6u) << std::hex << hash;
}

} // namespace
