#pragma once

#include "forms/clock.h"
#include "forms/scheduler.h"

namespace forms {

// Virtual time for tests: a manual clock with its own scheduler, installed as the current one
// for the object's lifetime. advance() fires every tick that falls in the interval, in order,
// with the clock standing at each tick's time while its handler runs.
class VirtualTime {
public:
    VirtualTime();
    ~VirtualTime();
    VirtualTime(const VirtualTime&) = delete;
    VirtualTime& operator=(const VirtualTime&) = delete;

    void advance(Clock::Duration by);
    Clock::Duration now() const { return clock_.now(); }
    Scheduler& scheduler() { return scheduler_; }

private:
    ManualClock clock_;
    Scheduler scheduler_{clock_};
    Scheduler* previous_;
};

} // namespace forms
