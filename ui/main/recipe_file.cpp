#include "ui/main/recipe_file.h"

#include "core/collection.h"

#include "engine/system_reason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace mainform::recipefile {

QString named(const QString &given)
{
    return QDir::cleanPath(QFileInfo(recipes::Collection::fileNamed(given)).absoluteFilePath());
}

std::optional<QString> whyNotOpenable(const QString &file)
{
    const auto refused = [&file](const QString &reason) {
        return QStringLiteral("Cannot open the recipe file %1: %2.").arg(QDir::toNativeSeparators(file), reason);
    };
    const QByteArray native = QFile::encodeName(file);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return refused(errno == ENOENT ? QStringLiteral("there is no such file") : dao::systemReason(errno));
    if (S_ISDIR(st.st_mode))
        return refused(QStringLiteral("it is a folder, not a file"));
    if (S_ISFIFO(st.st_mode))
        return refused(QStringLiteral("it is a named pipe, not a recipe file"));
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return refused(QStringLiteral("it is a device, not a recipe file"));
    if (!S_ISREG(st.st_mode))
        return refused(QStringLiteral("it is not a regular file"));
    if (::access(native.constData(), R_OK) != 0)
        return refused(QStringLiteral("it cannot be read (%1)").arg(dao::systemReason(errno)));
    return std::nullopt;
}

}  // namespace mainform::recipefile
