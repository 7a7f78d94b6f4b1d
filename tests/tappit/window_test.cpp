#include "forms/application.h"
#include "forms/virtualtime.h"
#include "qtprinters.h"
#include "tappit/tappitmain.h"
#include "tappitapplication.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

using namespace forms;

namespace {

// The real window, built from its definition, on virtual time and with recorded boxes.
struct TappitWindow : ::testing::Test, TappitApplication {
    void SetUp() override { ASSERT_TRUE(startTappit()); }

    // The control whose window holds the keyboard focus.
    QString focusedControl() const
    {
        for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
            for (TComponent* c : form->components()) {
                auto* wc = dynamic_cast<TWinControl*>(c);
                if (wc && wc->widget() == w)
                    return c->name();
            }
        }
        return QStringLiteral("(none)");
    }

    // The control a person reaches by pointing at a spot of the client area.
    QString controlAt(QPoint p) const
    {
        QWidget* hit = form->widget()->childAt(p);
        for (QWidget* w = hit; w; w = w->parentWidget()) {
            for (TComponent* c : form->components()) {
                auto* wc = dynamic_cast<TWinControl*>(c);
                if (wc && wc->widget() == w)
                    return c->name();
            }
        }
        return QStringLiteral("(window)");
    }
};

TEST_F(TappitWindow, IsTheFixedWindowOfTheDefinition)
{
    QWidget* w = form->widget();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("#-Package"));
    EXPECT_EQ(w->pos(), QPoint(265, 151));
    EXPECT_EQ(w->size(), QSize(476, 344));
    EXPECT_EQ(w->minimumSize(), QSize(476, 344)) << "not resizable";
    EXPECT_EQ(w->maximumSize(), QSize(476, 344));
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(w->windowIcon().isNull());
    EXPECT_EQ(w->windowIcon().availableSizes().value(0), QSize(32, 32));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Tappit"));
}

struct Placement {
    const char* name;
    QRect geometry;
    bool visible;
    bool enabled;
    const char* text;
};

