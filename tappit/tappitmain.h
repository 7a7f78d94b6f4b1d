#pragma once

#include "forms/button.h"
#include "forms/checkbox.h"
#include "forms/combobox.h"
#include "forms/edit.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/listbox.h"
#include "forms/opendialog.h"
#include "forms/panel.h"
#include "forms/progressbar.h"
#include "forms/richedit.h"
#include "forms/timer.h"

#include <cstdint>
#include <string_view>

namespace forms {
class FormClass;
}

// Tappit's main window. Its controls are read from tappitmain.form; the members below receive
// them by name and the handlers are bound to their events by name.
class TForm1 : public forms::TForm {
public:
    explicit TForm1(forms::TComponent* owner);

    forms::TLabel* Label1 = nullptr;
    forms::TLabel* Label5 = nullptr;
    forms::TLabel* Label4 = nullptr;
    forms::TComboBox* EXP = nullptr;
    forms::TComboBox* EXP2 = nullptr;
    forms::TPanel* Panel5 = nullptr;
    forms::TRichEdit* RichEdit1 = nullptr;
    forms::TProgressBar* ProgressBar1 = nullptr;
    forms::TButton* Button1 = nullptr;
    forms::TButton* Button2 = nullptr;
    forms::TPanel* Panel1 = nullptr;
    forms::TLabel* Label2 = nullptr;
    forms::TLabel* Label3 = nullptr;
    forms::TLabel* Label6 = nullptr;
    forms::TLabel* Label7 = nullptr;
    forms::TEdit* RichEditx = nullptr;
    forms::TCheckBox* CheckBox1 = nullptr;
    forms::TButton* Button3 = nullptr;
    forms::TButton* Button4 = nullptr;
    forms::TPanel* Panel2 = nullptr;
    forms::TComboBox* PType = nullptr;
    forms::TEdit* RichEditx2 = nullptr;
    forms::TButton* Button5 = nullptr;
    forms::TButton* Button6 = nullptr;
    forms::TListBox* Code = nullptr;
    forms::TPanel* Panel3 = nullptr;
    forms::TPanel* Panel4 = nullptr;
    forms::TRichEdit* RichEdit = nullptr;
    forms::TProgressBar* ProgressBar2 = nullptr;
    forms::TTimer* Timer1 = nullptr;
    forms::TTimer* Timerp = nullptr;
    forms::TTimer* Timer2 = nullptr;
    forms::TTimer* Timer3 = nullptr;
    forms::TOpenDialog* OpenDialog = nullptr;

    // Exit: asks the application to end; the program stops once the loop takes the request.
    void Button2Click(forms::TObject* sender);
    // Browse buttons: load the file picked in OpenDialog into RichEdit1 and put its path into
    // the field beside the button.
    void Button5Click(forms::TObject* sender);
    void Button6Click(forms::TObject* sender);
    // The start-up load of SYC.ini; a failure leaves the timer on, so it is tried every second.
    void Timer3Timer(forms::TObject* sender);

    // The typing test. Any key the text area receives starts the one-minute clock; the tick
    // that finds the bar at 59 locks the area and shows the words typed.
    void StartTimer(forms::TObject* sender, std::uint16_t& key, forms::TShiftState shift);
    void IncrementBar(forms::TObject* sender);
    std::int32_t CalculateTappit();

    // Package step: copies Veltrassa to the destination field's path, then animates the bars.
    void Button3Click(forms::TObject* sender);
    void Timer2Timer(forms::TObject* sender);
    void TimerpTimer(forms::TObject* sender);
    // Reset: stops the animation and makes the package button copy again.
    void Button1Click(forms::TObject* sender);

    static const forms::FormClass& formClass();
    static std::string_view definition();

private:
    void browseInto(forms::TEdit* pathField);
};
