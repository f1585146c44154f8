#include "ui/main/failure_text.h"

#include "exchange/importer.h"
#include "platform/dialogs.h"

namespace mainform {

QString failureReason(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const recipes::Error *>(&e))
        return error->message();
    return QString::fromUtf8(e.what());
}

recipes::Error::Kind failureKind(const std::exception &e)
{
    const auto *error = dynamic_cast<const recipes::Error *>(&e);
    return error ? error->kind() : recipes::Error::Kind::Failure;
}

FailureText failureBox(const std::exception &e, const QString &title, const QString &unchosen)
{
    if (!unchosen.isEmpty() && failureKind(e) == recipes::Error::Kind::NoSuchCategory)
        return {unchosen, title, platform::vbOKOnly};
    return {failureReason(e), title, platform::vbCritical};
}

FailureText importBox(const exchange::ImportReport &report, const QString &title)
{
    const bool trouble = report.fileFailed || report.refused > 0 || report.unreadable > 0;
    return {report.text(), title, trouble ? platform::vbCritical : platform::vbOKOnly};
}

void showFailure(platform::Dialogs &dialogs, const std::exception &e, const QString &title, const QString &unchosen)
{
    const FailureText box = failureBox(e, title, unchosen);
    dialogs.MsgBox(box.text, box.flags, box.title);
}

}  // namespace mainform
