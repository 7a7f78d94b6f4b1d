#pragma once

#include <chrono>

namespace forms {

// Where the timers take the time from. The programs use the steady clock; tests move a manual
// clock forward so that a one-minute test runs in microseconds.
class Clock {
public:
    using Duration = std::chrono::milliseconds;
    virtual ~Clock() = default;
    virtual Duration now() const = 0;
};

class SteadyClock final : public Clock {
public:
    Duration now() const override;
};

class ManualClock final : public Clock {
public:
    Duration now() const override { return now_; }
    void set(Duration t) { now_ = t; }

private:
    Duration now_{0};
};

} // namespace forms
