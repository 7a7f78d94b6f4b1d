// Tappit: a typing test with a package panel.

#include "forms/application.h"
#include "tappit/tappitmain.h"

TForm1* Form1 = nullptr;

int main(int argc, char** argv)
{
    try {
        forms::TApplication app(argc, argv);
        app.initialize();
        app.setTitle(QStringLiteral("Tappit"));
        app.createForm(Form1);
        app.run();
        return 0;
    } catch (const std::exception& e) {
        return forms::abnormalTermination(e);
    }
}
