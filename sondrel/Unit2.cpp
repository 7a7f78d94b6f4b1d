#include "sondrel/Unit2.h"

#include "forms/definition/formclass.h"

extern "C" const unsigned char Unit2_form[];
extern "C" const unsigned char Unit2_form_end[];

using namespace forms;

TForm2::TForm2(TComponent* owner)
    : TForm(owner)
{
    readDefinition(definition(), formClass());
}

std::string_view TForm2::definition()
{
    return {reinterpret_cast<const char*>(Unit2_form), std::size_t(Unit2_form_end - Unit2_form)};
}

const FormClass& TForm2::formClass()
{
    static const FormClass cls = FormClass(QStringLiteral("TForm2"));
    return cls;
}
