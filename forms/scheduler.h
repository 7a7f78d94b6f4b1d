#pragma once

#include "forms/clock.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace forms {

// All timers of a program run on one scheduler. It keeps no thread and no event loop of its own:
// whoever drives it (the Qt event loop in the programs, VirtualTime in tests) calls runDue() when
// the earliest tick is due, and learns about that moment through the waker.
class Scheduler {
public:
    using Duration = Clock::Duration;
    using Id = std::uint64_t;
    using Waker = std::function<void(std::optional<Duration> nextDue)>;

    explicit Scheduler(const Clock& clock);

    const Clock& clock() const { return clock_; }

    // Ticks fall at start + k * interval, so a slow handler does not make the timer drift; ticks
    // missed while the thread was busy are merged into one, as window-message timers are.
    Id start(Duration interval, std::function<void()> tick);
    void stop(Id id);
    bool isRunning(Id id) const;

    // Fires every timer that is due now, earliest first, each at most once. A handler may start
    // or stop timers, and may run a nested event loop that calls runDue() again.
    void runDue();

    std::optional<Duration> nextDue() const;
    void setWaker(Waker waker);

    // The scheduler that new timers use; the application installs its own.
    static Scheduler& current();
    static void setCurrent(Scheduler* scheduler);

private:
    struct Entry {
        Id id;
        Duration interval;
        Duration started;
        Duration next;
        std::shared_ptr<std::function<void()>> tick;
    };

    void rearm();

    const Clock& clock_;
    std::vector<Entry> entries_;
    Id nextId_ = 1;
    Waker waker_;
};

} // namespace forms
