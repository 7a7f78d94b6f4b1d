#include "forms/timer.h"

#include "forms/dispatch.h"

namespace forms {

TTimer::TTimer(TComponent* owner)
    : TComponent(owner)
{}

TTimer::~TTimer()
{
    if (running_)
        scheduler_->stop(running_);
}

void TTimer::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    update();
}

void TTimer::setInterval(unsigned ms)
{
    if (interval_ == ms)
        return;
    interval_ = ms;
    update();
}

void TTimer::setOnTimer(TNotifyEvent handler)
{
    onTimer_ = std::move(handler);
    update();
}

void TTimer::update()
{
    if (running_) {
        scheduler_->stop(running_);
        running_ = 0;
    }
    if (enabled_ && interval_ > 0 && onTimer_) {
        scheduler_ = &Scheduler::current();
        running_ = scheduler_->start(std::chrono::milliseconds(interval_), [this] { tick(); });
    }
}

void TTimer::tick()
{
    fire(onTimer_, this);
}

} // namespace forms
