#pragma once

#include "tappit/tappitmain.h"
#include "testapplication.h"

#include <QApplication>
#include <QTest>

// Tappit on the test application, started as its entry starts it: the title, then the main
// window, shown and made the active window so that keys reach its focused control.
struct TappitApplication : TestApplication {
    TForm1* form = nullptr;

    // False when the window was not shown or did not become active.
    [[nodiscard]] bool startTappit()
    {
        app.initialize();
        app.setTitle(QStringLiteral("Tappit"));
        app.createForm(form);
        form->show();
        if (!QTest::qWaitForWindowExposed(form->widget()))
            return false;
        QApplication::setActiveWindow(form->widget());
        return QTest::qWaitForWindowActive(form->widget());
    }
};
