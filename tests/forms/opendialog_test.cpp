// The open-file dialog component and our own dialog built from Qt's widgets.

#include "forms/opendialog.h"
#include "forms/qtopenfiledialogs.h"
#include "qtprinters.h"
#include "scriptedopenfiledialogs.h"
#include "testapplication.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace forms;

namespace {

struct DialogApplication : ::testing::Test, TestApplication {
    TOpenDialog dialog{&app};

    void SetUp() override
    {
        dialog.setFilter(QStringLiteral("Cab Files (*.Cab) Default (*.*)|*.*"));
    }
};

TEST_F(DialogApplication, ShowsTheNameFilterAndReadOnlyStateItHolds)
{
    dialog.setFileName(QStringLiteral("SYC.ini"));
    EXPECT_FALSE(dialog.execute());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const OpenFileRequest& r = dialogs.shown[0];
    EXPECT_EQ(r.fileName, QStringLiteral("SYC.ini"));
    ASSERT_EQ(r.filters.size(), 1);
    EXPECT_EQ(r.filters[0].description, QStringLiteral("Cab Files (*.Cab) Default (*.*)"));
    EXPECT_EQ(r.filters[0].pattern, QStringLiteral("*.*"));
    EXPECT_EQ(r.title, QString()) << "no title of the program's own";
    EXPECT_TRUE(r.showReadOnly);
    EXPECT_FALSE(r.readOnly);
}

TEST_F(DialogApplication, TheInitialNameIsCutTo260Characters)
{
    dialog.setFileName(QString(300, u'n'));
    dialog.execute();
    EXPECT_EQ(dialogs.shown.at(0).fileName, QString(260, u'n'));
    EXPECT_EQ(dialog.fileName(), QString(300, u'n')) << "cancelled: unchanged";
}

TEST_F(DialogApplication, ConfirmationTakesTheFullPathAndTheReadOnlyBox)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    dialog.setFileName(QStringLiteral("before"));

    struct Step {
        const char* what;
        ScriptedOpenFileDialogs::Answer answer;
        bool confirmed;
        QString fileName;
        bool readOnlyAfter;
        bool readOnlyShown;
    };
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    const std::vector<Step> steps = {
        {"cancel changes nothing",
         {false, {}, false},
         false,
         QStringLiteral("before"),
         false,
         false},
        {"ticked: a relative answer becomes a full path",
         {true, QStringLiteral("missing.txt"), true},
         true,
         missing,
         true,
         false},
        {"the next dialog opens ticked; cancel keeps it",
         {false, {}, false},
         false,
         missing,
         true,
         true},
        {"unticked", {true, missing, false}, true, missing, false, true},
        {"and opens unticked", {false, {}, false}, false, missing, false, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        dialogs.answers = {s.answer};
        EXPECT_EQ(dialog.execute(), s.confirmed);
        EXPECT_EQ(dialogs.shown.back().readOnly, s.readOnlyShown);
        EXPECT_EQ(dialog.fileName(), s.fileName);
        EXPECT_EQ(bool(dialog.options() & TOpenDialog::ofReadOnly), s.readOnlyAfter);
    }
}

TEST_F(DialogApplication, HideReadOnlyHidesTheBox)
{
    dialog.setOptions(TOpenDialog::ofHideReadOnly);
    dialog.execute();
    EXPECT_FALSE(dialogs.shown.at(0).showReadOnly);
}

// ---- the real dialog, set up but not shown ----

TEST(QtOpenFileDialog, IsPlacedCentredAndAThirdDown)
{
    struct Case {
        QSize screen, dialog;
        QPoint at;
    };
    for (const Case& c :
         {Case{{1280, 1024}, {600, 400}, {340, 208}}, Case{{1024, 768}, {601, 401}, {211, 122}},
          Case{{500, 300}, {600, 400}, {-50, -33}}}) {
        EXPECT_EQ(QtOpenFileDialogs::placement(c.screen, c.dialog), c.at);
    }
}

TEST(QtOpenFileDialog, PatternsMatchAsOnThePlatformOfTheDefinitions)
{
    EXPECT_EQ(QtOpenFileDialogs::qtPattern(QStringLiteral("*.*")), QStringLiteral("*"));
    EXPECT_EQ(QtOpenFileDialogs::qtPattern(QStringLiteral("*.txt;*.ini")),
              QStringLiteral("*.txt *.ini"));
}

struct QtDialog : ::testing::Test {
    QTemporaryDir dir;
    OpenFileRequest request;
    QCheckBox* box = nullptr;

    void SetUp() override
    {
        QDir::setCurrent(dir.path());
        request.filters = {
            {QStringLiteral("Cab Files (*.Cab) Default (*.*)"), QStringLiteral("*.*")}};
        request.fileName = QStringLiteral("SYC.ini");
    }
};

TEST_F(QtDialog, IsOurOwnModalDialogWithThePlatformsLook)
{
    request.readOnly = true;
    auto d = QtOpenFileDialogs::build(request, &box);
    EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(d->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(d->parentWidget(), nullptr) << "owned by the application, not a window";
    EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
    auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->count(), 1);
    EXPECT_EQ(types->currentText(), QStringLiteral("Cab Files (*.Cab) Default (*.*)"));
    EXPECT_EQ(d->nameFilters(), QStringList{QStringLiteral("Cab Files (*.Cab) Default (*.*) (*)")});
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("SYC.ini"));
    EXPECT_EQ(name->maxLength(), 260);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(box->isHidden());
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Open")) << "the dialog's own title";
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(d->pos(), screen.topLeft() +
                            QtOpenFileDialogs::placement(screen.size(), d->frameGeometry().size()));
}

TEST_F(QtDialog, ShowsAllFilesWhateverTheirName)
{
    auto d = QtOpenFileDialogs::build(request, &box);
    for (const char* file : {"noextension", "a.Cab", "b.txt"}) {
        SCOPED_TRACE(file);
        EXPECT_TRUE(QDir::match(d->nameFilters().value(0).section(u'(', -1).chopped(1),
                                QString::fromLatin1(file)));
    }
}

TEST_F(QtDialog, ATypedNameOfAMissingFileIsAcceptedAsAFullPath)
{
    auto d = QtOpenFileDialogs::build(request, &box);
    d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("new.txt"));
    static_cast<QDialog*>(d.get())->accept(); // what the Open button does
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->selectedFiles(), QStringList{dir.filePath(QStringLiteral("new.txt"))});
}

TEST_F(QtDialog, TheReadOnlyBoxStartsAsTheRequestSaysAndCanBeHidden)
{
    request.readOnly = false;
    request.showReadOnly = false;
    auto d = QtOpenFileDialogs::build(request, &box);
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(box->isHidden());
}

} // namespace
