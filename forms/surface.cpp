#include "forms/surface.h"

#include "forms/keys.h"
#include "forms/wincontrol.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace forms {

Surface::Surface(TWinControl* control, QWidget* parent)
    : QWidget(parent)
    , control_(control)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Surface::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // The region leaves out opaque child windows, so labels they cover cost nothing to paint.
    control_->paint(painter, event->region());
}

void Surface::mousePressEvent(QMouseEvent* event)
{
    control_->mouseDown(event->button(), shiftStateFromQt(event->modifiers()),
                        event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void Surface::mouseReleaseEvent(QMouseEvent* event)
{
    control_->mouseUp(event->button(), shiftStateFromQt(event->modifiers()),
                      event->position().toPoint());
    QWidget::mouseReleaseEvent(event);
}

void Surface::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click is a press as well, as on the platform.
    control_->mouseDown(event->button(), shiftStateFromQt(event->modifiers()),
                        event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        control_->doubleClick();
    QWidget::mouseDoubleClickEvent(event);
}

void Surface::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    control_->focusChanged();
}

void Surface::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    control_->focusChanged();
}

} // namespace forms
