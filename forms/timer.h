#pragma once

#include "forms/component.h"
#include "forms/events.h"
#include "forms/scheduler.h"

namespace forms {

// A window timer: it ticks every interval while it is enabled and has a handler. Setting the
// enabled flag to the value it already has changes nothing, so a running timer is not restarted.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    unsigned interval() const { return interval_; }
    void setInterval(unsigned ms);
    const TNotifyEvent& onTimer() const { return onTimer_; }
    void setOnTimer(TNotifyEvent handler);

    bool isRunning() const { return running_ != 0; }

private:
    void update();
    void tick();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    TNotifyEvent onTimer_;
    Scheduler* scheduler_ = nullptr;
    Scheduler::Id running_ = 0;
};

} // namespace forms
