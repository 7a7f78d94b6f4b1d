// Sondrel: a window holding an embedded sound object, and a second, empty window.

#include "forms/application.h"
#include "platform/ole/olesession.h"
#include "sondrel/Unit2.h"
#include "sondrel/auto1.h"

TForm1* Form1 = nullptr;
TForm2* Form2 = nullptr;

int main(int argc, char** argv)
{
    // The object-linking session spans the whole program, the application object included.
    platform::ole::OleSession ole;
    try {
        forms::TApplication app(argc, argv, {}, forms::TApplication::CommandLine::ServerSwitches);
        // The first moment the display can be asked; a registration run has none to ask.
        if (!app.registrationOnly())
            ole.readScreenResolution();
        app.initialize();
        app.createForm(Form1);
        app.createForm(Form2);
        app.run();
        return 0;
    } catch (const std::exception& e) {
        return forms::abnormalTermination(e);
    }
}