TEST_F(TappitWindow, EveryControlHasItsPlaceTextAndState)
{
    const std::vector<Placement> table = {
        {"Label1", {16, 280, 248, 24}, true, true, "Start typing to begin test"},
        {"Label5", {8, 328, 132, 13}, true, true, nullptr},
        {"Label4", {16, 16, 44, 20}, true, true, "Type:"},
        {"EXP", {72, 16, 73, 21}, true, true, "EXP"},
        {"EXP2", {152, 16, 121, 21}, true, true, "Recycling"},
        {"Panel5", {8, 8, 457, 33}, true, true, ""},
        {"RichEdit1", {16, 56, 441, 209}, true, true, ""},
        {"ProgressBar1", {16, 312, 441, 13}, true, true, ""},
        {"Button1", {304, 16, 75, 25}, true, true, "&Reset"},
        {"Button2", {384, 16, 75, 25}, true, true, "&Exit"},
        {"Panel1", {16, 48, 449, 257}, true, true, ""},
        {"Label2", {0, 0, 78, 24}, true, true, "Package:"},
        {"Label3", {16, 56, 60, 13}, true, true, "Export Files :"},
        {"Label6", {16, 32, 73, 13}, true, true, "Package Type:"},
        {"Label7", {16, 104, 44, 13}, true, true, "Export in:"},
        {"RichEditx", {16, 72, 361, 21}, true, true, "Veltrasa Code 15 at 100% 0*"},
        {"CheckBox1", {16, 152, 401, 17}, true, false, "Copy Data Files"},
        {"Button3", {352, 216, 75, 25}, true, true, "Package ->>"},
        {"Button4", {264, 216, 75, 25}, true, false, "<<- Return"},
        {"Panel2", {256, 152, 185, 41}, false, true, ""},
        {"PType", {104, 32, 97, 21}, true, true, "Export Files"},
        {"RichEditx2", {16, 120, 361, 21}, true, true, "C:\\\\Destination\\\\"},
        {"Button5", {376, 72, 33, 17}, true, false, "->"},
        {"Button6", {376, 120, 33, 17}, true, true, "->"},
        {"Code", {176, 16, 121, 17}, false, true, ""},
        {"Panel3", {8, 144, 457, 113}, false, true, "Copy State: OK"},
        {"Panel4", {0, 0, 457, 25}, true, true, " #- Copy Package"},
        {"RichEdit", {112, 0, 185, 89}, false, true, ""},
        {"ProgressBar2", {32, 272, 233, 17}, true, true, ""},
    };
    std::vector<QString> seen;
    for (TComponent* c : form->components()) {
        if (dynamic_cast<TControl*>(c))
            seen.push_back(c->name());
    }
    ASSERT_EQ(seen.size(), table.size()) << "every control, in definition order";
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Placement& p = table[i];
        SCOPED_TRACE(p.name);
        EXPECT_EQ(seen[i], QString::fromLatin1(p.name));
        auto* c = dynamic_cast<TControl*>(form->findComponent(QString::fromLatin1(p.name)));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->boundsRect(), p.geometry);
        EXPECT_EQ(c->visible(), p.visible);
        EXPECT_EQ(c->enabled(), p.enabled);
        if (p.text) {
            EXPECT_EQ(c->caption(), QString::fromUtf8(p.text));
        }
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            EXPECT_EQ(w->widget()->geometry(), p.geometry);
            EXPECT_EQ(w->widget()->isVisibleTo(form->widget()),
                      p.visible && w->parent()->visible());
        }
    }
    EXPECT_EQ(form->RichEditx2->text().size(), 17);
    EXPECT_EQ(form->RichEdit->plainText(), QStringLiteral("RichEdit"));
    EXPECT_TRUE(form->CheckBox1->checked());
    EXPECT_EQ(form->EXP->items(),
              (QStringList{QStringLiteral("EXP"), QStringLiteral("UNI Style")}));
    EXPECT_EQ(form->EXP2->items(),
              (QStringList{QStringLiteral("Recycling"), QStringLiteral("Delete_Data")}));
    EXPECT_EQ(form->PType->items(), QStringList{QStringLiteral("Export Files")});
    EXPECT_EQ(form->Label2->parent(), form->Panel1);
    EXPECT_EQ(form->Panel4->parent(), form->Panel3);
}

TEST_F(TappitWindow, ProgressBarsAndTimersAreSetUpAsDefined)
{
    EXPECT_EQ(form->ProgressBar1->min(), 0);
    EXPECT_EQ(form->ProgressBar1->max(), 100);
    EXPECT_EQ(form->ProgressBar1->step(), 1);
    EXPECT_EQ(form->ProgressBar2->step(), 10);
    struct TimerCase {
        TTimer* timer;
        bool enabled;
        unsigned interval;
    };
    for (const TimerCase& t : {TimerCase{form->Timer1, false, 1000},
                               {form->Timerp, false, 1000},
                               {form->Timer2, false, 100},
                               {form->Timer3, true, 1000}}) {
        SCOPED_TRACE(t.timer->name().toStdString());
        EXPECT_EQ(t.timer->enabled(), t.enabled);
        EXPECT_EQ(t.timer->interval(), t.interval);
    }
    EXPECT_EQ(form->OpenDialog->filter(), QStringLiteral("Cab Files (*.Cab) Default (*.*)|*.*"));
    EXPECT_EQ(form->OpenDialog->options(), 0u);
}

struct FontCase {
    const char* control;
    int pixelSize;
    bool bold;
    bool underline;
};

