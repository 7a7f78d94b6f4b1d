#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace forms {

// Draws `width` rings of a 3D edge inside r, top and left in one colour, right and bottom in the
// other, and shrinks r by what was drawn. Stops early once r is too small for another ring.
void drawEdge(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight, int width);

} // namespace forms
