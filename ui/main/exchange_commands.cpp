#include "ui/main/exchange_commands.h"

#include "core/collection.h"
#include "core/recipe_error.h"
#include "exchange/exporter.h"
#include "exchange/importer.h"
#include "exchange/link_fetcher.h"
#include "platform/dialogs.h"
#include "store/RecipeBas.h"
#include "ui/main/failure_text.h"
#include "ui/print/export_file.h"

#include <QDir>
#include <QFileInfo>

namespace mainform {

namespace {

const QString kImportTitle = QStringLiteral("Import recipes");
const QString kExportTitle = QStringLiteral("Export recipes");

struct Offered {
    exchange::ExportFormat format;
    QString filter;
};

const std::vector<Offered> &offered()
{
    static const std::vector<Offered> all = {
        {exchange::ExportFormat::Html, QStringLiteral("Cookbook web page (*.html)")},
        {exchange::ExportFormat::Pdf, QStringLiteral("Cookbook PDF (*.pdf)")},
        {exchange::ExportFormat::JsonLd, QStringLiteral("Schema.org recipes, JSON-LD (*.json)")},
        {exchange::ExportFormat::MealMaster, QStringLiteral("MealMaster text (*.mmf)")},
    };
    return all;
}

}  // namespace

ExchangeCommands::ExchangeCommands(platform::Dialogs &dialogs, RecipeBas &store) : dialogs_(dialogs), store_(store) {}

void ExchangeCommands::importFiles(const QString &category)
{
    const QStringList files = dialogs_.GetOpenFileNames(
        kImportTitle, QStringLiteral("Recipe files (*.json *.jsonld *.html *.htm *.mmf *.mm *.txt);;All files (*)"));
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
    QStringList filters;
    for (const Offered &o : offered())
        filters.append(o.filter);
    const QString base = category.isEmpty() ? QStringLiteral("Recipes") : category;
    const QString suggested = QDir::home().filePath(base + u'.' + exchange::exportSuffix(offered().front().format));
    QString path = dialogs_.GetSaveFileName(kExportTitle + QStringLiteral(" (exported files are not encrypted)"),
                                            suggested, filters, &chosen);
    if (path.isEmpty())
        return;
    const exchange::ExportFormat format = offered().at(static_cast<std::size_t>(std::clamp<int>(chosen, 0, 3))).format;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + exchange::exportSuffix(format);
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
        done = printdoc::exportFile(collection, categories, format, path, [&](int n, int total) {
            return progress->update(n, total);
        }, &error);
    } catch (const recipes::Error &e) {
        error = failureReason(e);
    }
    if (done)
        dialogs_.MsgBox(QStringLiteral("Exported %1 %2 to %3. The file is not encrypted.")
                            .arg(QString::number(count), count == 1 ? QStringLiteral("recipe") : QStringLiteral("recipes"),
                                 QDir::toNativeSeparators(path)),
                        platform::vbOKOnly, kExportTitle);
    else if (!error.isEmpty())
        dialogs_.MsgBox(error, platform::vbCritical, kExportTitle);
    else
        dialogs_.MsgBox(QStringLiteral("The export was cancelled; no file was written."), platform::vbOKOnly, kExportTitle);
}

}  // namespace mainform
