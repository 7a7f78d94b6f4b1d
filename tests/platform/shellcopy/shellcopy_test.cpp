#include "platform/shellcopy/qtcopydialogs.h"
#include "platform/shellcopy/shellcopy.h"
#include "testtree.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <utility>

#include <unistd.h>

using namespace shellcopy;
using namespace std::string_literals;

namespace {

// Scripted dialogs that record what they were asked, as lines of text.
struct FakeDialogs final : CopyDialogs {
    bool createFolder = true;
    ReplaceAnswer replace = ReplaceAnswer::Replace;
    bool cancelWhenProgressOpens = false;
    std::function<void()> whenProgressOpens;
    std::function<void()> whenProgressCloses;
    // Runs while a question is on screen.
    std::function<void()> whenAsked;

    std::vector<QString> shown;
    std::uint64_t progressTotal = 0;
    std::function<void()> cancel;

    bool confirmCreateFolder(const QString& folder) override
    {
        shown.push_back(u"create "_qs + folder);
        onScreen();
        return createFolder;
    }
    ReplaceAnswer askReplace(const QString& target) override
    {
        shown.push_back(u"replace "_qs + target);
        onScreen();
        return replace;
    }
    void showError(const QString& message) override { shown.push_back(u"error "_qs + message); }
    void abortQuestion() override
    {
        if (asking)
            shown.push_back(u"question withdrawn"_qs);
    }
    void openProgress(const QString& name, std::uint64_t total,
                      std::function<void()> cancelCopy) override
    {
        shown.push_back(u"progress "_qs + name);
        progressTotal = total;
        cancel = std::move(cancelCopy);
        if (cancelWhenProgressOpens)
            cancel();
        if (whenProgressOpens)
            whenProgressOpens();
    }
    void updateProgress(std::uint64_t) override {}
    void closeProgress() override
    {
        shown.push_back(u"progress closed"_qs);
        if (whenProgressCloses)
            whenProgressCloses();
    }

