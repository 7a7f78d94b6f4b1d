#include "tappit/tappitmain.h"
#include "tappit/wordcounter.h"
#include "tappitmain_form.h"

#include "forms/application.h"
#include "forms/definition/formclass.h"
#include "forms/richeditloader.h"
#include "platform/shellcopy/shellfileoperation.h"

using namespace forms;

TForm1::TForm1(TComponent* owner)
    : TForm(owner)
{
    readDefinition(definition(), formClass());
}

std::string_view TForm1::definition()
{
    return tappitmain_form_bytes();
}

const FormClass& TForm1::formClass()
{
    // One line a member or handler.
    // clang-format off
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
            .handler(QStringLiteral("StartTimer"), &TForm1::StartTimer)
            .handler(QStringLiteral("IncrementBar"), &TForm1::IncrementBar)
            .handler(QStringLiteral("Button3Click"), &TForm1::Button3Click)
            .handler(QStringLiteral("Timer2Timer"), &TForm1::Timer2Timer)
            .handler(QStringLiteral("TimerpTimer"), &TForm1::TimerpTimer)
            .handler(QStringLiteral("Button1Click"), &TForm1::Button1Click)
            .handler(QStringLiteral("Button5Click"), &TForm1::Button5Click)
            .handler(QStringLiteral("Button6Click"), &TForm1::Button6Click)
            .handler(QStringLiteral("Timer3Timer"), &TForm1::Timer3Timer);
    // clang-format on
    return cls;
}

void TForm1::Button2Click(TObject*)
{
    Application->terminate();
}

void TForm1::StartTimer(TObject*, std::uint16_t&, TShiftState)
{
    if (RichEdit1->readOnly())
        return;
    // Enabling a running clock leaves its next tick where it was, so typing never delays the end.
    Timer1->setEnabled(true);
    Label1->setCaption(QStringLiteral("Test Started"));
    Label1->font().setColor(colors::clGreen);
}

void TForm1::IncrementBar(TObject*)
{
    if (ProgressBar1->position() == 59) {
        Timer1->setEnabled(false);
        Label1->setCaption(QStringLiteral("Test Complete"));
        Label1->font().setColor(colors::clRed);
        RichEdit1->setReadOnly(true);
        Label2->setCaption(QString::number(CalculateTappit()) +
                           QStringLiteral(" Words Per Minute"));
    }
    ProgressBar1->stepIt();
}

std::int32_t TForm1::CalculateTappit()
{
    // Words are the maximal runs of ASCII letters and digits in the text as it is displayed,
    // each line cut to what the platform's line buffer held and ended by CR LF.
    constexpr int lineBuffer = 4096;
    WordCounter counter;
    RichEdit1->forEachDisplayedLine(lineBuffer, [&](QStringView line) {
        for (QChar c : line)
            counter.feed(c);
        counter.feed(u'\r');
        counter.feed(u'\n');
    });
    return counter.count();
}

void TForm1::Button3Click(TObject*)
{
    if (Button3->caption() == QStringLiteral("End")) {
        Application->terminate();
        close();
        Application->terminate();
        // A copy started now would race the end of the program and could be cut off half-way.
        return;
    }
    if (PType->text() != QStringLiteral("Export Files"))
        return;

    using shellcopy::FileOperationRequest;
    FileOperationRequest request;
    // The shell's dialogs belong to the application, not to this window.
    request.owner = Application;
    request.operation = FileOperationRequest::Copy;
    request.from = std::string("Veltrassa\0\0", 11);
    request.to = RichEditx2->text().toLocal8Bit().toStdString();
    request.to.append(2, '\0');
    request.flags = 0;
    // The shell reports its own failures; the animation runs whatever the outcome.
    shellcopy::ShellFileOperation::current().perform(request);

    Timerp->setEnabled(true);
    Timer2->setEnabled(true);
    Button3->setEnabled(false);
    Button3->setCaption(QStringLiteral("End"));
}

void TForm1::Timer2Timer(TObject*)
{
    // Each setting is clamped to the bar's range, so a bar at 90 or above ends the tick at 99.
    ProgressBar1->setPosition(ProgressBar1->position() + 1);
    ProgressBar1->setPosition(ProgressBar1->position() + 10);
    ProgressBar1->setPosition(ProgressBar1->position() - 1);
    ProgressBar2->setPosition(ProgressBar2->position() + 5);
    if (ProgressBar2->position() >= 100) {
        Timer2->setEnabled(false);
        ProgressBar1->setPosition(0);
    }
    Panel3->show();
}

void TForm1::TimerpTimer(TObject*)
{
    if (ProgressBar1->position() == 100)
        Button3->setEnabled(true);
}

void TForm1::Button1Click(TObject*)
{
    ProgressBar2->setPosition(0);
    Button3->setCaption(QStringLiteral("Uninstal ->>"));
    Timer2->setEnabled(false);
    Button3->setEnabled(true);
    ProgressBar1->setPosition(0);
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
