#include "platform/ole/metafilepainter.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using formats::metafile::Bitmap;
using formats::metafile::writePictureMetafile;
using platform::ole::drawMetafile;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr QRgb untouched = 0xFF102030;

// Every pixel different, so a shifted or smoothed pixel shows.
Bitmap gradient()
{
    Bitmap b{32, 32, {}};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            b.pixels.push_back(0xFF000000u | std::uint32_t(x * 8) << 16 |
                               std::uint32_t(y * 8) << 8 | std::uint32_t(255 - x - y));
    return b;
}

QImage canvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(untouched);
    return image;
}

std::optional<formats::metafile::Error> draw(QImage& image, const QRect& target, const Bytes& m)
{
    QPainter painter(&image);
    return drawMetafile(painter, target, m);
}

// The written picture with its stretch record twice: the first over the window's left half,
// the second, over the right half, with a bitmap of 16 bits per pixel, which is not drawn.
Bytes damagedAfterTheLeftHalf(const Bitmap& picture)
{
    const Bytes written = writePictureMetafile(picture, 32, 32);
    const std::size_t stretchAt = 18 + 10 + 10 + 8 + 8 + 8;
    const std::size_t stretchBytes = 28 + 40 + 32 * 96;
    Bytes out(written.begin(), written.begin() + long(stretchAt));
    Bytes left(written.begin() + long(stretchAt), written.begin() + long(stretchAt + stretchBytes));
    left[6 + 16] = 16; // destination width
    Bytes right = left;
    right[6 + 20] = 16;  // destination x
    right[28 + 14] = 16; // bits per pixel
    out.insert(out.end(), left.begin(), left.end());
    out.insert(out.end(), right.begin(), right.end());
    out.insert(out.end(), written.end() - 6, written.end());
    const std::uint32_t words = std::uint32_t(out.size() / 2);
    for (int i = 0; i < 4; ++i)
        out[6 + std::size_t(i)] = std::uint8_t(words >> (8 * i));
    return out;
}

TEST(MetafilePainter, DrawsThePictureAtItsOwnSizePixelForPixel)
{
    const Bitmap picture = gradient();
    QImage image = canvas(40);
    const auto error = draw(image, QRect(0, 0, 32, 32), writePictureMetafile(picture, 846, 846));
    ASSERT_FALSE(error) << error->message;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const QRgb want =
                x < 32 && y < 32 ? picture.pixels[std::size_t(y * 32 + x)] : untouched;
            ASSERT_EQ(image.pixel(x, y), want) << x << "," << y;
        }
}

TEST(MetafilePainter, DrawsEveryPixelAsACrispBlockWhenScaledTwice)
{
    const Bitmap picture = gradient();
    QImage image = canvas(80);
    const auto error = draw(image, QRect(5, 7, 64, 64), writePictureMetafile(picture, 846, 846));
    ASSERT_FALSE(error) << error->message;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x) {
            const bool inside = x >= 5 && x < 69 && y >= 7 && y < 71;
            const QRgb want =
                inside ? picture.pixels[std::size_t((y - 7) / 2 * 32 + (x - 5) / 2)] : untouched;
            ASSERT_EQ(image.pixel(x, y), want) << x << "," << y;
        }
}

TEST(MetafilePainter, DrawsNothingOutsideATargetPartlyOffTheDevice)
{
    const Bitmap picture = gradient();
    QImage image = canvas(40);
    ASSERT_FALSE(draw(image, QRect(-8, 20, 32, 16), writePictureMetafile(picture, 32, 32)));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x < 24 && y >= 20 && y < 36;
            const QRgb want =
                inside ? picture.pixels[std::size_t(((y - 20) * 2 + 1) * 32 + x + 8)] : untouched;
            ASSERT_EQ(image.pixel(x, y), want) << x << "," << y;
        }
}

TEST(MetafilePainter, TheWindowOriginShiftsThePicture)
{
    const Bitmap picture = gradient();
    Bytes m = writePictureMetafile(picture, 32, 32);
    m[18 + 8] = 16; // window origin x, after y
    QImage image = canvas(32);
    ASSERT_FALSE(draw(image, QRect(0, 0, 32, 32), m));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb want = x < 16 ? picture.pixels[std::size_t(y * 32 + x + 16)] : untouched;
            ASSERT_EQ(image.pixel(x, y), want) << x << "," << y;
        }
}

TEST(MetafilePainter, AHugeTargetCostsNoMoreThanTheDevice)
{
    const Bitmap picture = gradient();
    QImage image = canvas(16);
    ASSERT_FALSE(
        draw(image, QRect(0, 0, 2000000000, 2000000000), writePictureMetafile(picture, 32, 32)));
    EXPECT_EQ(image.pixel(0, 0), picture.pixels[0]);
    EXPECT_EQ(image.pixel(15, 15), picture.pixels[0]);
}

TEST(MetafilePainter, StopsAtTheDamageAndReportsIt)
{
    const Bitmap picture = gradient();
    QImage image = canvas(32);
    const auto error = draw(image, QRect(0, 0, 32, 32), damagedAfterTheLeftHalf(picture));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, formats::metafile::Error::Kind::BadBitmap);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb want = x < 16 ? picture.pixels[std::size_t(y * 32 + 2 * x + 1)] : untouched;
            ASSERT_EQ(image.pixel(x, y), want) << x << "," << y;
        }
}

} // namespace
