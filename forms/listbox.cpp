#include "forms/listbox.h"

#include <QListWidget>

namespace forms {

TListBox::TListBox(TComponent* owner)
    : TWinControl(owner)
    , list_(new QListWidget)
{
    list_->setUniformItemSizes(true);
    setWidget(list_);
    setTabStop(true);
    setColor(colors::clWindow);
}

QStringList TListBox::items() const
{
    QStringList out;
    for (int i = 0; i < list_->count(); ++i)
        out << list_->item(i)->text();
    return out;
}

void TListBox::setItems(const QStringList& items)
{
    list_->clear();
    list_->addItems(items);
    setItemHeight(itemHeight_);
}

void TListBox::setItemHeight(int height)
{
    itemHeight_ = height;
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setSizeHint(QSize(0, height));
}

} // namespace forms
