#include "forms/clock.h"

namespace forms {

Clock::Duration SteadyClock::now() const
{
    return std::chrono::duration_cast<Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
}

} // namespace forms
