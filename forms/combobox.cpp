#include "forms/combobox.h"

#include <QComboBox>
#include <QLineEdit>

namespace forms {

TComboBox::TComboBox(TComponent* owner)
    : TWinControl(owner)
    , combo_(new QComboBox)
{
    // An edit field makes the box editable, as setEditable(true) would; that one also builds the
    // drop-down list's window at once, which Qt otherwise makes when the list first opens.
    auto* edit = new QLineEdit;
    edit->setPalette(combo_->palette());
    combo_->setLineEdit(edit);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->lineEdit()->setMaxLength(maxTextLength);
    QObject::connect(combo_, &QComboBox::editTextChanged, [this](const QString& t) { setText(t); });
    // Keys reach the box first; it passes them to its edit field itself.
    setWidget(combo_);
    setTabStop(true);
    setColor(colors::clWindow);
}

QStringList TComboBox::items() const
{
    QStringList out;
    for (int i = 0; i < combo_->count(); ++i)
        out << combo_->itemText(i);
    return out;
}

void TComboBox::setItems(const QStringList& items)
{
    // Replacing the list must not replace what the edit field holds.
    const QString keep = text();
    combo_->clear();
    combo_->addItems(items);
    setItemHeight(itemHeight_);
    combo_->setEditText(keep);
}

void TComboBox::setItemHeight(int height)
{
    itemHeight_ = height;
    for (int i = 0; i < combo_->count(); ++i)
        combo_->setItemData(i, QSize(0, height), Qt::SizeHintRole);
}

void TComboBox::textChanged()
{
    if (combo_->currentText() != text())
        combo_->setEditText(text().left(maxTextLength));
}

} // namespace forms