    bool asking = false;
    void onScreen()
    {
        asking = true;
        if (whenAsked)
            whenAsked();
        asking = false;
    }
};

// A write that holds the copy at its first chunk until the test lets it go, so that the test
// can act while a file is half-written.
std::mutex gateMutex;
std::condition_variable gateChanged;
bool gateOpen = false;

void openGate()
{
    {
        std::lock_guard lock(gateMutex);
        gateOpen = true;
    }
    gateChanged.notify_all();
}

ssize_t gatedWrite(int fd, const void* buffer, std::size_t length)
{
    std::unique_lock lock(gateMutex);
    gateChanged.wait(lock, [] { return gateOpen; });
    return ::write(fd, buffer, length);
}

int noClone(int, int)
{
    errno = EOPNOTSUPP;
    return -1;
}
ssize_t noRange(int, int, std::size_t)
{
    errno = EXDEV;
    return -1;
}

const FileIo gatedIo{noClone, noRange, ::read, gatedWrite};

FileOperationRequest copyRequest(const std::string& from, const std::string& to)
{
    FileOperationRequest r;
    r.operation = FileOperationRequest::Copy;
    r.from = from;
    r.to = to;
    return r;
}

const std::string big = "@" + std::to_string(4u << 20);

struct ShellCopyTest : ::testing::Test {
    TestTree tree;
    FakeDialogs dialogs;
    void SetUp() override { gateOpen = false; }
};

TEST_F(ShellCopyTest, CopiesIntoAFolderItWasAllowedToCreate)
{
    TestTree::make({"Veltrassa/a=1"});
    ShellCopy shell(dialogs);
    auto request = copyRequest("Veltrassa\0\0"s, "out\0\0"s);
    EXPECT_EQ(shell.perform(request), ShellCopy::Ok);
    EXPECT_FALSE(request.anyOperationsAborted);
    EXPECT_EQ(dialogs.shown, std::vector<QString>{u"create out"_qs});
    EXPECT_EQ(TestTree::read("out/Veltrassa/a"), "1");
}

TEST_F(ShellCopyTest, ReplaceQuestionReachesTheDialogs)
{
    TestTree::make({"Veltrassa=new", "out/Veltrassa=old"});
    dialogs.replace = ReplaceAnswer::Skip;
    ShellCopy shell(dialogs);
    auto request = copyRequest("Veltrassa\0\0"s, "out\0\0"s);
    EXPECT_EQ(shell.perform(request), ShellCopy::Ok);
    EXPECT_EQ(dialogs.shown, std::vector<QString>{u"replace out/Veltrassa"_qs});
    EXPECT_EQ(TestTree::read("out/Veltrassa"), "old");
}

TEST_F(ShellCopyTest, FailureIsShownWithTheSystemsReason)
{
    ShellCopy shell(dialogs);
    auto request = copyRequest("Veltrassa\0\0"s, "out\0\0"s);
    EXPECT_EQ(shell.perform(request), ShellCopy::Failed);
    EXPECT_EQ(
        dialogs.shown,
        std::vector<QString>{
            u"error \u201EVeltrassa\u201C kann nicht kopiert werden: No such file or directory"_qs});
}

TEST_F(ShellCopyTest, MalformedRequestsCopyNothing)
{
    TestTree::make({"Veltrassa=abc", "out/"});
    ShellCopy shell(dialogs);
    for (auto request :
         {copyRequest("Veltrassa\0"s, "out\0\0"s), copyRequest("Veltrassa\0\0"s, "out"s),
          copyRequest("\0"s, "out\0\0"s), copyRequest("Veltrassa\0\0"s, "a\0b\0\0"s)}) {
        EXPECT_EQ(shell.perform(request), ShellCopy::BadRequest);
    }
    auto move = copyRequest("Veltrassa\0\0"s, "out\0\0"s);
    move.operation = FileOperationRequest::Move;
    EXPECT_EQ(shell.perform(move), ShellCopy::BadRequest);
    EXPECT_EQ(dialogs.shown.size(), 4u);
    EXPECT_EQ(TestTree::list(), (std::vector<std::string>{"Veltrassa=abc", "out/"}));
}

TEST_F(ShellCopyTest, CancelInTheProgressDialogRemovesTheHalfWrittenFile)
{
    TestTree::make({"Veltrassa=" + big, "out/"});
    dialogs.cancelWhenProgressOpens = true;
    dialogs.whenProgressOpens = openGate;
    ShellCopy shell(dialogs, {std::chrono::milliseconds(0), &gatedIo});
    auto request = copyRequest("Veltrassa\0\0"s, "out\0\0"s);
    EXPECT_EQ(shell.perform(request), ShellCopy::Cancelled);
    EXPECT_TRUE(request.anyOperationsAborted);
    EXPECT_EQ(dialogs.shown,
              (std::vector<QString>{u"progress Veltrassa"_qs, u"progress closed"_qs}));
    EXPECT_EQ(dialogs.progressTotal, 4u << 20);
    EXPECT_EQ(TestTree::list(), (std::vector<std::string>{"Veltrassa=" + big, "out/"}));
}

TEST_F(ShellCopyTest, EndingTheProgramCancelsTheCopyBeforeItReturns)
{
    TestTree::make({"Veltrassa=" + big, "out/"});
    // The program is told to end while the first chunk is being written; the copy goes on
    // only when the progress display has been taken down.
    dialogs.whenProgressOpens = [] { QCoreApplication::exit(0); };
    dialogs.whenProgressCloses = openGate;
    ShellCopy shell(dialogs, {std::chrono::milliseconds(0), &gatedIo});
    auto request = copyRequest("Veltrassa\0\0"s, "out\0\0"s);
    EXPECT_EQ(shell.perform(request), ShellCopy::Cancelled);
    EXPECT_TRUE(request.anyOperationsAborted);
    EXPECT_EQ(dialogs.shown,
              (std::vector<QString>{u"progress Veltrassa"_qs, u"progress closed"_qs}));
    EXPECT_EQ(TestTree::list(), (std::vector<std::string>{"Veltrassa=" + big, "out/"}));

    // The quit request stays with the thread until a main loop takes it; take it here so the
    // tests after this one get working event loops.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    QEventLoop check;
    QTimer::singleShot(0, &check, [&check] { check.exit(7); });
    EXPECT_EQ(check.exec(), 7);
}

TEST_F(ShellCopyTest, CancelWithdrawsTheOpenQuestion)
{
    // The first source holds the copy until the progress is up; the second asks to replace.
    TestTree::make({"Veltrassa=" + big, "Kelm=new", "out/Kelm=old"});
    dialogs.whenProgressOpens = openGate;
    dialogs.whenAsked = [this] { dialogs.cancel(); };
    ShellCopy shell(dialogs, {std::chrono::milliseconds(0), &gatedIo});
    auto request = copyRequest("Veltrassa\0Kelm\0\0"s, "out\0\0"s);
    EXPECT_EQ(shell.perform(request), ShellCopy::Cancelled);
    EXPECT_TRUE(request.anyOperationsAborted);
    // The scripted answer, given after the withdrawal, replaces nothing.
    EXPECT_EQ(dialogs.shown,
              (std::vector<QString>{u"progress Veltrassa"_qs, u"replace out/Kelm"_qs,
                                    u"question withdrawn"_qs, u"progress closed"_qs}));
    EXPECT_EQ(TestTree::read("out/Kelm"), "old");
}

template <typename Dialog> Dialog* shownDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<Dialog*>(w); d && d->isVisible())
            return d;
    return nullptr;
}

