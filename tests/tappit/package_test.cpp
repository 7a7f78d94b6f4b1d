#include "forms/application.h"
#include "platform/shellcopy/shellfileoperation.h"
#include "qtprinters.h"
#include "tappit/tappitmain.h"
#include "testapplication.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace forms;
using namespace std::chrono_literals;
using namespace std::string_literals;
using shellcopy::FileOperationRequest;

namespace {

// Records each request with what the window looked like while the shell had it.
struct RecordingShell final : shellcopy::ShellFileOperation {
    struct Call {
        FileOperationRequest request;
        QString caption;
        bool enabled;
        bool quitPending;
    };
    TForm1*& form;
    std::vector<Call> calls;

    explicit RecordingShell(TForm1*& f)
        : form(f)
    {}

    int perform(FileOperationRequest& request) override
    {
        calls.push_back({request, form->Button3->caption(), form->Button3->enabled(),
                         Application->terminated()});
        return 0;
    }
};

struct PackageStep : ::testing::Test, TestApplication {
    TForm1* form = nullptr;
    RecordingShell shell{form};

    void SetUp() override
    {
        shellcopy::ShellFileOperation::setCurrent(&shell);
        app.initialize();
        app.createForm(form);
        form->show();
    }
    void TearDown() override { shellcopy::ShellFileOperation::setCurrent(nullptr); }

    // A click as a person gives it: a disabled button takes none.
    void click(TButton* button) { QTest::mouseClick(button->button(), Qt::LeftButton); }
    void tick(int n = 1) { time.advance(n * 100ms); }
};

TEST_F(PackageStep, RequestIsTheFixedCopyOfVeltrassaToTheFieldsText)
{
    click(form->Button3);
    ASSERT_EQ(shell.calls.size(), 1u);
    const FileOperationRequest& r = shell.calls[0].request;
    EXPECT_EQ(r.owner, static_cast<const void*>(Application));
    EXPECT_NE(r.owner, static_cast<const void*>(form));
    EXPECT_EQ(r.operation, 2u);
    EXPECT_EQ(r.from, "Veltrassa\0\0"s);
    EXPECT_EQ(r.to, "C:\\\\Destination\\\\\0\0"s);
    EXPECT_EQ(r.to.size(), 17u + 2u);
    EXPECT_EQ(r.flags, 0u);
    EXPECT_FALSE(r.anyOperationsAborted);
    EXPECT_EQ(r.nameMappings, nullptr);
    EXPECT_EQ(r.progressTitle, nullptr);
}

struct DestinationCase {
    const char* name;
    QString text;
    std::string bytes;
};

class PackageDestination : public PackageStep,
                           public ::testing::WithParamInterface<DestinationCase> {};

TEST_P(PackageDestination, IsTheFieldsTextAsItStands)
{
    form->RichEditx2->setText(GetParam().text);
    click(form->Button3);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].request.to, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Tappit, PackageDestination,
    ::testing::Values(DestinationCase{"Empty", QString(), "\0\0"s},
                      DestinationCase{"Blanks", u" /tmp/a b "_qs, " /tmp/a b \0\0"s},
                      DestinationCase{"Umlaut", u"Ziel\u00E4"_qs, "Ziel\xC3\xA4\0\0"s}),
    [](const auto& info) { return std::string(info.param.name); });

// The mode table: what a click does for each caption of the button and each package type.
struct ModeCase {
    const char* name;
    QString caption;
    QString type;
    bool copies;
    bool ends;
    QString captionAfter;
    bool enabledAfter;
};

class PackageModes : public PackageStep, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(PackageModes, Click)
{
    const ModeCase& m = GetParam();
    form->Button3->setCaption(m.caption);
    form->PType->setText(m.type);
    click(form->Button3);

    EXPECT_EQ(shell.calls.size(), m.copies ? 1u : 0u);
    if (m.copies) {
        // The button is still the one that was clicked while the shell works.
        EXPECT_EQ(shell.calls[0].caption, m.caption);
        EXPECT_TRUE(shell.calls[0].enabled);
    }
    EXPECT_EQ(app.terminated(), m.ends);
    EXPECT_EQ(form->Button3->caption(), m.captionAfter);
    EXPECT_EQ(form->Button3->enabled(), m.enabledAfter);
    EXPECT_EQ(form->Timer2->enabled(), m.copies);
    EXPECT_EQ(form->Timerp->enabled(), m.copies);
}

