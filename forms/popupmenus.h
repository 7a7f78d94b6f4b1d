#pragma once

#include <QPoint>
#include <QString>

#include <vector>

class QWidget;

namespace forms {

// Pop-up menus, behind an interface so that tests can script the choice instead of blocking on
// the menu's own message loop.
class PopupMenus {
public:
    virtual ~PopupMenus() = default;

    // Shows `items` (with '&' before an access key) at `globalPos` and returns once the menu
    // closes: the index of the chosen item, or -1 when none was chosen. Timers and other events
    // go on meanwhile.
    virtual int popup(const std::vector<QString>& items, const QPoint& globalPos,
                      QWidget* owner) = 0;
};

class QtPopupMenus final : public PopupMenus {
public:
    int popup(const std::vector<QString>& items, const QPoint& globalPos, QWidget* owner) override;
};

} // namespace forms
