#include "platform/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

QtDialogs::QtDialogs(QWidget *parent) : parent_(parent) {}

int QtDialogs::MsgBox(const QString &prompt, int flags, const QString &title)
{
    QMessageBox box(parent_);
    box.setWindowTitle(title.isEmpty() ? kAppTitle : title);
    box.setText(prompt);
    box.setIcon((flags & vbCritical) ? QMessageBox::Critical : QMessageBox::NoIcon);
    if (flags & vbYesNo) {
        QPushButton *yes = box.addButton(QMessageBox::Yes);
        QPushButton *no = box.addButton(QMessageBox::No);
        box.setDefaultButton((flags & vbDefaultButton2) ? no : yes);
        // Closing the box without an answer counts as No, the harmless choice.
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? vbYes : vbNo;
    }
    box.setDefaultButton(box.addButton(QMessageBox::Ok));
    box.exec();
    return vbOK;
}

QString QtDialogs::InputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, title.isEmpty() ? kAppTitle : title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

}  // namespace platform
