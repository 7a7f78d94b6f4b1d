#pragma once

#include "forms/wincontrol.h"

namespace forms {

class Surface;

// A site for an embedded object: a focusable window with a sunken edge, painted in the window
// colour wherever no object is drawn.
class TOleContainer : public TWinControl {
public:
    enum class BorderStyle { None, Single };

    explicit TOleContainer(TComponent* owner);

    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle style);

    // Inside the sunken edge.
    QRect clientRect() const override;

    void paint(QPainter& painter, const QRegion& dirty) override;

private:
    int edgeWidth() const { return borderStyle_ == BorderStyle::Single ? 2 : 0; }

    Surface* surface_;
    BorderStyle borderStyle_ = BorderStyle::Single;
};

} // namespace forms
