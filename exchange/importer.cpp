#include "exchange/importer.h"

#include "core/recipe_batch.h"
#include "core/recipe_error.h"
#include "exchange/html_scripts.h"
#include "exchange/jsonld_reader.h"
#include "exchange/mealmaster_reader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace exchange {

namespace {

enum class Format { JsonLd, Html, MealMaster };

// Thrown through the readers when the user cancels; the file's batch then undoes itself.
struct Cancelled {};

// Told by the file's first characters where they say it (JSON opens with a bracket, a page with
// a tag); else by the file's suffix; else MealMaster, whose files carry any suffix or none.
Format formatOf(QFile &file)
{
    QByteArray head = file.peek(4096);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    head = head.trimmed();
    if (head.startsWith('{') || head.startsWith('['))
        return Format::JsonLd;
    if (head.startsWith('<'))
        return Format::Html;
    const QString suffix = QFileInfo(file.fileName()).suffix().toLower();
    if (suffix == u"json" || suffix == u"jsonld")
        return Format::JsonLd;
    if (suffix == u"html" || suffix == u"htm" || suffix == u"xhtml")
        return Format::Html;
    return Format::MealMaster;
}

// A folder's files that may hold recipes: the suffixes recipe files carry, or none at all.
bool mayHoldRecipes(const QFileInfo &info)
{
    static const QStringList kSuffixes = {QStringLiteral("json"), QStringLiteral("jsonld"), QStringLiteral("html"),
                                          QStringLiteral("htm"),  QStringLiteral("xhtml"),  QStringLiteral("mmf"),
                                          QStringLiteral("mm"),   QStringLiteral("txt")};
    const QString suffix = info.suffix().toLower();
    return suffix.isEmpty() || kSuffixes.contains(suffix);
}

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

}  // namespace

QString ImportReport::countsLine() const
{
    return QStringLiteral("%1 added, %2 skipped, %3 refused.")
        .arg(QString::number(added), QString::number(skipped), QString::number(refused));
}

QString ImportReport::text() const
{
    QStringList all = lines;
    if (cancelled)
        all.append(QStringLiteral("The import was cancelled."));
    all.append(countsLine());
    return all.join(u'\n');
}

// One file's import: its batch, what it has done so far, and the categories it has settled.
struct Importer::FileRun {
    recipes::RecipeBatch batch;
    QHash<QString, QString> categories;  // asked for -> the file's spelling
    int added = 0;
    int skipped = 0;
    int refused = 0;
    int seen = 0;  // recipes read or told as unreadable
    QStringList lines;

    explicit FileRun(recipes::Collection &collection) : batch(collection) {}

    // The category a recipe goes into; a refused name gives the fallback, with a warning.
    QString categoryFor(const QString &wanted, const QString &where)
    {
        const QString name = wanted.trimmed().isEmpty() ? Importer::fallbackCategory() : wanted;
        const auto known = categories.constFind(name);
        if (known != categories.cend())
            return *known;
        QString actual;
        try {
            actual = batch.category(name);
        } catch (const recipes::Error &e) {
            if (!batch.usable() || name == Importer::fallbackCategory())
                throw;
            lines.append(where + QStringLiteral(": The category \"%1\" cannot be made, so its recipes go into \"%2\": ")
                                     .arg(name, Importer::fallbackCategory())
                         + e.message());
            actual = categoryFor(Importer::fallbackCategory(), where);
        }
        categories.insert(name, actual);
        return actual;
    }

    void take(const ImportedRecipe &imported, const QString &forced)
    {
        ++seen;
        const QString category = categoryFor(forced.isEmpty() ? imported.category : forced, imported.where);
        try {
            if (batch.add(category, imported.recipe) == recipes::RecipeBatch::Result::Added)
                ++added;
            else
                ++skipped;
        } catch (const recipes::Error &e) {
            if (!batch.usable())
                throw;
            lines.append(imported.where + QStringLiteral(": ") + e.message() + QStringLiteral(" The recipe was not imported."));
            ++refused;
        }
    }

    void refuse(const ImportProblem &problem)
    {
        ++seen;
        lines.append(problem.where + QStringLiteral(": ") + problem.reason);
        ++refused;
    }
};

Importer::Importer(recipes::Collection &collection, const QString &category)
    : collection_(collection), category_(category)
{
}

ImportReport Importer::run(const QStringList &paths, const ImportProgress &progress)
{
    ImportReport report;
    QStringList files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            QStringList found;
            QDirIterator it(path, QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo file(it.next());
                if (mayHoldRecipes(file))
                    found.append(file.filePath());
            }
            std::sort(found.begin(), found.end());
            files += found;
        } else if (info.exists()) {
            files.append(path);
        } else {
            report.lines.append(shown(path) + QStringLiteral(": There is no such file or folder."));
            report.fileFailed = true;
        }
    }
    qint64 total = 0;
    for (const QString &file : std::as_const(files))
        total += QFileInfo(file).size();
    qint64 done = 0;
    for (const QString &file : std::as_const(files)) {
        importFile(file, done, total, progress, report);
        if (report.cancelled)
            break;
        done += QFileInfo(file).size();
        if (progress && !progress(done, total)) {
            report.cancelled = true;
            break;
        }
    }
    return report;
}

void Importer::importFile(const QString &path, qint64 doneBefore, qint64 total, const ImportProgress &progress,
                          ImportReport &report)
{
    const QString name = shown(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report.lines.append(name + QStringLiteral(": The file cannot be read: ") + file.errorString());
        report.fileFailed = true;
        return;
    }
    std::unique_ptr<FileRun> run;
    try {
        run = std::make_unique<FileRun>(collection_);
        const RecipeSink onRecipe = [&](const ImportedRecipe &imported) {
            if (progress && !progress(doneBefore + file.pos(), total))
                throw Cancelled{};
            run->take(imported, category_);
        };
        const ProblemSink onProblem = [&](const ImportProblem &problem) { run->refuse(problem); };
        switch (formatOf(file)) {
        case Format::JsonLd:
            readJsonLd(file.readAll(), name, onRecipe, onProblem);
            break;
        case Format::Html: {
            const QList<QByteArray> blocks = jsonLdScripts(file.readAll());
            for (qsizetype i = 0; i < blocks.size(); ++i)
                readJsonLdBlock(blocks[i], name + QStringLiteral(", script %1").arg(i + 1), onRecipe, onProblem);
            break;
        }
        case Format::MealMaster:
            readMealMaster(file, name, onRecipe, onProblem);
            break;
        }
        if (file.error() != QFileDevice::NoError)
            throw recipes::Error(QStringLiteral("The file cannot be read: ") + file.errorString());
        if (run->seen == 0)
            run->refuse({name, QStringLiteral("The file holds no recipe this program can read.")});
        run->batch.commit();
    } catch (const Cancelled &) {
        report.lines += run->lines;
        report.lines.append(name + QStringLiteral(": Cancelled; nothing of this file was imported."));
        report.cancelled = true;
        return;
    } catch (const recipes::Error &e) {
        if (run)
            report.lines += run->lines;
        report.lines.append(name + QStringLiteral(": ") + e.message() + QStringLiteral(" Nothing of this file was imported."));
        report.fileFailed = true;
        return;
    }
    report.added += run->added;
    report.skipped += run->skipped;
    report.refused += run->refused;
    report.lines += run->lines;
}

}  // namespace exchange
