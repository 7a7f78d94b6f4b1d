#include "forms/color.h"

#include <QApplication>
#include <QPalette>

#include <array>
#include <utility>

namespace forms {

QColor toQColor(TColor color)
{
    const auto bits = std::uint32_t(color);
    if (bits & 0x80000000u) {
        const QPalette pal = QApplication::palette();
        switch (bits & 0xFF) {
        case 5:
            return pal.color(QPalette::Base);
        case 8:
            return pal.color(QPalette::Text);
        case 13:
            return pal.color(QPalette::Highlight);
        case 14:
            return pal.color(QPalette::HighlightedText);
        case 15:
            return pal.color(QPalette::Button);
        case 16:
            return pal.color(QPalette::Dark);
        case 17:
            return pal.color(QPalette::Disabled, QPalette::Text);
        case 18:
            return pal.color(QPalette::ButtonText);
        case 20:
            return pal.color(QPalette::Light);
        default:
            return pal.color(QPalette::Window);
        }
    }
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

bool colorFromName(const QString& name, TColor& out)
{
    using namespace colors;
    static const std::array<std::pair<const char*, TColor>, 25> names{{
        {"clBlack", clBlack},
        {"clMaroon", clMaroon},
        {"clGreen", clGreen},
        {"clOlive", clOlive},
        {"clNavy", clNavy},
        {"clPurple", clPurple},
        {"clTeal", clTeal},
        {"clGray", clGray},
        {"clSilver", clSilver},
        {"clRed", clRed},
        {"clLime", clLime},
        {"clYellow", clYellow},
        {"clBlue", clBlue},
        {"clFuchsia", clFuchsia},
        {"clAqua", clAqua},
        {"clWhite", clWhite},
        {"clWindow", clWindow},
        {"clWindowText", clWindowText},
        {"clHighlight", clHighlight},
        {"clHighlightText", clHighlightText},
        {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow},
        {"clGrayText", clGrayText},
        {"clBtnText", clBtnText},
        {"clBtnHighlight", clBtnHighlight},
    }};
    for (const auto& [n, c] : names) {
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) {
            out = c;
            return true;
        }
    }
    return false;
}

} // namespace forms
