#pragma once

#include "forms/color.h"

#include <QFont>
#include <QString>

#include <functional>

namespace forms {

// A font as the definitions give it: a face name, a height in pixels (negative: the character
// height without internal leading, as the definitions write it), style flags and a colour.
class TFont {
public:
    enum Style : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

    const QString& name() const { return name_; }
    int height() const { return height_; }
    unsigned style() const { return style_; }
    TColor color() const { return color_; }
    int charset() const { return charset_; }

    void setName(const QString& name);
    void setHeight(int height);
    void setStyle(unsigned style);
    void setColor(TColor color);
    void setCharset(int charset);
    void assign(const TFont& other);

    QFont toQFont() const;

    // Face names that have no free font of the same name here are mapped to one of the same
    // metrics (Arial) or of a similar size and look, so the layout does not depend on fontconfig.
    // The stretch (100 = normal width) narrows a substitute that runs wider than the original.
    struct Face {
        QString family;
        int stretch = 100;
    };
    static Face resolveFace(const QString& name);

    std::function<void()> onChange;

    bool operator==(const TFont& other) const;

private:
    void changed();

    QString name_ = QStringLiteral("MS Sans Serif");
    int height_ = -11;
    unsigned style_ = 0;
    TColor color_ = colors::clWindowText;
    int charset_ = 1; // default character set
};

} // namespace forms
