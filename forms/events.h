#pragma once

#include <cstdint>
#include <functional>

namespace forms {

class TObject;

using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;

// Handlers take the sending control first; key handlers also the key (a virtual-key code they may
// change: 0 swallows the key) and the shift state.
using TNotifyEvent = std::function<void(TObject* sender)>;
using TKeyEvent = std::function<void(TObject* sender, std::uint16_t& key, TShiftState shift)>;

} // namespace forms
