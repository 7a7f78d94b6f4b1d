#include "forms/progressbar.h"

#include <QProgressBar>

#include <algorithm>

namespace forms {

namespace {
std::uint16_t low16(int value)
{
    return std::uint16_t(unsigned(value) & 0xFFFFu);
}
} // namespace

TProgressBar::TProgressBar(TComponent* owner)
    : TWinControl(owner)
    , bar_(new QProgressBar)
{
    bar_->setTextVisible(false);
    setWidget(bar_);
    update();
}

void TProgressBar::setMin(int value)
{
    min_ = low16(value);
    position_ = std::clamp(position_, min_, std::max(min_, max_));
    update();
}

void TProgressBar::setMax(int value)
{
    max_ = low16(value);
    position_ = std::clamp(position_, std::min(min_, max_), max_);
    update();
}

void TProgressBar::setPosition(int value)
{
    const std::uint16_t v = low16(value);
    position_ = v < min_ ? min_ : (v > max_ ? max_ : v);
    update();
}

void TProgressBar::setStep(int value)
{
    step_ = low16(value);
}

void TProgressBar::stepIt()
{
    const int next = int(position_) + int(step_);
    position_ = next > int(max_) ? min_ : std::uint16_t(next);
    update();
}

void TProgressBar::update()
{
    if (max_ <= min_) {
        // Qt shows an empty range as a busy animation; the platform's bar simply stays empty.
        bar_->setRange(0, 1);
        bar_->setValue(0);
        return;
    }
    bar_->setRange(min_, max_);
    bar_->setValue(position_);
}

} // namespace forms
