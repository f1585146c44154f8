#pragma once
// The progress box as the user sees it: a QProgressDialog with Cancel, which appears once the work
// has taken half a second. While it lives, the user's clicks, keys and close requests reach only
// the box, so nothing else can be started on the file meanwhile.

#include "platform/progress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace platform {

class QtProgress : public QObject, public Progress {
public:
    QtProgress(QWidget *parent, const QString &label, const QString &title);
    ~QtProgress() override;

    bool update(qint64 done, qint64 total) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<QProgressDialog> dialog_;
    QElapsedTimer sinceEvents_;
};

}  // namespace platform
