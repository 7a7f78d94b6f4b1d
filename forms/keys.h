#pragma once

#include "forms/events.h"

#include <Qt>

#include <cstdint>

namespace forms {

// Virtual-key codes as the key handlers see them: 'A'..'Z', '0'..'9', VK_SHIFT 0x10 and so on.
inline constexpr std::uint16_t vkTab = 0x09;
inline constexpr std::uint16_t vkReturn = 0x0D;
inline constexpr std::uint16_t vkShift = 0x10;
inline constexpr std::uint16_t vkControl = 0x11;
inline constexpr std::uint16_t vkMenu = 0x12;
inline constexpr std::uint16_t vkLeft = 0x25;
inline constexpr std::uint16_t vkF1 = 0x70;
inline constexpr std::uint16_t vkUnknown = 0xFF;

// The key's code from Qt's key and, where the platform gives it, the key's scan code.
std::uint16_t virtualKeyFromQt(int qtKey, quint32 nativeScanCode = 0);
TShiftState shiftStateFromQt(Qt::KeyboardModifiers modifiers);

} // namespace forms