TEST_F(TappitWindow, FontsResolveToInstalledFacesOfTheDefinedSize)
{
    for (const FontCase& f : {FontCase{"Label1", 21, true, false},
                              {"Label4", 16, true, false},
                              {"Label2", 19, false, true},
                              {"Label3", 11, false, false},
                              {"RichEdit1", 16, false, false},
                              {"Button5", 16, true, false},
                              {"Button2", 11, false, false}}) {
        SCOPED_TRACE(f.control);
        auto* c = dynamic_cast<TControl*>(form->findComponent(QString::fromLatin1(f.control)));
        const QFont font = c->font().toQFont();
        const QFontInfo info(font);
        EXPECT_EQ(info.family(), QStringLiteral("Liberation Sans"))
            << "fonts-liberation installed?";
        EXPECT_EQ(info.pixelSize(), f.pixelSize);
        EXPECT_EQ(info.bold(), f.bold);
        EXPECT_EQ(font.underline(), f.underline);
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            EXPECT_EQ(w->widget()->font().pixelSize(), f.pixelSize);
        }
    }
    // The stored label sizes were made for the old face: its captions must fit them.
    for (TLabel* l : {form->Label3, form->Label6, form->Label7, form->Label5})
        EXPECT_LE(l->textExtent().width(), l->width()) << l->caption().toStdString();
}

TEST_F(TappitWindow, DisabledControlsShowGreyTextWhateverTheirFontColour)
{
    // Button5 has a black font of its own; Button4 inherits the window's text colour.
    for (TButton* b : {form->Button5, form->Button4}) {
        const QPalette pal = b->button()->palette();
        EXPECT_NE(pal.color(QPalette::Disabled, QPalette::ButtonText),
                  pal.color(QPalette::Active, QPalette::ButtonText))
            << b->name().toStdString();
    }
}

TEST_F(TappitWindow, WhatAPersonCanPointAtFollowsTheStacking)
{
    struct Hit {
        QPoint at;
        const char* control;
    };
    for (const Hit& h : {Hit{{421, 28}, "Button2"},       // above Panel5
                         Hit{{100, 28}, "Panel5"},        // covers EXP
                         Hit{{30, 25}, "Panel5"},         // covers Label4
                         Hit{{236, 160}, "Panel1"},       // covers RichEdit1
                         Hit{{30, 290}, "Panel1"},        // covers Label1
                         Hit{{100, 280}, "ProgressBar2"}, // above Panel1
                         Hit{{100, 318}, "ProgressBar1"}, Hit{{400, 275}, "Button3"},
                         Hit{{20, 335}, "(window)"}}) { // Label5 is painted by the window
        EXPECT_EQ(controlAt(h.at), QString::fromLatin1(h.control)) << h.at.x() << "," << h.at.y();
    }
}

TEST_F(TappitWindow, TypingAtStartGoesIntoTheHiddenTextArea)
{
    EXPECT_EQ(focusedControl(), QStringLiteral("RichEdit1"));
    QWindow* window = form->widget()->windowHandle();
    for (char ch : std::string("hi there"))
        QTest::keyClick(window, ch);
    EXPECT_EQ(form->RichEdit1->plainText(), QStringLiteral("hi there"));
}

TEST_F(TappitWindow, TabVisitsTheControlsInTabOrder)
{
    QWindow* window = form->widget()->windowHandle();
    std::vector<QString> visited{focusedControl()};
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(window, Qt::Key_Tab);
        visited.push_back(focusedControl());
    }
    const std::vector<QString> expected = {"RichEdit1", "Button1", "Button2",    "RichEditx",
                                           "Button3",   "PType",   "RichEditx2", "Button6",
                                           "EXP",       "EXP2",    "RichEdit1"};
    EXPECT_EQ(visited, expected);
}

TEST_F(TappitWindow, ExitEndsTheProgramWithoutAPrompt)
{
    QTimer::singleShot(0, [this] { QTest::mouseClick(form->Button2->button(), Qt::LeftButton); });
    app.run();
    EXPECT_TRUE(app.terminated());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(TappitWindow, AltEClicksExit)
{
    QTest::keyClick(form->widget()->windowHandle(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(form->Button2->button()->isDown()) << "the mnemonic pressed Exit";
    EXPECT_EQ(form->RichEdit1->plainText(), QString()) << "Alt+E is the button's, not text";
    app.run(); // ends when the click has been delivered
    EXPECT_TRUE(app.terminated());
}

} // namespace
