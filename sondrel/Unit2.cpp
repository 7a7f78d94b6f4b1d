#include "sondrel/Unit2.h"
#include "Unit2_form.h"

#include "forms/definition/formclass.h"

using namespace forms;

TForm2::TForm2(TComponent* owner)
    : TForm(owner)
{
    readDefinition(definition(), formClass());
}

std::string_view TForm2::definition()
{
    return Unit2_form_bytes();
}

const FormClass& TForm2::formClass()
{
    static const FormClass cls = FormClass(QStringLiteral("TForm2"));
    return cls;
}
