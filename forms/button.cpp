#include "forms/button.h"

#include <QPushButton>

namespace forms {

TButton::TButton(TComponent* owner)
    : TWinControl(owner)
    , button_(new QPushButton)
{
    button_->setAutoDefault(false);
    QObject::connect(button_, &QPushButton::clicked, [this] { click(); });
    setWidget(button_);
    setTabStop(true);
}

void TButton::textChanged()
{
    button_->setText(caption());
}

} // namespace forms
