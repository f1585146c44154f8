#include "ui/main/exchange_commands.h"

#include "core/collection.h"
#include "core/recipe_error.h"
#include "exchange/exporter.h"
#include "exchange/format_list.h"
#include "exchange/importer.h"
#include "exchange/link_fetcher.h"
#include "exchange/recipe_format.h"
#include "platform/dialogs.h"
#include "store/RecipeBas.h"
#include "ui/main/failure_text.h"

#include <QDir>
#include <QFileInfo>

namespace mainform {

namespace {

const QString kImportTitle = QStringLiteral("Import recipes");
const QString kExportTitle = QStringLiteral("Export recipes");

}  // namespace

ExchangeCommands::ExchangeCommands(platform::Dialogs &dialogs, RecipeBas &store) : dialogs_(dialogs), store_(store) {}

void ExchangeCommands::importFiles(const QString &category)
{
    const QStringList files = dialogs_.GetOpenFileNames(kImportTitle, exchange::formats::importFilter());
    if (!files.isEmpty())
        importPaths(files, category);
}

void ExchangeCommands::importFolder(const QString &category)
{
    const QString folder = dialogs_.GetExistingDirectory(kImportTitle);
    if (!folder.isEmpty())
        importPaths({folder}, category);
}

void ExchangeCommands::importLink(const QString &category)
{
    const QString link = dialogs_.InputBox(QStringLiteral("The link of a recipe page:"), kImportTitle).trimmed();
    if (link.isEmpty())
        return;
    // Else a mistyped link would be looked for as a file.
    if (!exchange::LinkFetcher::looksLikeLink(link)) {
        dialogs_.MsgBox(QStringLiteral("%1 is not a link: a link starts with http:// or https://.").arg(link),
                        platform::vbCritical, kImportTitle);
        return;
    }
    importPaths({link}, category);
}

void ExchangeCommands::importPaths(const QStringList &paths, const QString &category)
{
    exchange::ImportReport report;
    try {
        const std::unique_ptr<recipes::Collection> collection = store_.session().collection();
        const std::unique_ptr<platform::Progress> progress = dialogs_.StartProgress(
            QStringLiteral("Importing recipes..."), kImportTitle);
        report = exchange::Importer(*collection, category).run(paths, [&](qint64 done, qint64 total) {
            return progress->update(done, total);
        });
    } catch (const recipes::Error &e) {
        report.lines.append(failureReason(e));
        report.fileFailed = true;
    }
    // Rebuilt whatever happened: a file may have gone in before another failed. The report says
    // why a rebuild failed.
    try {
        store_.FillCatalogue();
    } catch (const std::exception &e) {
        report.lines.append(failureReason(e));
    }
    const FailureText box = importBox(report, kImportTitle);
    dialogs_.MsgBox(box.text, box.flags, box.title);
}

void ExchangeCommands::exportRecipes(const QString &category)
{
    int chosen = 0;
    const std::vector<const exchange::RecipeFormat *> offered = exchange::formats::offered();
    QStringList filters;
    for (const exchange::RecipeFormat *format : offered)
        filters.append(format->filter());
    const QString base = category.isEmpty() ? QStringLiteral("Recipes") : category;
    const QString suggested = QDir::home().filePath(base + u'.' + offered.front()->suffixes().value(0));
    const QString notEncrypted = QStringLiteral(" (exported files are not encrypted)");
    QString path = dialogs_.GetSaveFileName(kExportTitle + notEncrypted, suggested, filters, &chosen);
    if (path.isEmpty())
        return;
    const exchange::RecipeFormat &format =
        *offered.at(static_cast<std::size_t>(std::clamp<int>(chosen, 0, static_cast<int>(offered.size()) - 1)));
    if (format.writesFolder()) {
        // A save box names a file; the recipes' folders go into a folder chosen as such.
        path = dialogs_.GetExistingDirectory(kExportTitle + notEncrypted);
        if (path.isEmpty())
            return;
    } else if (QFileInfo(path).suffix().isEmpty()) {
        path += u'.' + format.suffixes().value(0);
    }
    QString error;
    int count = 0;
    bool done = false;
    try {
        const std::unique_ptr<recipes::Collection> opened = store_.session().collection();
        const recipes::Collection &collection = *opened;
        const QStringList categories = category.isEmpty() ? collection.categories() : QStringList{category};
        count = exchange::recipeCount(collection, categories);
        const std::unique_ptr<platform::Progress> progress = dialogs_.StartProgress(
            QStringLiteral("Exporting recipes..."), kExportTitle);
        done = format.exportTo(path, collection, categories, [&](int n, int total) {
            return progress->update(n, total);
        }, &error);
    } catch (const recipes::Error &e) {
        error = failureReason(e);
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (done)
        dialogs_.MsgBox((format.writesFolder() ? QStringLiteral("Exported %1 %2 to %3. The files are not encrypted.")
                                               : QStringLiteral("Exported %1 %2 to %3. The file is not encrypted."))
                            .arg(QString::number(count), count == 1 ? QStringLiteral("recipe") : QStringLiteral("recipes"),
                                 shown),
                        platform::vbOKOnly, kExportTitle);
    else if (!error.isEmpty())
        dialogs_.MsgBox(error, platform::vbCritical, kExportTitle);
    else if (format.writesFolder())
        dialogs_.MsgBox(QStringLiteral("The export was cancelled; the recipes exported before it are in %1, each whole.")
                            .arg(shown),
                        platform::vbOKOnly, kExportTitle);
    else
        dialogs_.MsgBox(QStringLiteral("The export was cancelled; no file was written."), platform::vbOKOnly, kExportTitle);
}

}  // namespace mainform
