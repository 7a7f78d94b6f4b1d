#pragma once

#include "forms/wincontrol.h"

class QPushButton;

namespace forms {

// A push button; "&" in its caption marks the mnemonic letter (Alt+letter clicks it).
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    QPushButton* button() const { return button_; }

protected:
    void textChanged() override;

private:
    QPushButton* button_;
};

} // namespace forms