TEST_F(ShellCopyTest, CancelInTheRealProgressTakesDownTheQuestion)
{
    TestTree::make({"Veltrassa=" + big, "Kelm=new", "out/Kelm=old"});
    QtCopyDialogs real;
    ShellCopy shell(real, {std::chrono::milliseconds(0), &gatedIo});
    // Plays the user: lets the copy go on once the progress is up, and presses its Cancel when
    // the replace question comes. A question still there after that is answered, so that the
    // copy can end, and counted.
    bool gated = true;
    bool pressed = false;
    bool leftOpen = false;
    QTimer user;
    user.setInterval(1);
    QObject::connect(&user, &QTimer::timeout, [&] {
        QMessageBox* question = shownDialog<QMessageBox>();
        if (pressed) {
            if (question) {
                leftOpen = true;
                question->reject();
            }
            return;
        }
        auto* progress = shownDialog<QProgressDialog>();
        if (!progress)
            return;
        if (std::exchange(gated, false))
            openGate();
        if (question) {
            pressed = true;
            progress->findChild<QPushButton*>()->click();
        }
    });
    user.start();
    auto request = copyRequest("Veltrassa\0Kelm\0\0"s, "out\0\0"s);
    EXPECT_EQ(shell.perform(request), ShellCopy::Cancelled);
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(shownDialog<QMessageBox>(), nullptr);
    EXPECT_EQ(shownDialog<QProgressDialog>(), nullptr);
    EXPECT_EQ(TestTree::read("out/Kelm"), "old");
}

// Where the program's clicks can reach perform() again while a copy runs.
struct ReentryCase {
    const char* name;
    std::vector<std::string> tree;
    std::chrono::milliseconds progressDelay;
    std::vector<QString> shown;
};

class ShellCopyReentry : public ShellCopyTest, public ::testing::WithParamInterface<ReentryCase> {};

TEST_P(ShellCopyReentry, SecondCopyFailsAndLeavesTheFirstAlone)
{
    TestTree::make(GetParam().tree);
    ShellCopy shell(dialogs, {GetParam().progressDelay, &gatedIo});
    auto second = copyRequest("Veltrassa\0\0"s, "out\0\0"s);
    second.anyOperationsAborted = true;
    int secondResult = -1;
    bool clicked = false;
    const auto clickAgain = [&] {
        openGate();
        if (!std::exchange(clicked, true))
            secondResult = shell.perform(second);
    };
    dialogs.whenProgressOpens = clickAgain;
    dialogs.whenAsked = clickAgain;

    auto first = copyRequest("Veltrassa\0\0"s, "out\0\0"s);
    EXPECT_EQ(shell.perform(first), ShellCopy::Ok);
    EXPECT_EQ(secondResult, ShellCopy::Failed);
    EXPECT_TRUE(second.anyOperationsAborted) << "the refused call sets nothing";
    EXPECT_EQ(dialogs.shown, GetParam().shown);
    EXPECT_TRUE(TestTree::read("out/Veltrassa") == TestTree::read("Veltrassa"));

    // Once the copy has returned, the next one runs.
    dialogs.whenProgressOpens = nullptr;
    dialogs.whenAsked = nullptr;
    auto third = copyRequest("Veltrassa\0\0"s, "out\0\0"s);
    EXPECT_EQ(shell.perform(third), ShellCopy::Ok);
}

INSTANTIATE_TEST_SUITE_P(ShellCopy, ShellCopyReentry,
                         ::testing::Values(ReentryCase{"DuringProgress",
                                                       {"Veltrassa=" + big, "out/"},
                                                       std::chrono::milliseconds(0),
                                                       {u"progress Veltrassa"_qs,
                                                        u"progress closed"_qs}},
                                           ReentryCase{"DuringQuestion",
                                                       {"Veltrassa=new", "out/Veltrassa=old"},
                                                       std::chrono::milliseconds(500),
                                                       {u"replace out/Veltrassa"_qs}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
