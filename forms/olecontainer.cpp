#include "forms/olecontainer.h"

#include "forms/surface.h"

#include <QPainter>

namespace forms {

namespace {

// One ring of a 3D edge: top and left in one colour, right and bottom in the other.
void edgeRing(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    p.setPen(topLeft);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(bottomRight);
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
}

} // namespace

TOleContainer::TOleContainer(TComponent* owner)
    : TWinControl(owner)
    , surface_(new Surface(this))
{
    setWidget(surface_);
    setTabStop(true);
    setColor(colors::clWindow);
}

void TOleContainer::setBorderStyle(BorderStyle style)
{
    if (borderStyle_ == style)
        return;
    borderStyle_ = style;
    surface_->update();
}

QRect TOleContainer::clientRect() const
{
    const int e = edgeWidth();
    return QRect(QPoint(0, 0), boundsRect().size()).adjusted(e, e, -e, -e);
}

void TOleContainer::paint(QPainter& painter, const QRegion& dirty)
{
    const QRect client = clientRect();
    for (const QRect& r : dirty)
        painter.fillRect(r.intersected(client), toQColor(color()));
    if (borderStyle_ == BorderStyle::Single) {
        // The sunken client edge: a shadow ring outside a dark ring.
        QRect r(QPoint(0, 0), boundsRect().size());
        if (r.width() > 1 && r.height() > 1)
            edgeRing(painter, r, toQColor(colors::clBtnShadow), toQColor(colors::clBtnHighlight));
        r.adjust(1, 1, -1, -1);
        if (r.width() > 1 && r.height() > 1)
            edgeRing(painter, r, QColor(Qt::black), toQColor(colors::clBtnFace));
    }
}

} // namespace forms
