#pragma once

#include "forms/popupmenus.h"

#include <QPoint>

#include <deque>
#include <vector>

// Answers pop-up menus from a script instead of showing them, and records each menu's items.
// With the script used up, the menu is dismissed without a choice.
class ScriptedPopupMenus final : public forms::PopupMenus {
public:
    int popup(const std::vector<QString>& items, const QPoint& globalPos, QWidget*) override
    {
        shown.push_back({items, globalPos});
        if (choices.empty())
            return -1;
        const int next = choices.front();
        choices.pop_front();
        return next;
    }

    struct Shown {
        std::vector<QString> items;
        QPoint globalPos;
    };
    std::deque<int> choices; // item indexes; -1 dismisses
    std::vector<Shown> shown;
};
