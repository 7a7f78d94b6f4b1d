#pragma once

#include "forms/control.h"

class QPainter;

namespace forms {

// A control without a window of its own: its parent paints it on its surface.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    ~TGraphicControl() override;

    // Paints in the control's own coordinates; the painter is clipped to its bounds.
    virtual void paint(QPainter& painter) = 0;

    // Asks the parent to repaint where this control lies.
    void invalidate();

    void setParent(TWinControl* parent) override;

protected:
    void boundsChanged() override;
    void visibleChanged() override { invalidate(); }
    void textChanged() override { invalidate(); }
    void fontChanged() override { invalidate(); }
    void colorChanged() override { invalidate(); }

private:
    QRect painted_;
};

} // namespace forms
