#pragma once

#include "forms/alignment.h"
#include "forms/wincontrol.h"

namespace forms {

class Surface;

// A raised container with an optional caption; controls placed on it move and hide with it.
class TPanel : public TWinControl {
public:
    enum class Bevel { None, Lowered, Raised };

    explicit TPanel(TComponent* owner);

    bool acceptsControls() const override { return true; }

    TAlignment alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);
    Bevel bevelOuter() const { return bevelOuter_; }
    void setBevelOuter(Bevel bevel);
    Bevel bevelInner() const { return bevelInner_; }
    void setBevelInner(Bevel bevel);
    int bevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);

    void paint(QPainter& painter, const QRegion& dirty) override;

protected:
    void textChanged() override;

private:
    Surface* surface_;
    TAlignment alignment_ = TAlignment::Center;
    Bevel bevelOuter_ = Bevel::Raised;
    Bevel bevelInner_ = Bevel::None;
    int bevelWidth_ = 1;
};

} // namespace forms
