#include "platform/shellcopy/qtcopydialogs.h"

#include <QEventLoop>
#include <QLocale>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

#include <utility>

namespace shellcopy {

namespace {

QString quoted(const QString& name)
{
    return u'\u201E' + name + u'\u201C';
}

// Waits for the answer in an event loop of its own, without blocking the program's windows.
void runModeless(QDialog& dialog)
{
    dialog.setWindowModality(Qt::NonModal);
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.show();
    dialog.raise();
    loop.exec();
}

QString bytes(std::uint64_t n)
{
    return QLocale(QLocale::German).toString(qulonglong(n));
}

} // namespace

QtCopyDialogs::QtCopyDialogs() = default;
QtCopyDialogs::~QtCopyDialogs() = default;

void QtCopyDialogs::ask(QDialog& question)
{
    QDialog* const outer = std::exchange(question_, &question);
    runModeless(question);
    question_ = outer;
}

void QtCopyDialogs::abortQuestion()
{
    // Rejected, the box has no clicked button, which both questions read as cancel.
    if (question_)
        question_->reject();
}

bool QtCopyDialogs::confirmCreateFolder(const QString& folder)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Ordner erstellen"),
                    QStringLiteral("Der Ordner %1 ist nicht vorhanden.\n\nSoll er erstellt werden?")
                        .arg(quoted(folder)));
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    ask(box);
    return box.clickedButton() == yes;
}

ReplaceAnswer QtCopyDialogs::askReplace(const QString& target)
{
    QMessageBox box(
        QMessageBox::Warning, QStringLiteral("Datei ersetzen"),
        QStringLiteral("Die Datei %1 ist bereits vorhanden.\n\nSoll sie ersetzt werden?")
            .arg(quoted(target)));
    QPushButton* replace = box.addButton(QStringLiteral("&Ersetzen"), QMessageBox::YesRole);
    QPushButton* all = box.addButton(QStringLiteral("&Alle ersetzen"), QMessageBox::YesRole);
    QPushButton* skip = box.addButton(QStringLiteral("\u00DC&berspringen"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(replace);
    box.setEscapeButton(cancel);
    ask(box);
    if (box.clickedButton() == replace)
        return ReplaceAnswer::Replace;
    if (box.clickedButton() == all)
        return ReplaceAnswer::ReplaceAll;
    if (box.clickedButton() == skip)
        return ReplaceAnswer::Skip;
    return ReplaceAnswer::Cancel;
}

void QtCopyDialogs::showError(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler beim Kopieren"), message);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    runModeless(box);
}

void QtCopyDialogs::openProgress(const QString& name, std::uint64_t total,
                                 std::function<void()> cancel)
{
    progressName_ = name;
    total_ = total;
    progress_ = std::make_unique<QProgressDialog>();
    progress_->setWindowTitle(QStringLiteral("Kopieren"));
    progress_->setCancelButtonText(QStringLiteral("Abbrechen"));
    progress_->setWindowModality(Qt::NonModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    // The bar counts in thousandths: byte counts do not fit its int range.
    progress_->setRange(0, 1000);
    QObject::connect(progress_.get(), &QProgressDialog::canceled, progress_.get(),
                     [cancel = std::move(cancel)] { cancel(); });
    updateProgress(0);
    progress_->show();
}

void QtCopyDialogs::updateProgress(std::uint64_t done)
{
    if (!progress_)
        return;
    progress_->setLabelText(QStringLiteral("%1 wird kopiert\n%2 von %3 Bytes")
                                .arg(quoted(progressName_), bytes(done), bytes(total_)));
    progress_->setValue(total_ ? int(std::min<std::uint64_t>(done, total_) * 1000 / total_) : 0);
}

void QtCopyDialogs::closeProgress()
{
    progress_.reset();
}

} // namespace shellcopy