INSTANTIATE_TEST_SUITE_P(
    Tappit, PackageModes,
    ::testing::Values(
        ModeCase{"Start", u"Package ->>"_qs, u"Export Files"_qs, true, false, u"End"_qs, false},
        ModeCase{"Uninstal", u"Uninstal ->>"_qs, u"Export Files"_qs, true, false, u"End"_qs, false},
        ModeCase{"EndOnlyEnds", u"End"_qs, u"Export Files"_qs, false, true, u"End"_qs, true},
        ModeCase{"EndWithOtherType", u"End"_qs, u"x"_qs, false, true, u"End"_qs, true},
        ModeCase{"OtherType", u"Package ->>"_qs, u"Export files"_qs, false, false,
                 u"Package ->>"_qs, true},
        ModeCase{"TypeWithBlank", u"Package ->>"_qs, u"Export Files "_qs, false, false,
                 u"Package ->>"_qs, true},
        ModeCase{"CaptionAlmostEnd", u"end"_qs, u"Export Files"_qs, true, false, u"End"_qs, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PackageStep, AnimationTakesTwentyTicksFromZero)
{
    click(form->Button3);
    EXPECT_FALSE(form->Panel3->visible());
    for (int k = 1; k <= 19; ++k) {
        tick();
        EXPECT_EQ(form->ProgressBar1->position(), std::min(10 * k, 99)) << "tick " << k;
        EXPECT_EQ(form->ProgressBar2->position(), 5 * k) << "tick " << k;
        EXPECT_TRUE(form->Timer2->enabled());
        EXPECT_TRUE(form->Panel3->visible());
    }
    tick();
    EXPECT_EQ(form->ProgressBar2->position(), 100);
    EXPECT_EQ(form->ProgressBar1->position(), 0);
    EXPECT_FALSE(form->Timer2->enabled());
    tick(10);
    EXPECT_EQ(form->ProgressBar1->position(), 0);
    EXPECT_TRUE(form->Panel3->visible());
}

TEST_F(PackageStep, AnimationFromAFullBarTakesOneTick)
{
    form->ProgressBar2->setPosition(100);
    form->ProgressBar1->setPosition(50);
    click(form->Button3);
    tick();
    EXPECT_FALSE(form->Timer2->enabled());
    EXPECT_EQ(form->ProgressBar1->position(), 0);
    EXPECT_EQ(form->ProgressBar2->position(), 100);
    EXPECT_TRUE(form->Panel3->visible());
}

struct WatcherCase {
    const char* name;
    int max;
    int position;
    bool enables;
};

class PackageWatcher : public PackageStep, public ::testing::WithParamInterface<WatcherCase> {};

TEST_P(PackageWatcher, EnablesTheButtonOnlyAtExactlyOneHundred)
{
    click(form->Button3);
    tick(20); // the animation is over
    form->ProgressBar1->setMax(GetParam().max);
    form->ProgressBar1->setPosition(GetParam().position);
    EXPECT_FALSE(form->Button3->enabled());
    time.advance(1000ms); // Timerp's next tick
    EXPECT_EQ(form->Button3->enabled(), GetParam().enables);
    EXPECT_EQ(form->ProgressBar1->position(), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(Tappit, PackageWatcher,
                         ::testing::Values(WatcherCase{"Below", 100, 99, false},
                                           WatcherCase{"Exactly", 100, 100, true},
                                           WatcherCase{"Above", 200, 101, false},
                                           WatcherCase{"Zero", 100, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PackageStep, EndEnabledByTheWatcherEndsWithoutASecondCopy)
{
    click(form->Button3);
    tick(20);
    form->ProgressBar1->setPosition(100);
    time.advance(1000ms);
    ASSERT_TRUE(form->Button3->enabled());
    click(form->Button3);
    EXPECT_TRUE(app.terminated());
    EXPECT_EQ(shell.calls.size(), 1u);
}

TEST_F(PackageStep, ResetDuringTheAnimationStopsItAndCopiesAgainFromZero)
{
    click(form->Button3);
    tick(5);
    ASSERT_EQ(form->ProgressBar2->position(), 25);
    click(form->Button1);
    EXPECT_EQ(form->ProgressBar1->position(), 0);
    EXPECT_EQ(form->ProgressBar2->position(), 0);
    EXPECT_FALSE(form->Timer2->enabled());
    EXPECT_TRUE(form->Timerp->enabled());
    EXPECT_TRUE(form->Panel3->visible());
    EXPECT_TRUE(form->Button3->enabled());
    EXPECT_EQ(form->Button3->caption(), u"Uninstal ->>"_qs);
    tick(10);
    EXPECT_EQ(form->ProgressBar2->position(), 0);

    click(form->Button3);
    EXPECT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(form->Button3->caption(), u"End"_qs);
    tick(19);
    EXPECT_TRUE(form->Timer2->enabled());
    tick();
    EXPECT_FALSE(form->Timer2->enabled());
}

TEST_F(PackageStep, ResetLeavesTheTypingClockRunning)
{
    form->Timer1->setEnabled(true);
    form->ProgressBar1->setPosition(30);
    click(form->Button1);
    EXPECT_TRUE(form->Timer1->enabled());
    EXPECT_EQ(form->ProgressBar1->position(), 0);
}

} // namespace
