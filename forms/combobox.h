#pragma once

#include "forms/wincontrol.h"

#include <QStringList>

class QComboBox;

namespace forms {

// An editable drop-down box: the user picks an item or types up to 255 characters, and its text
// is whatever the edit field holds.
class TComboBox : public TWinControl {
public:
    static constexpr int maxTextLength = 255;

    explicit TComboBox(TComponent* owner);
    QComboBox* comboBox() const { return combo_; }

    QStringList items() const;
    void setItems(const QStringList& items);
    int itemHeight() const { return itemHeight_; }
    void setItemHeight(int height);

protected:
    void textChanged() override;
    QPalette::ColorRole colorRole() const override { return QPalette::Base; }

private:
    QComboBox* combo_;
    int itemHeight_ = 16;
};

} // namespace forms
