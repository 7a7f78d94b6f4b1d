#include "platform/ole/waveformview.h"

#include "platform/ole/waveformpeaks.h"

#include <QPaintEvent>
#include <QPainter>

namespace platform::ole {

WaveformView::WaveformView(const WaveformPeaks& peaks, QWidget* parent)
    : QWidget(parent)
    , peaks_(peaks)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumHeight(40);
}

int WaveformView::cursorColumn() const
{
    if (peaks_.frames() == 0 || width() <= 0)
        return 0;
    const std::uint64_t frame = std::min(cursor_, peaks_.frames());
    return int(std::min<std::uint64_t>(frame * std::uint64_t(width()) / peaks_.frames(),
                                       std::uint64_t(width() - 1)));
}

void WaveformView::setCursorFrame(std::uint64_t frame)
{
    const int before = cursorColumn();
    cursor_ = frame;
    const int after = cursorColumn();
    if (after != before) {
        update(before, 0, 1, height());
        update(after, 0, 1, height());
    }
}

void WaveformView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    const int w = width();
    const int h = height();
    const double middle = (h - 1) / 2.0;
    const double scale = middle / 32768.0;

    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(event->rect().left(), int(middle), event->rect().right(), int(middle));
    painter.setPen(palette().color(QPalette::Highlight));
    for (int x = event->rect().left(); x <= event->rect().right() && x < w; ++x) {
        const WaveformPeaks::Peak peak = peaks_.column(x, w);
        const int top = int(middle - peak.high * scale);
        const int bottom = int(middle - peak.low * scale);
        painter.drawLine(x, top, x, bottom);
    }
    painter.setPen(palette().color(QPalette::Text));
    const int cursor = cursorColumn();
    painter.drawLine(cursor, 0, cursor, h - 1);
}

} // namespace platform::ole
