#include "forms/application.h"
#include "forms/dispatch.h"
#include "forms/exception.h"
#include "forms/virtualtime.h"
#include "qtprinters.h"
#include "testapplication.h"
#include "testform.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace forms;

namespace {

struct ApplicationFixture : ::testing::Test, TestApplication {
    TTestForm* form = nullptr;

    void SetUp() override { app.setTitle(QStringLiteral("Tappit")); }

    void createForm(const std::string& body = "")
    {
        struct Form : TTestForm {
            explicit Form(TComponent* owner)
                : TTestForm(owner, definition())
            {}
            static std::string& definition()
            {
                static std::string text;
                return text;
            }
        };
        Form::definition() = "object Form1: TTestForm\n" + body + "end\n";
        Form* created = nullptr;
        app.createForm(created);
        form = created;
    }
};

TEST_F(ApplicationFixture, FirstFormCreatedIsTheMainWindowAndRunShowsIt)
{
    createForm();
    EXPECT_EQ(app.mainForm(), form);
    EXPECT_FALSE(form->widget()->isVisible()) << "created hidden";

    bool visibleInLoop = false;
    QTimer::singleShot(0, [&] {
        visibleInLoop = form->widget()->isVisible();
        app.terminate();
    });
    app.run();
    EXPECT_TRUE(visibleInLoop);
}

TEST_F(ApplicationFixture, TerminateOnlyPostsTheRequest)
{
    createForm();
    std::vector<std::string> steps;
    QTimer::singleShot(0, [&] {
        dispatch([&] {
            app.terminate();
            steps.push_back("handler ran on");
        });
        steps.push_back("back in the loop");
    });
    app.run();
    steps.push_back("loop ended");
    EXPECT_TRUE(app.terminated());
    EXPECT_EQ(steps,
              (std::vector<std::string>{"handler ran on", "back in the loop", "loop ended"}));
}

TEST_F(ApplicationFixture, TerminateBeforeTheLoopEndsItAtOnce)
{
    createForm();
    app.terminate();
    app.run(); // returns instead of waiting for events
    EXPECT_TRUE(app.terminated());
}

TEST_F(ApplicationFixture, ClosingTheMainWindowEndsTheProgram)
{
    createForm();
    QTimer::singleShot(0, [&] { form->widget()->close(); });
    app.run();
    EXPECT_TRUE(app.terminated());
}

TEST_F(ApplicationFixture, ClosingAnotherWindowOnlyHidesIt)
{
    createForm();
    TTestForm second(&app, "object Form2: TTestForm\n  Visible = True\nend\n");
    EXPECT_TRUE(second.widget()->isVisible()) << "a visible definition shows as it is read";
    second.widget()->close();
    EXPECT_FALSE(second.widget()->isVisible());
    EXPECT_FALSE(app.terminated());
}

TEST_F(ApplicationFixture, DestroyingTheApplicationDestroysFormsAndControls)
{
    createForm("  object Button1: TButton\n  end\n");
    QPointer<QWidget> window = form->widget();
    QPointer<QWidget> button =
        dynamic_cast<TWinControl*>(form->findComponent(QStringLiteral("Button1")))->widget();
    app.destroyForms();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(button.isNull());
    EXPECT_EQ(app.mainForm(), nullptr);
}

struct BoxCase {
    const char* name;
    const char* message;
    const char* shown;
};

void PrintTo(const BoxCase& c, std::ostream* os)
{
    *os << c.name;
}

class ErrorBox : public ApplicationFixture, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(ErrorBox, ShowsTheMessageWithAFullStopCaptionedWithTheTitle)
{
    app.handleException(Exception(QString::fromUtf8(GetParam().message)));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.toStdString(), GetParam().shown);
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("Tappit"));
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Stop);
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorBox,
    ::testing::Values(BoxCase{"Message", "Datei SYC.ini kann nicht geöffnet werden",
                              "Datei SYC.ini kann nicht geöffnet werden."},
                      // The full stop is always added, even after one.
                      BoxCase{"EndsWithAFullStop", "Schon mit Punkt.", "Schon mit Punkt.."},
                      BoxCase{"Empty", "", "."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplicationFixture, AFailingHandlerIsReportedAndTheProgramCarriesOn)
{
    createForm("  object Button1: TButton\n    Width = 75\n    Height = 25\n    OnClick = "
               "Clicked\n  end\n");
    form->show();
    auto* button = dynamic_cast<TButton*>(form->findComponent(QStringLiteral("Button1")));
    int clicks = 0;
    button->onClick = [&](TObject*) {
        ++clicks;
        if (clicks == 1)
            throw Exception(QStringLiteral("Erster Klick"));
        if (clicks == 2)
            throw std::runtime_error("zweiter Klick");
    };
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(button->widget(), Qt::LeftButton);
    EXPECT_EQ(clicks, 3);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Erster Klick."));
    EXPECT_EQ(boxes.shown[1].text, QStringLiteral("zweiter Klick."));
}

TEST_F(ApplicationFixture, FailuresOfAnyKindAreReportedAndABrokenBoxBlocksNoLaterOnes)
{
    dispatch([] { throw 42; });
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Unbekannter Fehler."));

    boxes.whileOpen = [] { throw std::runtime_error("box failed"); };
    EXPECT_THROW(app.handleException(Exception(QStringLiteral("a"))), std::runtime_error);
    boxes.whileOpen = nullptr;
    app.handleException(Exception(QStringLiteral("b")));
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("b."));
}

TEST_F(ApplicationFixture, AReportArrivingWhileOneIsOpenIsNotStacked)
{
    boxes.whileOpen = [&] { app.handleException(Exception(QStringLiteral("zweite"))); };
    app.handleException(Exception(QStringLiteral("erste")));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("erste."));
    EXPECT_FALSE(app.isReporting());
}

} // namespace
