#pragma once
// The modal boxes as the user sees them.

#include "platform/dialogs.h"

class QWidget;

namespace platform {

// The real boxes: QMessageBox, QInputDialog, QFileDialog and QProgressDialog, parented to the
// given window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent = nullptr);
    void setParent(QWidget *parent) { parent_ = parent; }
    int MsgBox(const QString &prompt, int flags = vbOKOnly, const QString &title = {}) override;
    QString InputBox(const QString &prompt, const QString &title = {},
                     const QString &defaultText = {}) override;
    QString PasswordBox(const QString &prompt, const QString &title = {}) override;
    QStringList GetOpenFileNames(const QString &title, const QString &filter, const QString &folder = {}) override;
    QString GetExistingDirectory(const QString &title) override;
    QString GetSaveFileName(const QString &title, const QString &suggested, const QStringList &filters,
                            int *chosen) override;
    std::unique_ptr<Progress> StartProgress(const QString &label, const QString &title = {}) override;

private:
    QWidget *parent_;
};

}  // namespace platform
