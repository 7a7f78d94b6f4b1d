#include "forms/opendialog.h"

namespace forms {

TOpenDialog::TOpenDialog(TComponent* owner)
    : TComponent(owner)
{}

} // namespace forms
