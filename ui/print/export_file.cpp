#include "ui/print/export_file.h"

#include "core/recipe_error.h"
#include "exchange/cookbook_html.h"
#include "ui/print/cookbook_pdf.h"

#include <QDir>
#include <QSaveFile>

namespace printdoc {

bool exportFile(const recipes::Collection &collection, const QStringList &categories, exchange::ExportFormat format,
                const QString &path, const exchange::ExportProgress &progress, QString *error)
{
    const auto failed = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("The file %1 could not be written: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    try {
        if (error)
            error->clear();
        // Its messages name the file already.
        if (format == exchange::ExportFormat::Pdf)
            return writeCookbookPdf(path, collection, categories, progress, error);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return failed(file.errorString());
        const bool written = format == exchange::ExportFormat::Html
            ? exchange::writeCookbookHtml(file, collection, categories, progress)
            : exchange::writeRecipes(file, collection, categories, format, progress);
        if (!written) {
            // Cancelled, unless the file refused a write.
            const QString reason = file.error() == QFileDevice::NoError ? QString() : file.errorString();
            file.cancelWriting();
            return reason.isEmpty() ? false : failed(reason);
        }
        if (!file.commit())
            return failed(file.errorString());
        return true;
    } catch (const recipes::Error &e) {
        return failed(e.message());
    }
}

}  // namespace printdoc
