#include "forms/graphiccontrol.h"

#include "forms/wincontrol.h"

namespace forms {

TGraphicControl::~TGraphicControl()
{
    invalidate(); // nothing else would erase it from its parent's surface
}

void TGraphicControl::invalidate()
{
    if (!parent() || !parent()->widget())
        return;
    parent()->widget()->update(painted_.united(boundsRect()));
    painted_ = boundsRect();
}

void TGraphicControl::setParent(TWinControl* parent)
{
    invalidate();
    TControl::setParent(parent);
    invalidate();
}

void TGraphicControl::boundsChanged()
{
    invalidate();
}

} // namespace forms
