#include "forms/controleventfilter.h"

#include "forms/keys.h"
#include "forms/wincontrol.h"

#include <QKeyEvent>
#include <QPointer>

namespace forms {

ControlEventFilter::ControlEventFilter(TWinControl* control)
    : control_(control)
{}

bool ControlEventFilter::sameKey(const Delivered& d, const QKeyEvent& e) const
{
    return d.key == e.key() && d.modifiers == e.modifiers() && d.scanCode == e.nativeScanCode();
}

bool ControlEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (control_->keyMovesFocus(key->key(), key->modifiers()))
        return false;

    if (type == QEvent::KeyPress && delivered_ && sameKey(*delivered_, *key)) {
        const bool swallowed = delivered_->swallowed;
        delivered_.reset();
        return swallowed || control_->keyDefault(*key);
    }
    delivered_.reset();

    // The handler may destroy the control, and this filter with it.
    QPointer<QObject> alive(watched);
    std::uint16_t vk = virtualKeyFromQt(key->key(), key->nativeScanCode());
    const bool passed = control_->keyDown(vk, shiftStateFromQt(key->modifiers()));
    if (!alive)
        return true;

    if (type == QEvent::ShortcutOverride) {
        delivered_ = Delivered{key->key(), key->modifiers(), key->nativeScanCode(), !passed};
        if (!passed)
            key->accept(); // the control claims the key, so no shortcut takes it
        return false;
    }
    if (!passed)
        return true;
    return control_->keyDefault(*key);
}

} // namespace forms
