#include "platform/ole/serverwindow.h"

#include "platform/ole/waveformpeaks.h"
#include "platform/ole/waveformview.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace platform::ole {

namespace {
const QString playText = QStringLiteral("Wiedergabe");
const QString stopText = QStringLiteral("Stopp");
} // namespace

ServerWindow::ServerWindow(const WaveformPeaks& peaks, std::uint32_t sampleRate)
    : peaks_(peaks)
    , sampleRate_(sampleRate)
    , view_(new WaveformView(peaks, this))
    , button_(new QPushButton(playText, this))
    , position_(new QLabel(this))
{
    auto* controls = new QHBoxLayout;
    controls->addWidget(button_);
    controls->addStretch();
    controls->addWidget(position_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(controls);
    resize(520, 200);

    connect(button_, &QPushButton::clicked, this, [this] {
        if (playing_)
            emit stopRequested();
        else
            emit playRequested();
    });
    setPosition(0);
}

void ServerWindow::setPlaying(bool playing)
{
    playing_ = playing;
    button_->setText(playing ? stopText : playText);
}

void ServerWindow::setPosition(std::uint64_t frame)
{
    view_->setCursorFrame(frame);
    position_->setText(positionText(frame, peaks_.frames(), sampleRate_));
}

QString ServerWindow::positionText(std::uint64_t frame, std::uint64_t frames,
                                   std::uint32_t sampleRate)
{
    auto clock = [sampleRate](std::uint64_t f) {
        const std::uint64_t seconds = sampleRate ? f / sampleRate : 0;
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
    };
    return clock(std::min(frame, frames)) + QStringLiteral(" / ") + clock(frames);
}

void ServerWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closedByUser();
}

} // namespace platform::ole
