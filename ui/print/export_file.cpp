#include "ui/print/export_file.h"

#include "core/recipe_error.h"
#include "exchange/cookbook_html.h"
#include "ui/print/cookbook_pdf.h"
#include "ui/print/replacing_file.h"

#include <QDir>

namespace printdoc {

bool exportFile(const recipes::Collection &collection, const QStringList &categories, exchange::ExportFormat format,
                const QString &path, const exchange::ExportProgress &progress, QString *error)
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
    const exchange::ExportProgress watched = [&](int done, int total) {
        if (file.failed())
            return false;
        cancelled = progress && !progress(done, total);
        return !cancelled;
    };
    try {
        bool written = false;
        QString pdfError;
        switch (format) {
        case exchange::ExportFormat::Pdf:
            written = writeCookbookPdf(file, collection, categories, watched, &pdfError);
            break;
        case exchange::ExportFormat::Html:
            written = exchange::writeCookbookHtml(file, collection, categories, watched);
            break;
        case exchange::ExportFormat::JsonLd:
        case exchange::ExportFormat::MealMaster:
            written = exchange::writeRecipes(file, collection, categories, format, watched);
            break;
        }
        if (file.failed())
            return failed(file.reason());
        if (!pdfError.isEmpty())
            return failed(pdfError);
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

}  // namespace printdoc
