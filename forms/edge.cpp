#include "forms/edge.h"

#include <QPainter>

namespace forms {

void drawEdge(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight, int width)
{
    for (int i = 0; i < width && r.width() > 1 && r.height() > 1; ++i) {
        p.setPen(topLeft);
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.setPen(bottomRight);
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        r.adjust(1, 1, -1, -1);
    }
}

} // namespace forms
