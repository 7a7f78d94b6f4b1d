#include "forms/checkbox.h"

#include <QCheckBox>

namespace forms {

TCheckBox::TCheckBox(TComponent* owner)
    : TWinControl(owner)
    , box_(new QCheckBox)
{
    QObject::connect(box_, &QCheckBox::clicked, [this] { click(); });
    setWidget(box_);
    setTabStop(true);
}

bool TCheckBox::checked() const
{
    return box_->isChecked();
}

void TCheckBox::setChecked(bool checked)
{
    box_->setChecked(checked);
}

void TCheckBox::textChanged()
{
    box_->setText(caption());
}

} // namespace forms
