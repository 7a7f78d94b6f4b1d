#include "forms/panel.h"

#include "forms/edge.h"
#include "forms/surface.h"

#include <QPainter>

namespace forms {

namespace {

void bevel(QPainter& p, QRect& r, TPanel::Bevel kind, int width)
{
    const QColor light = toQColor(colors::clBtnHighlight);
    const QColor dark = toQColor(colors::clBtnShadow);
    if (kind == TPanel::Bevel::Raised)
        drawEdge(p, r, light, dark, width);
    else if (kind == TPanel::Bevel::Lowered)
        drawEdge(p, r, dark, light, width);
}

} // namespace

TPanel::TPanel(TComponent* owner)
    : TWinControl(owner)
    , surface_(new Surface(this))
{
    setWidget(surface_);
    surface_->setFocusPolicy(Qt::NoFocus);
}

void TPanel::setAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    surface_->update();
}

void TPanel::setBevelOuter(Bevel bevel)
{
    bevelOuter_ = bevel;
    surface_->update();
}

void TPanel::setBevelInner(Bevel bevel)
{
    bevelInner_ = bevel;
    surface_->update();
}

void TPanel::setBevelWidth(int width)
{
    bevelWidth_ = std::max(1, width);
    surface_->update();
}

void TPanel::paint(QPainter& painter, const QRegion& dirty)
{
    QRect r(QPoint(0, 0), boundsRect().size());
    painter.fillRect(r, toQColor(color()));
    bevel(painter, r, bevelOuter_, bevelWidth_);
    bevel(painter, r, bevelInner_, bevelWidth_);
    if (!caption().isEmpty()) {
        Qt::Alignment align = Qt::AlignVCenter;
        switch (alignment_) {
        case TAlignment::LeftJustify:
            align |= Qt::AlignLeft;
            break;
        case TAlignment::RightJustify:
            align |= Qt::AlignRight;
            break;
        case TAlignment::Center:
            align |= Qt::AlignHCenter;
            break;
        }
        painter.setFont(font().toQFont());
        painter.setPen(toQColor(font().color()));
        painter.drawText(r, int(align) | Qt::TextSingleLine | Qt::TextShowMnemonic, caption());
    }
    paintControls(painter, dirty);
}

void TPanel::textChanged()
{
    surface_->update();
}

} // namespace forms
