#pragma once

#include "forms/wincontrol.h"

class QLineEdit;

namespace forms {

// A single-line edit field.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    QLineEdit* lineEdit() const { return edit_; }

    bool readOnly() const;
    void setReadOnly(bool readOnly);

protected:
    void textChanged() override;
    QPalette::ColorRole colorRole() const override { return QPalette::Base; }

private:
    QLineEdit* edit_;
};

} // namespace forms
