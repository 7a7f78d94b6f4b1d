#include "forms/application.h"
#include "forms/virtualtime.h"
#include "platform/sound/soundplayer.h"
#include "qtprinters.h"
#include "sondrel/Unit2.h"
#include "sondrel/auto1.h"
#include "testapplication.h"
#include "tools/soundobject/picture.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace forms;
using namespace std::chrono_literals;

namespace {

// Records every sound asked for instead of playing it, and answers as told.
class RecordingSoundPlayer final : public platform::sound::SoundPlayer {
public:
    bool play(std::string_view name, unsigned flags) override
    {
        played.emplace_back(std::string(name), flags);
        return result;
    }

    std::vector<std::pair<std::string, unsigned>> played;
    bool result = true;
};

// Which top-level windows were shown, in order.
class ShowRecorder final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* w = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && w && w->isWindow())
            shown.push_back(w);
        return false;
    }
    std::vector<QWidget*> shown;
};

// Both windows as the program creates them, on virtual time and with recorded boxes and sounds.
struct SondrelWindows : ::testing::Test, TestApplication {
    TForm1* form1 = nullptr;
    TForm2* form2 = nullptr;
    RecordingSoundPlayer sounds;
    ShowRecorder showing;

    void SetUp() override
    {
        qApp->installEventFilter(&showing);
        app.initialize();
        app.createForm(form1);
        form1->setSoundPlayer(sounds);
        app.createForm(form2);
    }
    void TearDown() override { qApp->removeEventFilter(&showing); }

    // Runs the message loop until `then` has run and asked the program to end.
    void runThen(std::function<void()> then)
    {
        QTimer::singleShot(0, [this, then] {
            then();
            app.terminate();
        });
        app.run();
    }
};

TEST_F(SondrelWindows, Form2ShowsAsItIsCreatedAndTheMainWindowWhenTheLoopRuns)
{
    EXPECT_EQ(app.mainForm(), form1);
    EXPECT_FALSE(form1->widget()->isVisible()) << "the main window waits for the loop";
    EXPECT_TRUE(form2->widget()->isVisible()) << "shown at the end of its own creation";

    bool bothVisible = false;
    runThen([&] { bothVisible = form1->widget()->isVisible() && form2->widget()->isVisible(); });
    EXPECT_TRUE(bothVisible);
    const std::vector<QWidget*> order = {form2->widget(), form1->widget()};
    EXPECT_EQ(showing.shown, order) << "the main window comes up last, above Form2";
}

struct WindowCase {
    const char* caption;
    QPoint position;
    QSize outer;
    QSize client;
};

