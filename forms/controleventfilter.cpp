#include "forms/controleventfilter.h"

#include "forms/keys.h"
#include "forms/wincontrol.h"

#include <QKeyEvent>

namespace forms {

ControlEventFilter::ControlEventFilter(TWinControl* control)
    : control_(control)
{}

bool ControlEventFilter::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (control_->keyMovesFocus(key->key(), key->modifiers()))
        return false;
    std::uint16_t vk = virtualKeyFromQt(key->key(), key->nativeVirtualKey());
    return !control_->keyDown(vk, shiftStateFromQt(key->modifiers()));
}

} // namespace forms
