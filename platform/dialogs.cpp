#include "platform/dialogs.h"

namespace platform {

namespace {

class Unseen : public Progress {
public:
    bool update(qint64, qint64) override { return true; }
};

}  // namespace

QString Dialogs::PasswordBox(const QString &, const QString &) { return {}; }

QStringList Dialogs::GetOpenFileNames(const QString &, const QString &, const QString &) { return {}; }

QString Dialogs::GetExistingDirectory(const QString &) { return {}; }

QString Dialogs::GetSaveFileName(const QString &, const QString &, const QStringList &, int *) { return {}; }

std::unique_ptr<Progress> Dialogs::StartProgress(const QString &, const QString &) { return std::make_unique<Unseen>(); }

}  // namespace platform
