#pragma once

#include "forms/form.h"
#include "forms/label.h"
#include "forms/olecontainer.h"
#include "forms/timer.h"

#include <string_view>

namespace forms {
class FormClass;
}
namespace platform::sound {
class SoundPlayer;
}

// Sondrel's main window. Its controls are read from auto1.form; the members below receive them
// by name and the handlers are bound to their events by name.
class TForm1 : public forms::TForm {
public:
    explicit TForm1(forms::TComponent* owner);

    forms::TLabel* Label1 = nullptr;
    forms::TOleContainer* OleContainer1 = nullptr;
    forms::TTimer* Timer1 = nullptr;

    // The sound sequence: a short sound in the background, then four sounds played to their end
    // one after the other, holding up the window meanwhile. Whether a sound played is of no
    // consequence to the window.
    void Timer1Timer(forms::TObject* sender);

    // Where the sounds go; the system's sound output unless replaced (by tests).
    void setSoundPlayer(platform::sound::SoundPlayer& player) { soundPlayer_ = &player; }

    static const forms::FormClass& formClass();
    static std::string_view definition();

private:
    platform::sound::SoundPlayer* soundPlayer_;
};
