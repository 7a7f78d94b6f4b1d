#include "forms/olecontainer.h"

#include "forms/edge.h"
#include "forms/surface.h"

#include <QPainter>

namespace forms {

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
        drawEdge(painter, r, toQColor(colors::clBtnShadow), toQColor(colors::clBtnHighlight), 1);
        drawEdge(painter, r, QColor(Qt::black), toQColor(colors::clBtnFace), 1);
    }
}

} // namespace forms
