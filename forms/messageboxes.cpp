#include "forms/messageboxes.h"

#include <QMessageBox>

namespace forms {

int QtMessageBoxes::show(const QString& text, const QString& caption, Icon icon, Buttons buttons)
{
    QMessageBox box;
    box.setWindowTitle(caption);
    box.setText(text);
    box.setWindowModality(Qt::ApplicationModal);
    switch (icon) {
    case Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    case Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    case NoIcon:
        break;
    }
    switch (buttons) {
    case Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return IdOk;
    case QMessageBox::Yes:
        return IdYes;
    case QMessageBox::No:
        return IdNo;
    default:
        return IdCancel;
    }
}

} // namespace forms
