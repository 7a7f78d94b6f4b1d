#include "forms/scheduler.h"

#include <algorithm>

namespace forms {

namespace {
Scheduler* g_current = nullptr;
}

Scheduler::Scheduler(const Clock& clock)
    : clock_(clock)
{}

Scheduler::Id Scheduler::start(Duration interval, std::function<void()> tick)
{
    interval = std::max(interval, Duration(1));
    const Duration now = clock_.now();
    const Id id = nextId_++;
    entries_.push_back({id, interval, now, now + interval,
                        std::make_shared<std::function<void()>>(std::move(tick))});
    rearm();
    return id;
}

void Scheduler::stop(Id id)
{
    std::erase_if(entries_, [id](const Entry& e) { return e.id == id; });
    rearm();
}

bool Scheduler::isRunning(Id id) const
{
    return std::any_of(entries_.begin(), entries_.end(),
                       [id](const Entry& e) { return e.id == id; });
}

void Scheduler::runDue()
{
    const Duration now = clock_.now();
    for (;;) {
        // Looked up afresh each round: the previous handler may have changed the list.
        auto due = entries_.end();
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->next <= now && (due == entries_.end() || it->next < due->next))
                due = it;
        }
        if (due == entries_.end())
            break;
        const auto periods = (now - due->started) / due->interval + 1;
        due->next = due->started + periods * due->interval;
        auto tick = due->tick; // keeps the handler alive even if the timer is stopped inside it
        rearm();
        (*tick)();
    }
    rearm();
}

std::optional<Scheduler::Duration> Scheduler::nextDue() const
{
    std::optional<Duration> best;
    for (const Entry& e : entries_) {
        if (!best || e.next < *best)
            best = e.next;
    }
    return best;
}

void Scheduler::setWaker(Waker waker)
{
    waker_ = std::move(waker);
    rearm();
}

void Scheduler::rearm()
{
    if (waker_)
        waker_(nextDue());
}

Scheduler& Scheduler::current()
{
    if (!g_current) {
        static SteadyClock clock;
        static Scheduler fallback(clock);
        g_current = &fallback;
    }
    return *g_current;
}

void Scheduler::setCurrent(Scheduler* scheduler)
{
    g_current = scheduler;
}

} // namespace forms
