#pragma once

#include "forms/events.h"

#include <functional>

namespace forms {

class Exception;

// The one place where events reach their handlers. A failure that escapes a handler ends it
// and goes to the application object's error box; the program carries on.
void dispatch(const std::function<void()>& handler);

void fire(const TNotifyEvent& event, TObject* sender);
void fire(const TKeyEvent& event, TObject* sender, std::uint16_t& key, TShiftState shift);

} // namespace forms
