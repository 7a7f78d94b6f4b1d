// Browsing for a file and the start-up load of SYC.ini, on the real window with a scripted
// open-file dialog and virtual time.

#include "forms/application.h"
#include "forms/dispatch.h"
#include "forms/virtualtime.h"
#include "qtprinters.h"
#include "recordingmessageboxes.h"
#include "scriptedopenfiledialogs.h"
#include "tappit/tappitmain.h"
#include "tappitapplication.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <chrono>

using namespace forms;
using namespace std::chrono_literals;

namespace {

struct Browsing : ::testing::Test, TappitApplication {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();

    void SetUp() override
    {
        // SYC.ini is looked for in the current directory.
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
    }

    void start() { ASSERT_TRUE(startTappit()); }

    void TearDown() override
    {
        app.destroyForms();
        QDir::setCurrent(previousDir);
    }

    QString write(const QString& fileName, const QByteArray& bytes)
    {
        QFile f(dir.filePath(fileName));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    void clickButton6() { QTest::mouseClick(form->Button6->widget(), Qt::LeftButton); }

    std::vector<QString> boxTexts() const
    {
        std::vector<QString> texts;
        for (const auto& b : boxes.shown)
            texts.push_back(b.text);
        return texts;
    }
};

// What a browse may change, to compare before and after.
struct Snapshot {
    QString text, exportField, destinationField, dialogName;
    bool readOnly;
    unsigned options;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const TForm1& f)
{
    return {f.RichEdit1->plainText(), f.RichEditx->text(),     f.RichEditx2->text(),
            f.OpenDialog->fileName(), f.RichEdit1->readOnly(), f.OpenDialog->options()};
}

// ---- start-up load ----

TEST_F(Browsing, TheStartUpLoadReadsSycIniAfterOneSecond)
{
    write(QStringLiteral("SYC.ini"), "[Setup]\r\nName=one two\rthree");
    start();
    time.advance(999ms);
    EXPECT_EQ(form->RichEdit1->plainText(), QString());
    EXPECT_TRUE(form->Timer3->enabled());

    time.advance(1ms);
    EXPECT_EQ(form->RichEdit1->plainText(), QStringLiteral("[Setup]\nName=one two\nthree"));
    EXPECT_EQ(form->RichEditx->text(), QStringLiteral("SYC.ini"));
    EXPECT_EQ(form->OpenDialog->fileName(), QStringLiteral("SYC.ini"));
    EXPECT_FALSE(form->Timer3->enabled());
    EXPECT_TRUE(boxes.shown.empty());

    time.advance(10s);
    EXPECT_TRUE(boxes.shown.empty()) << "loaded once, then the timer is off";
    EXPECT_EQ(dialogs.shown.size(), 0u) << "no dialog at start-up";
}

TEST_F(Browsing, WithoutSycIniTheLoadIsRetriedEverySecondAndReportsNeverStack)
{
    start();
    const QString message = QStringLiteral("Datei SYC.ini kann nicht geöffnet werden.");
    // While the first report is open (a modal box runs the event loop), five more ticks fail.
    int nested = 0;
    boxes.whileOpen = [&] {
        if (nested++ == 0)
            time.advance(5s);
    };
    time.advance(1s);
    ASSERT_EQ(boxTexts(), std::vector<QString>{message});
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("Tappit"));
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Stop);
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Ok);
    EXPECT_TRUE(form->Timer3->enabled());
    EXPECT_EQ(form->RichEditx->text(), QStringLiteral("Veltrasa Code 15 at 100% 0*"))
        << "the failure ends the handler";

    // Once answered, the next failed attempt reports again.
    time.advance(1s);
    EXPECT_EQ(boxTexts(), (std::vector<QString>{message, message}));
    EXPECT_TRUE(form->Timer3->enabled());

    write(QStringLiteral("SYC.ini"), "found");
    time.advance(1s);
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(form->RichEdit1->plainText(), QStringLiteral("found"));
    EXPECT_EQ(form->RichEditx->text(), QStringLiteral("SYC.ini"));
    EXPECT_FALSE(form->Timer3->enabled());
}

