#pragma once

#include "forms/wincontrol.h"

#include <QStringList>

class QListWidget;

namespace forms {

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    QListWidget* listWidget() const { return list_; }

    QStringList items() const;
    void setItems(const QStringList& items);
    int itemHeight() const { return itemHeight_; }
    void setItemHeight(int height);

protected:
    QPalette::ColorRole colorRole() const override { return QPalette::Base; }

private:
    QListWidget* list_;
    int itemHeight_ = 13;
};

} // namespace forms
