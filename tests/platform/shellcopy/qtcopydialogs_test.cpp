#include "platform/shellcopy/qtcopydialogs.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

using namespace shellcopy;

namespace {

template <typename Dialog> Dialog* shownDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<Dialog*>(w); d && d->isVisible())
            return d;
    return nullptr;
}

// Presses the button with this text in the question on screen once it is shown, and keeps
// what it said.
struct Answer {
    explicit Answer(QString press)
        : button(std::move(press))
    {}

    QString button;
    QString text;
    QString title;
    bool found = false;

    void pressSoon()
    {
        QTimer::singleShot(0, [this] {
            QMessageBox* box = shownDialog<QMessageBox>();
            ASSERT_NE(box, nullptr);
            text = box->text();
            title = box->windowTitle();
            EXPECT_FALSE(box->isModal()) << "the program's windows keep taking clicks";
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == button) {
                    found = true;
                    b->click();
                    return;
                }
            }
            box->reject();
        });
    }
};

struct ReplaceCase {
    const char* name;
    QString button;
    ReplaceAnswer answer;
};

class QtReplaceQuestion : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(QtReplaceQuestion, ButtonGivesItsAnswer)
{
    QtCopyDialogs dialogs;
    Answer a(GetParam().button);
    a.pressSoon();
    EXPECT_EQ(dialogs.askReplace(QStringLiteral("out/Veltrassa")), GetParam().answer);
    EXPECT_TRUE(a.found);
    EXPECT_EQ(a.title, QStringLiteral("Datei ersetzen"));
    EXPECT_EQ(a.text,
              QStringLiteral("Die Datei \u201Eout/Veltrassa\u201C ist bereits vorhanden.\n\n"
                             "Soll sie ersetzt werden?"));
}

INSTANTIATE_TEST_SUITE_P(
    QtCopyDialogs, QtReplaceQuestion,
    ::testing::Values(
        ReplaceCase{"Replace", QStringLiteral("&Ersetzen"), ReplaceAnswer::Replace},
        ReplaceCase{"All", QStringLiteral("&Alle ersetzen"), ReplaceAnswer::ReplaceAll},
        ReplaceCase{"Skip", QStringLiteral("\u00DC&berspringen"), ReplaceAnswer::Skip},
        ReplaceCase{"Cancel", QStringLiteral("Abbrechen"), ReplaceAnswer::Cancel}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtCopyDialogs, CreateFolderQuestion)
{
    QtCopyDialogs dialogs;
    for (const auto& [button, yes] :
         {std::pair{QStringLiteral("&Ja"), true}, std::pair{QStringLiteral("&Nein"), false}}) {
        Answer a(button);
        a.pressSoon();
        EXPECT_EQ(dialogs.confirmCreateFolder(QStringLiteral("C:\\\\Destination\\\\")), yes);
        EXPECT_EQ(a.text, QStringLiteral("Der Ordner \u201EC:\\\\Destination\\\\\u201C ist nicht "
                                         "vorhanden.\n\nSoll er erstellt werden?"));
    }
}

TEST(QtCopyDialogs, ErrorKeepsTheMessage)
{
    QtCopyDialogs dialogs;
    Answer a(QStringLiteral("OK"));
    a.pressSoon();
    dialogs.showError(QStringLiteral("\u201EVeltrassa\u201C kann nicht kopiert werden: No such "
                                     "file or directory"));
    EXPECT_TRUE(a.found);
    EXPECT_EQ(a.title, QStringLiteral("Fehler beim Kopieren"));
    EXPECT_EQ(a.text, QStringLiteral("\u201EVeltrassa\u201C kann nicht kopiert werden: No such "
                                     "file or directory"));
}

TEST(QtCopyDialogs, WithdrawnQuestionClosesAsCancel)
{
    QtCopyDialogs dialogs;
    const std::vector<std::pair<const char*, std::function<bool()>>> questions{
        {"replace",
         [&] {
             return dialogs.askReplace(QStringLiteral("out/Veltrassa")) == ReplaceAnswer::Cancel;
         }},
        {"create", [&] { return !dialogs.confirmCreateFolder(QStringLiteral("out")); }},
    };
    for (const auto& [name, cancelled] : questions) {
        SCOPED_TRACE(name);
        bool shown = false;
        bool leftOpen = false;
        QObject scope; // takes the fallback below along when the question went as it should
        QTimer::singleShot(0, &scope, [&] {
            shown = shownDialog<QMessageBox>() != nullptr;
            dialogs.abortQuestion();
            // Should the box stay, answer it so the test ends.
            QTimer::singleShot(0, &scope, [&] {
                if (QMessageBox* box = shownDialog<QMessageBox>()) {
                    leftOpen = true;
                    box->reject();
                }
            });
        });
        EXPECT_TRUE(cancelled());
        EXPECT_TRUE(shown);
        EXPECT_FALSE(leftOpen);
        EXPECT_EQ(shownDialog<QMessageBox>(), nullptr);
    }
    dialogs.abortQuestion(); // none open: nothing happens
}

TEST(QtCopyDialogs, ProgressCountsBytesAndCancels)
{
    QtCopyDialogs dialogs;
    bool cancelled = false;
    dialogs.openProgress(QStringLiteral("Veltrassa"), 2000000, [&] { cancelled = true; });
    dialogs.updateProgress(1000000);
    auto* progress = shownDialog<QProgressDialog>();
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(progress->isModal());
    EXPECT_EQ(progress->windowTitle(), QStringLiteral("Kopieren"));
    EXPECT_EQ(progress->value(), 500);
    EXPECT_EQ(progress->findChild<QLabel*>()->text(),
              QStringLiteral("\u201EVeltrassa\u201C wird kopiert\n1.000.000 von 2.000.000 Bytes"));
    QPushButton* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Abbrechen"));
    cancel->click();
    EXPECT_TRUE(cancelled);
    dialogs.closeProgress();
    EXPECT_EQ(shownDialog<QProgressDialog>(), nullptr);
}

} // namespace
