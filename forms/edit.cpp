#include "forms/edit.h"

#include <QLineEdit>

namespace forms {

TEdit::TEdit(TComponent* owner)
    : TWinControl(owner)
    , edit_(new QLineEdit)
{
    // What the user types is the control's text at once, as handlers read it.
    QObject::connect(edit_, &QLineEdit::textEdited, [this](const QString& t) { setText(t); });
    setWidget(edit_);
    setTabStop(true);
    setColor(colors::clWindow);
}

bool TEdit::readOnly() const
{
    return edit_->isReadOnly();
}

void TEdit::setReadOnly(bool readOnly)
{
    edit_->setReadOnly(readOnly);
}

void TEdit::textChanged()
{
    if (edit_->text() != text())
        edit_->setText(text());
}

} // namespace forms
