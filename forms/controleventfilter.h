#pragma once

#include <QObject>

namespace forms {

class TWinControl;

// Hands a widget's key presses to its control before the widget sees them.
class ControlEventFilter final : public QObject {
public:
    explicit ControlEventFilter(TWinControl* control);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TWinControl* control_;
};

} // namespace forms
