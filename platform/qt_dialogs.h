#pragma once
// The modal boxes as the user sees them.

#include "platform/dialogs.h"

class QWidget;

namespace platform {

// The real boxes: QMessageBox and QInputDialog, parented to the given window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent = nullptr);
    void setParent(QWidget *parent) { parent_ = parent; }
    int MsgBox(const QString &prompt, int flags = vbOKOnly, const QString &title = {}) override;
    QString InputBox(const QString &prompt, const QString &title = {},
                     const QString &defaultText = {}) override;

private:
    QWidget *parent_;
};

}  // namespace platform