// ---- browsing ----

TEST_F(Browsing, CancellingTheDialogChangesNothing)
{
    start();
    form->RichEdit1->setPlainText(QStringLiteral("typed"));
    const Snapshot before = snapshot(*form);
    dialogs.cancel();
    clickButton6();
    ASSERT_EQ(dialogs.shown.size(), 1u) << "the click reached Button6Click";
    EXPECT_EQ(snapshot(*form), before);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Browsing, APickedFileReplacesTheTextAndItsPathGoesIntoTheField)
{
    start();
    const QString rtf = write(QStringLiteral("doc.rtf"), "{\\rtf1 {\\b rich} text\\par next}");
    const QString txt = write(QStringLiteral("doc.txt"), "plain\rtext");
    struct Case {
        const char* what;
        void (TForm1::*handler)(TObject*);
        TEdit* TForm1::*field;
        QString file;
        QString shown;
    };
    for (const Case& c : {Case{"Button6, rich text", &TForm1::Button6Click, &TForm1::RichEditx2,
                               rtf, QStringLiteral("rich text\nnext")},
                          Case{"Button5, plain text", &TForm1::Button5Click, &TForm1::RichEditx,
                               txt, QStringLiteral("plain\ntext")}}) {
        SCOPED_TRACE(c.what);
        form->RichEditx->setText(QStringLiteral("export"));
        form->RichEditx2->setText(QStringLiteral("destination"));
        form->Panel1->setFocus();
        form->RichEdit1->setModified(true);
        dialogs.confirm(c.file);
        // Button5 is disabled in the window, so its handler is run the way its click would.
        dispatch([&] { (form->*c.handler)(form->Button6); });
        EXPECT_EQ(form->RichEdit1->plainText(), c.shown);
        EXPECT_EQ((form->*c.field)->text(), c.file);
        EXPECT_EQ(form->RichEditx->text() == QStringLiteral("export"),
                  c.field != &TForm1::RichEditx)
            << "only the field beside the button changes";
        EXPECT_TRUE(form->RichEdit1->focused());
        EXPECT_FALSE(form->RichEdit1->modified());
        EXPECT_FALSE(form->RichEdit1->readOnly());
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Browsing, TheReadOnlyBoxLocksTheAreaAndIsRememberedForTheNextDialog)
{
    start();
    const QString file = write(QStringLiteral("a.txt"), "words");
    dialogs.confirm(file, true);
    clickButton6();
    EXPECT_TRUE(form->RichEdit1->readOnly());
    EXPECT_EQ(form->RichEditx2->text(), file);

    dialogs.cancel();
    clickButton6();
    EXPECT_TRUE(dialogs.shown.back().readOnly) << "opens ticked";
    EXPECT_EQ(dialogs.shown.back().fileName, file);
    EXPECT_TRUE(form->RichEdit1->readOnly()) << "a cancelled dialog leaves it";

    dialogs.confirm(file, false);
    clickButton6();
    EXPECT_FALSE(form->RichEdit1->readOnly());
    dialogs.cancel();
    clickButton6();
    EXPECT_FALSE(dialogs.shown.back().readOnly);
}

TEST_F(Browsing, AMissingTypedNameGivesOneErrorBoxAndChangesNothingElse)
{
    start();
    form->RichEdit1->setPlainText(QStringLiteral("kept"));
    const Snapshot before = snapshot(*form);
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    dialogs.confirm(QStringLiteral("missing.txt"));
    clickButton6();
    EXPECT_EQ(boxTexts(), std::vector<QString>{
                              QStringLiteral("Datei %1 kann nicht geöffnet werden.").arg(missing)});
    Snapshot after = snapshot(*form);
    EXPECT_EQ(after.dialogName, missing) << "the dialog itself was confirmed";
    after.dialogName = before.dialogName;
    EXPECT_EQ(after, before);
}

} // namespace
