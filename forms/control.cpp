#include "forms/control.h"

#include "forms/dispatch.h"
#include "forms/wincontrol.h"

namespace forms {

TControl::TControl(TComponent* owner)
    : TComponent(owner)
{
    font_.onChange = [this] {
        if (!adopting_)
            parentFont_ = false;
        fontChanged();
    };
}

TControl::~TControl()
{
    font_.onChange = nullptr;
    if (parent_)
        parent_->removeControl(this);
}

void TControl::setParent(TWinControl* parent)
{
    if (parent_ == parent)
        return;
    if (parent_)
        parent_->removeControl(this);
    parent_ = parent;
    if (parent_) {
        parent_->insertControl(this);
        if (parentFont_)
            adoptParentFont();
        if (parentColor_)
            adoptParentColor();
        if (align_ != TAlign::alNone)
            parent_->realign(this);
    }
}

void TControl::setBounds(int left, int top, int width, int height)
{
    const QRect r(left, top, std::max(0, width), std::max(0, height));
    if (r == bounds_)
        return;
    bounds_ = r;
    boundsChanged();
    // Moving an aligned control by hand does not take it off its edge.
    if (align_ != TAlign::alNone && parent_)
        parent_->realign(this);
}

void TControl::setAlign(TAlign align)
{
    if (align_ == align)
        return;
    align_ = align;
    if (parent_)
        parent_->realign(this);
}

void TControl::setVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    visibleChanged();
    // A hidden aligned control gives its room to the others.
    if (align_ != TAlign::alNone && parent_)
        parent_->realign(this);
}

void TControl::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    enabledChanged();
}

void TControl::setCaption(const QString& text)
{
    if (text_ == text)
        return;
    text_ = text;
    textChanged();
}

void TControl::setParentFont(bool parentFont)
{
    if (parentFont_ == parentFont)
        return;
    parentFont_ = parentFont;
    if (parentFont_)
        adoptParentFont();
    fontChanged(); // the window now inherits its font, or now keeps its own
}

void TControl::setColor(TColor color)
{
    parentColor_ = false;
    if (color_ == color)
        return;
    color_ = color;
    colorChanged();
}

void TControl::setParentColor(bool parentColor)
{
    parentColor_ = parentColor;
    if (parentColor_)
        adoptParentColor();
}

void TControl::adoptParentFont()
{
    if (!parent_)
        return;
    adopting_ = true;
    font_.assign(parent_->font());
    adopting_ = false;
}

void TControl::adoptParentColor()
{
    if (!parent_ || color_ == parent_->color())
        return;
    color_ = parent_->color();
    colorChanged();
}

void TControl::click()
{
    fire(onClick, this);
}

} // namespace forms
