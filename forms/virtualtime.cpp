#include "forms/virtualtime.h"

namespace forms {

VirtualTime::VirtualTime()
    : previous_(&Scheduler::current())
{
    Scheduler::setCurrent(&scheduler_);
}

VirtualTime::~VirtualTime()
{
    Scheduler::setCurrent(previous_);
}

void VirtualTime::advance(Clock::Duration by)
{
    const Clock::Duration target = clock_.now() + by;
    while (auto due = scheduler_.nextDue()) {
        if (*due > target)
            break;
        clock_.set(std::max(*due, clock_.now()));
        scheduler_.runDue();
    }
    // A handler may have run a nested loop that moved the clock past the target already.
    clock_.set(std::max(target, clock_.now()));
}

} // namespace forms