TEST_F(SondrelWindows, BothAreSizeableWindowsPlacedAsDefined)
{
    const std::pair<TForm*, WindowCase> table[] = {
        {form1, {"T Tonmira", {253, 271}, {554, 231}, {546, 197}}},
        {form2, {"Form2", {354, 295}, {435, 300}, {427, 266}}},
    };
    for (const auto& [form, c] : table) {
        SCOPED_TRACE(c.caption);
        QWidget* w = form->widget();
        EXPECT_EQ(w->windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(w->pos(), c.position);
        EXPECT_EQ(QSize(form->width(), form->height()), c.outer);
        EXPECT_EQ(w->size(), c.client);
        EXPECT_EQ(w->minimumSize(), QSize(0, 0)) << "sizeable";
        EXPECT_EQ(w->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        for (auto hint : {Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
                          Qt::WindowMaximizeButtonHint, Qt::WindowCloseButtonHint})
            EXPECT_TRUE(w->windowFlags() & hint) << hint;
        EXPECT_EQ(form->font().name(), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(form->font().height(), -11);
    }
    EXPECT_EQ(form1->widget()->windowIcon().availableSizes().value(0), QSize(32, 32));
}

TEST_F(SondrelWindows, TheContainerFillsTheClientAreaAndFollowsIt)
{
    TOleContainer* c = form1->OleContainer1;
    EXPECT_EQ(c->boundsRect(), QRect(0, 0, 546, 197));
    EXPECT_EQ(c->caption(), QStringLiteral("OleContainer1"));
    EXPECT_EQ(c->tabOrder(), 0);
    EXPECT_TRUE(c->tabStop());
    EXPECT_EQ(c->color(), colors::clWindow);

    form1->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form1->widget()));
    const QSize sizes[] = {{800, 500}, {120, 60}, {546, 197}};
    for (QSize size : sizes) {
        form1->widget()->resize(size);
        EXPECT_EQ(c->widget()->geometry(), QRect(QPoint(0, 0), size));
    }
    // The window colour inside a sunken edge: shadow outside, dark inside.
    const QImage image = c->widget()->grab().toImage();
    auto rgb = [](TColor c) { return toQColor(c).rgb(); };
    EXPECT_EQ(image.pixel(0, 0), rgb(colors::clBtnShadow));
    EXPECT_EQ(image.pixel(1, 1), QColor(Qt::black).rgb());
    EXPECT_EQ(image.pixel(image.width() - 1, image.height() - 1), rgb(colors::clBtnHighlight));
    EXPECT_EQ(image.pixel(image.width() / 2, image.height() / 2), rgb(colors::clWindow));

    // The label lies beneath the container, so pointing at it reaches the container.
    EXPECT_EQ(form1->widget()->childAt(form1->Label1->boundsRect().center()), c->widget());
    EXPECT_EQ(form1->Label1->caption(), QStringLiteral("Server Value"));
}

TEST_F(SondrelWindows, ClosingForm2HidesItAndClosingTheMainWindowEndsTheProgram)
{
    bool runningAfterForm2 = false;
    bool form2Hidden = false;
    QTimer::singleShot(0, [&] {
        form2->widget()->close();
        form2Hidden = !form2->widget()->isVisible();
        runningAfterForm2 = !app.terminated();
        form1->widget()->close();
    });
    app.run();
    EXPECT_TRUE(form2Hidden);
    EXPECT_TRUE(runningAfterForm2);
    EXPECT_TRUE(app.terminated());
}

TEST_F(SondrelWindows, TheSoundTimerIsDisabledAndNothingEnablesIt)
{
    EXPECT_FALSE(form1->Timer1->enabled());
    EXPECT_EQ(form1->Timer1->interval(), 1000u);
    time.advance(60s);
    EXPECT_TRUE(sounds.played.empty());
}

class SoundSequence : public SondrelWindows, public ::testing::WithParamInterface<bool> {};

TEST_P(SoundSequence, PlaysInOrderWhateverEachSoundReturns)
{
    sounds.result = GetParam();
    form1->Timer1->setEnabled(true);
    time.advance(1000ms);
    using P = platform::sound::SoundPlayer;
    const std::vector<std::pair<std::string, unsigned>> expected = {
        {"td.wav", P::Async}, {"whistle.wav", P::Wait}, {"E.wav", P::Wait},
        {"E.wav", P::Wait},   {"E.wav", P::Wait},
    };
    EXPECT_EQ(sounds.played, expected);
    EXPECT_EQ(P::Async, 1u);
    EXPECT_EQ(P::Wait, 0u);
    EXPECT_TRUE(boxes.shown.empty()) << "a sound that did not play is no failure";
}

INSTANTIATE_TEST_SUITE_P(Results, SoundSequence, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "played" : "failed"; });

} // namespace

// The real stored object, made at build time, read through every layer down to the pixels.
TEST_F(SondrelWindows, ShowsTheStoredPictureAtItsSizeAtTheTopLeft)
{
    TOleContainer* c = form1->OleContainer1;
    ASSERT_TRUE(c->hasObject());
    EXPECT_EQ(c->drawAspect(), 1u);
    EXPECT_EQ(c->pictureSize(), QSize(32, 32));

    form1->show();
    form1->widget()->resize(700, 400);
    const QImage image = c->widget()->grab().toImage();
    const auto picture = soundobject::drawPicture();
    int differing = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            differing += image.pixel(2 + x, 2 + y) != QRgb(picture.pixels[std::size_t(y * 32 + x)]);
    EXPECT_EQ(differing, 0) << "pixels of the picture drawn otherwise than stored";
    const QRgb window = toQColor(colors::clWindow).rgb();
    for (QPoint p : {QPoint(34, 2), QPoint(2, 34), QPoint(34, 34), QPoint(690, 390)})
        EXPECT_EQ(image.pixel(p), window) << p.x() << "," << p.y();
}

TEST_F(SondrelWindows, TheVerbMenuOpensTheRecordingInItsOwnWindowWhileTheContainerIsShaded)
{
    TOleContainer* c = form1->OleContainer1;
    form1->show();
    menus.choices = {1};
    QTest::mouseClick(c->widget(), Qt::RightButton, {}, {100, 100});
    ASSERT_EQ(menus.shown.size(), 1u);
    EXPECT_EQ(menus.shown[0].items,
              (std::vector<QString>{QStringLiteral("&Wiedergeben"), QStringLiteral("Ö&ffnen")}));
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text.toStdString();
    ASSERT_TRUE(c->objectOpen());

    QWidget* server = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle().contains(QStringLiteral("OleContainer1")))
            server = w;
    ASSERT_NE(server, nullptr) << "no window of the recording's own";
    // The hatch's first row: set bits at columns 3 and 7 of every 8, counted from the edge.
    const QImage shaded = c->widget()->grab().toImage();
    EXPECT_EQ(shaded.pixelColor(99, 100), QColor(Qt::black));
    EXPECT_EQ(shaded.pixelColor(100, 100), toQColor(colors::clWindow));

    server->close();
    EXPECT_FALSE(c->objectOpen());
    EXPECT_EQ(c->widget()->grab().toImage().pixelColor(99, 100), toQColor(colors::clWindow));
}
