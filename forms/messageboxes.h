#pragma once

#include <QString>

namespace forms {

// The message boxes of the class library, behind an interface so that tests can record what
// would have been shown instead of blocking on a modal box.
class MessageBoxes {
public:
    enum Icon { NoIcon, Stop, Question, Warning, Information };
    enum Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum Result { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };

    virtual ~MessageBoxes() = default;

    // Modal for the whole application: its other windows take no input until it is answered.
    virtual int show(const QString& text, const QString& caption, Icon icon, Buttons buttons) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    int show(const QString& text, const QString& caption, Icon icon, Buttons buttons) override;
};

} // namespace forms
