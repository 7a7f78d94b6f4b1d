#include "tappit/tappitmain.h"

#include "forms/application.h"
#include "forms/definition/formclass.h"
#include "forms/richeditloader.h"

extern "C" const unsigned char tappitmain_form[];
extern "C" const unsigned char tappitmain_form_end[];

using namespace forms;

TForm1::TForm1(TComponent* owner)
    : TForm(owner)
{
    readDefinition(definition(), formClass());
}

std::string_view TForm1::definition()
{
    return {reinterpret_cast<const char*>(tappitmain_form),
            std::size_t(tappitmain_form_end - tappitmain_form)};
}

const FormClass& TForm1::formClass()
{
    static const FormClass cls =
        FormClass(QStringLiteral("TForm1"))
            .field(QStringLiteral("Label1"), &TForm1::Label1)
            .field(QStringLiteral("Label5"), &TForm1::Label5)
            .field(QStringLiteral("Label4"), &TForm1::Label4)
            .field(QStringLiteral("EXP"), &TForm1::EXP)
            .field(QStringLiteral("EXP2"), &TForm1::EXP2)
            .field(QStringLiteral("Panel5"), &TForm1::Panel5)
            .field(QStringLiteral("RichEdit1"), &TForm1::RichEdit1)
            .field(QStringLiteral("ProgressBar1"), &TForm1::ProgressBar1)
            .field(QStringLiteral("Button1"), &TForm1::Button1)
            .field(QStringLiteral("Button2"), &TForm1::Button2)
            .field(QStringLiteral("Panel1"), &TForm1::Panel1)
            .field(QStringLiteral("Label2"), &TForm1::Label2)
            .field(QStringLiteral("Label3"), &TForm1::Label3)
            .field(QStringLiteral("Label6"), &TForm1::Label6)
            .field(QStringLiteral("Label7"), &TForm1::Label7)
            .field(QStringLiteral("RichEditx"), &TForm1::RichEditx)
            .field(QStringLiteral("CheckBox1"), &TForm1::CheckBox1)
            .field(QStringLiteral("Button3"), &TForm1::Button3)
            .field(QStringLiteral("Button4"), &TForm1::Button4)
            .field(QStringLiteral("Panel2"), &TForm1::Panel2)
            .field(QStringLiteral("PType"), &TForm1::PType)
            .field(QStringLiteral("RichEditx2"), &TForm1::RichEditx2)
            .field(QStringLiteral("Button5"), &TForm1::Button5)
            .field(QStringLiteral("Button6"), &TForm1::Button6)
            .field(QStringLiteral("Code"), &TForm1::Code)
            .field(QStringLiteral("Panel3"), &TForm1::Panel3)
            .field(QStringLiteral("Panel4"), &TForm1::Panel4)
            .field(QStringLiteral("RichEdit"), &TForm1::RichEdit)
            .field(QStringLiteral("ProgressBar2"), &TForm1::ProgressBar2)
            .field(QStringLiteral("Timer1"), &TForm1::Timer1)
            .field(QStringLiteral("Timerp"), &TForm1::Timerp)
            .field(QStringLiteral("Timer2"), &TForm1::Timer2)
            .field(QStringLiteral("Timer3"), &TForm1::Timer3)
            .field(QStringLiteral("OpenDialog"), &TForm1::OpenDialog)
            .handler(QStringLiteral("Button2Click"), &TForm1::Button2Click)
            .handler(QStringLiteral("Button5Click"), &TForm1::Button5Click)
            .handler(QStringLiteral("Button6Click"), &TForm1::Button6Click)
            .handler(QStringLiteral("Timer3Timer"), &TForm1::Timer3Timer);
    return cls;
}

void TForm1::Button2Click(TObject*)
{
    Application->terminate();
}

void TForm1::Button5Click(TObject*)
{
    browseInto(RichEditx);
}

void TForm1::Button6Click(TObject*)
{
    browseInto(RichEditx2);
}

void TForm1::browseInto(TEdit* pathField)
{
    if (!OpenDialog->execute())
        return;
    RichEditLoader::loadFromFile(*RichEdit1, OpenDialog->fileName());
    RichEdit1->setFocus();
    RichEdit1->setModified(false);
    RichEdit1->setReadOnly(OpenDialog->options() & TOpenDialog::ofReadOnly);
    pathField->setText(OpenDialog->fileName());
}

void TForm1::Timer3Timer(TObject*)
{
    OpenDialog->setFileName(QStringLiteral("SYC.ini"));
    RichEditLoader::loadFromFile(*RichEdit1, QStringLiteral("SYC.ini"));
    RichEditLoader::loadFromFile(*RichEdit1, QStringLiteral("SYC.ini"));
    RichEditx->setText(OpenDialog->fileName());
    Timer3->setEnabled(false);
}
