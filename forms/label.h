#pragma once

#include "forms/graphiccontrol.h"

namespace forms {

// Text painted on the parent's surface. Opaque: the rectangle is filled with the parent's
// colour first. It keeps the size it was given until its caption or font first changes after
// loading; from then on it sizes itself to its text.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize) { autoSize_ = autoSize; }
    bool transparent() const { return transparent_; }
    void setTransparent(bool transparent);

    void paint(QPainter& painter) override;

    // The size the text needs in the label's font.
    QSize textExtent() const;

protected:
    void textChanged() override;
    void fontChanged() override;

private:
    void adjustBounds();

    bool autoSize_ = true;
    bool transparent_ = false;
};

} // namespace forms
