#pragma once

#include <QObject>
#include <Qt>

#include <optional>

class QKeyEvent;

namespace forms {

class TWinControl;

// Hands a widget's key presses to its control before the widget sees them. A key that might be
// a shortcut (Alt+E for a button's "&Exit") reaches the control first as well, as it does on the
// platform: the handler sees it and may swallow it before the shortcut takes it.
class ControlEventFilter final : public QObject {
public:
    explicit ControlEventFilter(TWinControl* control);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Delivered {
        int key;
        Qt::KeyboardModifiers modifiers;
        quint32 scanCode;
        bool swallowed;
    };
    bool sameKey(const Delivered& d, const QKeyEvent& e) const;

    TWinControl* control_;
    // The key already handed over while Qt asked about shortcuts; its key press follows.
    std::optional<Delivered> delivered_;
};

} // namespace forms
