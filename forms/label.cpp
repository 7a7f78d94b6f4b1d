#include "forms/label.h"

#include <QFontMetrics>
#include <QPainter>

namespace forms {

TLabel::TLabel(TComponent* owner)
    : TGraphicControl(owner)
{
    setParentColor(true);
}

void TLabel::setTransparent(bool transparent)
{
    transparent_ = transparent;
    invalidate();
}

QSize TLabel::textExtent() const
{
    // An empty caption still takes the height of a line and the width of a blank.
    const QString text = caption().isEmpty() ? QStringLiteral(" ") : caption();
    return QFontMetrics(font().toQFont()).size(Qt::TextShowMnemonic, text);
}

void TLabel::paint(QPainter& painter)
{
    const QRect r(QPoint(0, 0), boundsRect().size());
    if (!transparent_)
        painter.fillRect(r, toQColor(color()));
    painter.setFont(font().toQFont());
    painter.setPen(enabled() ? toQColor(font().color()) : toQColor(colors::clGrayText));
    painter.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, caption());
}

void TLabel::adjustBounds()
{
    // While its window is read, a label keeps the size its definition gives it.
    if (!autoSize_ || isLoading())
        return;
    const QSize s = textExtent();
    setBounds(left(), top(), s.width(), s.height());
}

void TLabel::textChanged()
{
    adjustBounds();
    TGraphicControl::textChanged();
}

void TLabel::fontChanged()
{
    adjustBounds();
    TGraphicControl::fontChanged();
}

} // namespace forms
