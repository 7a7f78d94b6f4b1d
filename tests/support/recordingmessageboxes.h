#pragma once

#include "forms/messageboxes.h"

#include <functional>
#include <vector>

// Records every box instead of showing it; a box can run code while it is "open", as a real
// modal box runs the event loop.
class RecordingMessageBoxes final : public forms::MessageBoxes {
public:
    struct Shown {
        QString text;
        QString caption;
        Icon icon;
        Buttons buttons;
    };

    int show(const QString& text, const QString& caption, Icon icon, Buttons buttons) override
    {
        shown.push_back({text, caption, icon, buttons});
        if (whileOpen)
            whileOpen();
        return IdOk;
    }

    std::vector<Shown> shown;
    std::function<void()> whileOpen;
};
