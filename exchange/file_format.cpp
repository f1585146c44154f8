#include "exchange/file_format.h"

#include "core/recipe_error.h"
#include "exchange/replacing_file.h"

#include <QDir>

namespace exchange {

bool FileFormat::exportTo(const QString &path, const recipes::Collection &collection, const QStringList &categories,
                          const ExportProgress &progress, QString *error) const
{
    const auto failed = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("The file %1 could not be written: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    if (error)
        error->clear();
    ReplacingFile file(path);
    if (!file.create())
        return failed(file.reason());
    // The writers answer false alike for a cancel and for a file that refused a write: this
    // tells the two apart, and stops a writer that does not look at its device once it failed.
    bool cancelled = false;
    const ExportProgress watched = [&](int done, int total) {
        if (file.failed())
            return false;
        cancelled = progress && !progress(done, total);
        return !cancelled;
    };
    try {
        QString own;
        const bool written = writeTo(file, collection, categories, watched, &own);
        if (file.failed())
            return failed(file.reason());
        if (!own.isEmpty())
            return failed(own);
        if (cancelled)
            return false;
        if (!written)
            return failed(QStringLiteral("the writing stopped before the end."));
        if (!file.commit())
            return failed(file.reason());
        return true;
    } catch (const recipes::Error &e) {
        return failed(e.message());
    }
}

}  // namespace exchange
