#include "platform/ole/metafilepainter.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <vector>

namespace platform::ole {

namespace {

using formats::metafile::Bitmap;
using formats::metafile::Rect;

// One axis of a stretch: the target in device pixels, the window and the destination in the
// metafile's logical units, the source in bitmap pixels.
struct Axis {
    std::int64_t targetStart, targetLength;
    std::int64_t windowOrigin, windowExtent;
    std::int64_t destStart, destLength;
    std::int64_t sourceStart, sourceLength;
};

// The device pixels from `visibleFirst` to `visibleLast` that fall inside the destination, and
// for each the bitmap pixel it shows: pixel centres are mapped back through the window and the
// destination onto the source, so a picture stretched by a whole factor is copied in crisp
// blocks and nothing is smoothed.
struct Run {
    int first = 0;
    std::vector<int> from;
};

Run mapAxis(const Axis& a, int visibleFirst, int visibleLast)
{
    Run run;
    // All terms stay far below 2^63: positions and lengths are 32-bit, window and destination
    // values 16-bit, and the product with the source length is taken only once 0 <= n < d.
    std::int64_t d = 2 * a.targetLength * a.destLength;
    const std::int64_t offset = 2 * a.targetLength * (a.destStart - a.windowOrigin);
    const std::int64_t sign = d < 0 ? -1 : 1;
    d *= sign;
    for (int px = visibleFirst; px <= visibleLast; ++px) {
        const std::int64_t n = sign * ((2 * (px - a.targetStart) + 1) * a.windowExtent - offset);
        if (n < 0 || n >= d) {
            if (!run.from.empty())
                break; // the destination is one span, so the run has ended
            continue;
        }
        if (run.from.empty())
            run.first = px;
        run.from.push_back(int(a.sourceStart + n * a.sourceLength / d));
    }
    return run;
}

class PainterCanvas : public formats::metafile::Canvas {
public:
    PainterCanvas(QPainter& painter, const QRect& target, const QRect& visible)
        : painter_(painter)
        , target_(target)
        , visible_(visible)
        , window_{0, 0, target.width(), target.height()}
    {}

    void setWindowOrigin(std::int32_t x, std::int32_t y) override
    {
        window_.x = x;
        window_.y = y;
    }

    void setWindowExtent(std::int32_t width, std::int32_t height) override
    {
        window_.width = width;
        window_.height = height;
    }

    void saveState() override { saved_.push_back(window_); }

    void restoreState() override
    {
        if (saved_.empty())
            return;
        window_ = saved_.back();
        saved_.pop_back();
    }

    void stretchBitmap(const Rect& destination, const Rect& source, const Bitmap& bitmap) override
    {
        if (window_.width == 0 || window_.height == 0 || visible_.isEmpty())
            return;
        // The player hands over 16-bit coordinates and sources inside their bitmaps; the
        // arithmetic below counts on both.
        const auto fits16 = [](std::int32_t v) { return v >= -32768 && v <= 32767; };
        if (!fits16(destination.x) || !fits16(destination.y) || !fits16(destination.width) ||
            !fits16(destination.height) || !fits16(source.width) || !fits16(source.height) ||
            !fits16(window_.x) || !fits16(window_.y) || !fits16(window_.width) ||
            !fits16(window_.height))
            return;
        if (source.width <= 0 || source.height <= 0 || source.x < 0 || source.y < 0 ||
            std::int64_t(source.x) + source.width > bitmap.width ||
            std::int64_t(source.y) + source.height > bitmap.height ||
            bitmap.pixels.size() < std::size_t(bitmap.width) * std::size_t(bitmap.height))
            return;
        const Run columns = mapAxis({target_.x(), target_.width(), window_.x, window_.width,
                                     destination.x, destination.width, source.x, source.width},
                                    visible_.left(), visible_.right());
        const Run rows = mapAxis({target_.y(), target_.height(), window_.y, window_.height,
                                  destination.y, destination.height, source.y, source.height},
                                 visible_.top(), visible_.bottom());
        if (columns.from.empty() || rows.from.empty())
            return;
        QImage image(int(columns.from.size()), int(rows.from.size()), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            const std::uint32_t* in =
                bitmap.pixels.data() + std::size_t(rows.from[std::size_t(y)]) * bitmap.width;
            for (int x = 0; x < image.width(); ++x)
                line[x] = in[columns.from[std::size_t(x)]];
        }
        painter_.drawImage(QPoint(columns.first, rows.first), image);
    }

private:
    QPainter& painter_;
    QRect target_;
    QRect visible_;
    Rect window_;
    std::vector<Rect> saved_;
};

// The part of `target` the painter can reach, so that a huge target costs no more than the
// device it is drawn on.
QRect reachable(const QPainter& painter, const QRect& target)
{
    QRect visible = target;
    if (const QPaintDevice* device = painter.device()) {
        // Some devices count logical pixels and some device pixels; the larger is the bound.
        const QRect deviceRect(0, 0, device->width(), device->height());
        visible &= painter.combinedTransform().inverted().mapRect(deviceRect);
    }
    if (painter.hasClipping())
        visible &= painter.clipBoundingRect().toAlignedRect();
    return visible;
}

} // namespace

std::optional<formats::metafile::Error> drawMetafile(QPainter& painter, const QRect& target,
                                                     std::span<const std::uint8_t> metafile)
{
    const QRect visible = target.isValid() ? reachable(painter, target) : QRect();
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    PainterCanvas canvas(painter, target, visible);
    auto result = formats::metafile::play(metafile, canvas);
    painter.restore();
    return result;
}

} // namespace platform::ole
