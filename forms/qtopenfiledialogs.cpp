#include "forms/qtopenfiledialogs.h"

#include "forms/opendialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

namespace forms {

QPoint QtOpenFileDialogs::placement(const QSize& screen, const QSize& dialog)
{
    return {(screen.width() - dialog.width()) / 2, (screen.height() - dialog.height()) / 3};
}

QString QtOpenFileDialogs::qtPattern(const QString& pattern)
{
    QStringList parts = pattern.split(u';', Qt::SkipEmptyParts);
    for (QString& p : parts) {
        p = p.trimmed();
        if (p == QStringLiteral("*.*"))
            p = QStringLiteral("*");
    }
    return parts.join(u' ');
}

std::unique_ptr<QFileDialog> QtOpenFileDialogs::build(const OpenFileRequest& request,
                                                      QCheckBox** readOnlyBox)
{
    // Owned by the application, not by a window: no parent, modal for every window.
    auto dialog = std::make_unique<QFileDialog>();
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // Names of files that do not exist yet are taken as typed.
    dialog->setFileMode(QFileDialog::AnyFile);
    // Each entry shows its description only; the pattern Qt matches with goes in brackets that
    // the dialog hides.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const OpenFileRequest::Filter& f : request.filters)
        filters << f.description + QStringLiteral(" (") + qtPattern(f.pattern) + u')';
    if (!filters.isEmpty())
        dialog->setNameFilters(filters);
    if (!request.title.isEmpty())
        dialog->setWindowTitle(request.title);
    // Relative names are the current directory's, as when the file is loaded; a name with a
    // folder in it opens that folder.
    dialog->setDirectory(QDir::currentPath());
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->setMaxLength(TOpenDialog::MaxPath);

    auto* box = new QCheckBox(QObject::tr("Open as &read-only"), dialog.get());
    box->setObjectName(QStringLiteral("readOnlyBox"));
    box->setChecked(request.readOnly);
    box->setVisible(request.showReadOnly);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
        grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    if (readOnlyBox)
        *readOnlyBox = box;

    dialog->adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        dialog->move(area.topLeft() + placement(area.size(), dialog->frameGeometry().size()));
    }
    return dialog;
}

std::optional<OpenFileAnswer> QtOpenFileDialogs::run(const OpenFileRequest& request)
{
    QCheckBox* box = nullptr;
    auto dialog = build(request, &box);
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return OpenFileAnswer{files.first(), box && box->isChecked()};
}

} // namespace forms
