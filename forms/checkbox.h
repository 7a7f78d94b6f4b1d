#pragma once

#include "forms/wincontrol.h"

class QCheckBox;

namespace forms {

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    QCheckBox* checkBox() const { return box_; }

    bool checked() const;
    void setChecked(bool checked);

protected:
    void textChanged() override;

private:
    QCheckBox* box_;
};

} // namespace forms
