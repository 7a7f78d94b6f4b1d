#include "forms/surface.h"

#include "forms/wincontrol.h"

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

} // namespace forms
