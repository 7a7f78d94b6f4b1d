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

void TLabel::loaded()
{
    sizeArmed_ = true;
}

QSize TLabel::textExtent() const
{
    QString shown = caption();
    shown.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    shown.remove(u'&');
    shown.replace(u'\x01', u'&');
    const QFontMetrics fm(font().toQFont());
    return {fm.horizontalAdvance(shown), fm.height()};
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
    if (!autoSize_ || !sizeArmed_ || isLoading())
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
