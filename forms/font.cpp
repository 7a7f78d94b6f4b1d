#include "forms/font.h"

namespace forms {

void TFont::setName(const QString& name)
{
    if (name_ != name) {
        name_ = name;
        changed();
    }
}

void TFont::setHeight(int height)
{
    if (height_ != height) {
        height_ = height;
        changed();
    }
}

void TFont::setStyle(unsigned style)
{
    if (style_ != style) {
        style_ = style;
        changed();
    }
}

void TFont::setColor(TColor color)
{
    if (color_ != color) {
        color_ = color;
        changed();
    }
}

void TFont::setCharset(int charset)
{
    if (charset_ != charset) {
        charset_ = charset;
        changed();
    }
}

void TFont::assign(const TFont& other)
{
    if (*this == other)
        return;
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    charset_ = other.charset_;
    changed();
}

bool TFont::operator==(const TFont& other) const
{
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ &&
           color_ == other.color_ && charset_ == other.charset_;
}

void TFont::changed()
{
    if (onChange)
        onChange();
}

TFont::Face TFont::resolveFace(const QString& name)
{
    auto is = [&name](const char16_t* face) {
        return name.compare(face, Qt::CaseInsensitive) == 0;
    };
    if (is(u"Arial"))
        return {QStringLiteral("Liberation Sans")}; // same metrics
    // The old bitmap sans faces set text about a tenth narrower than Arial at the same height;
    // without that, captions overrun the label sizes stored in the definitions.
    if (is(u"MS Sans Serif") || is(u"Microsoft Sans Serif") || is(u"Tahoma"))
        return {QStringLiteral("Liberation Sans"), 90};
    if (is(u"Times New Roman"))
        return {QStringLiteral("Liberation Serif")};
    if (is(u"Courier New") || is(u"Courier"))
        return {QStringLiteral("Liberation Mono")};
    return {name};
}

QFont TFont::toQFont() const
{
    const Face face = resolveFace(name_);
    QFont font(face.family);
    font.setStretch(face.stretch);
    // A negative height is the character height (what Qt calls the pixel size); a positive one
    // includes the internal leading, which for these sans faces is about a tenth more.
    const int pixels = height_ < 0 ? -height_ : std::max(1, height_ * 9 / 10);
    font.setPixelSize(std::max(1, pixels));
    font.setBold(style_ & fsBold);
    font.setItalic(style_ & fsItalic);
    font.setUnderline(style_ & fsUnderline);
    font.setStrikeOut(style_ & fsStrikeOut);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

} // namespace forms
