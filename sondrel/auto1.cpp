#include "sondrel/auto1.h"
#include "auto1_form.h"

#include "forms/definition/formclass.h"
#include "platform/sound/soundplayer.h"
#include "sondrel/storedobject.h"

using namespace forms;
using platform::sound::SoundPlayer;

TForm1::TForm1(TComponent* owner)
    : TForm(owner)
    , soundPlayer_(&platform::sound::systemSoundPlayer())
{
    readDefinition(definition(), formClass());
}

std::string_view TForm1::definition()
{
    return auto1_form_bytes();
}

const FormClass& TForm1::formClass()
{
    static const FormClass cls =
        FormClass(QStringLiteral("TForm1"))
            .field(QStringLiteral("Label1"), &TForm1::Label1)
            .field(QStringLiteral("OleContainer1"), &TForm1::OleContainer1)
            .field(QStringLiteral("Timer1"), &TForm1::Timer1)
            .handler(QStringLiteral("Timer1Timer"), &TForm1::Timer1Timer)
            .linkedData(QStringLiteral("soundobject"), storedSoundObject());
    return cls;
}

void TForm1::Timer1Timer(TObject*)
{
    soundPlayer_->play("td.wav", SoundPlayer::Async);
    soundPlayer_->play("whistle.wav", SoundPlayer::Wait);
    soundPlayer_->play("E.wav", SoundPlayer::Wait);
    soundPlayer_->play("E.wav", SoundPlayer::Wait);
    soundPlayer_->play("E.wav", SoundPlayer::Wait);
}
