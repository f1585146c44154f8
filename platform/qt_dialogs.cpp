#include "platform/qt_dialogs.h"

#include "platform/qt_progress.h"

#include <QFileDialog>
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

QString QtDialogs::PasswordBox(const QString &prompt, const QString &title)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, title.isEmpty() ? kAppTitle : title, prompt,
                                               QLineEdit::Password, QString(), &ok);
    return ok ? text : QString();
}

QStringList QtDialogs::GetOpenFileNames(const QString &title, const QString &filter, const QString &folder)
{
    return QFileDialog::getOpenFileNames(parent_, title.isEmpty() ? kAppTitle : title, folder, filter);
}

QString QtDialogs::GetExistingDirectory(const QString &title)
{
    return QFileDialog::getExistingDirectory(parent_, title.isEmpty() ? kAppTitle : title);
}

QString QtDialogs::GetSaveFileName(const QString &title, const QString &suggested, const QStringList &filters,
                                   int *chosen)
{
    QString selected = filters.value(chosen ? *chosen : 0);
    const QString path = QFileDialog::getSaveFileName(parent_, title.isEmpty() ? kAppTitle : title, suggested,
                                                      filters.join(QStringLiteral(";;")), &selected);
    if (chosen)
        *chosen = std::max<int>(0, static_cast<int>(filters.indexOf(selected)));
    return path;
}

std::unique_ptr<Progress> QtDialogs::StartProgress(const QString &label, const QString &title)
{
    return std::make_unique<QtProgress>(parent_, label, title.isEmpty() ? kAppTitle : title);
}

}  // namespace platform
