#pragma once

#include <QColor>

#include <cstdint>

namespace forms {

// A colour as the window definitions write it: 0x00BBGGRR (red in the low byte), or a system
// colour (0x80000000 | index) that follows the desktop's palette.
using TColor = std::int32_t;

namespace colors {
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor system(int index)
{
    return TColor(0x80000000u | unsigned(index));
}
inline constexpr TColor clWindow = system(5);
inline constexpr TColor clWindowText = system(8);
inline constexpr TColor clHighlight = system(13);
inline constexpr TColor clHighlightText = system(14);
inline constexpr TColor clBtnFace = system(15);
inline constexpr TColor clBtnShadow = system(16);
inline constexpr TColor clGrayText = system(17);
inline constexpr TColor clBtnText = system(18);
inline constexpr TColor clBtnHighlight = system(20);
} // namespace colors

QColor toQColor(TColor color);

// Named colours of the definitions ("clBlack", "clBtnFace"); false when the name is unknown.
bool colorFromName(const QString& name, TColor& out);

} // namespace forms
