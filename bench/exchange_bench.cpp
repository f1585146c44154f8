#include "bench/exchange_bench.h"

#include "bench/exchange_baseline.h"
#include "bench/peak_memory.h"
#include "bench/raw_sqlcipher.h"
#include "bench/recipe_corpus.h"
#include "bench/register.h"
#include "core/category_schema.h"
#include "core/collection.h"
#include "engine/database.h"
#include "engine/db_engine.h"
#include "exchange/exporter.h"
#include "exchange/importer.h"
#include "exchange/jsonld_writer.h"
#include "exchange/link_fetcher.h"
#include "exchange/mealmaster_reader.h"
#include "exchange/mealmaster_writer.h"
#include "support/page_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>

namespace bench {

namespace {

constexpr int kCategories = 100;
constexpr int kFullRecipes = 100 * 1000;
constexpr int kTenthRecipes = kFullRecipes / 10;
// The large database's seed: the file holds recipes of the same lengths and words.
constexpr std::uint32_t kSeed = 20240611;

QString dataRoot;
const GeneratedDatabase *large = nullptr;
std::int64_t exportedBytes = -1;  // of the last JSON-LD export of the large database

QString folder(const QString &root) { return QDir(root).filePath(QStringLiteral("exchange")); }
QString scratch(const char *name) { return folder(dataRoot) + QLatin1Char('/') + QLatin1String(name); }

// The MealMaster file of count recipes, over kCategories categories named on each recipe's
// Categories line; written once, under another name until it is complete.
QString mealMasterFile(const QString &root, int count)
{
    const QString file = folder(root) + QStringLiteral("/recipes-%1.mmf").arg(count);
    if (QFile::exists(file))
        return file;
    const QString part = file + QStringLiteral(".part");
    QFile out(part);
    if (!QDir().mkpath(folder(root)) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + part.toStdString());
    const auto text = [](const std::string &field) { return recipes::schema::trimBlanks(QString::fromStdString(field)); };
    RecipeCorpus corpus(kSeed);
    for (const std::string &category : RecipeCorpus::categoryNames(kCategories)) {
        corpus.startCategory();
        const QString name = QString::fromStdString(category);
        for (int i = 0; i < count / kCategories; ++i) {
            const RecipeText r = corpus.next();
            const recipes::Recipe recipe{text(r.name), text(r.author), text(r.ingredients), text(r.instructions)};
            if (!exchange::writeMealMaster(out, recipe, name))
                throw std::runtime_error("cannot write " + part.toStdString());
        }
    }
    out.close();
    if (out.error() != QFileDevice::NoError || !QFile::rename(part, file))
        throw std::runtime_error("cannot finish " + file.toStdString());
    return file;
}

double mebibytes(const QString &file) { return double(QFileInfo(file).size()) / (1 << 20); }

std::string sizeLabel(double mib)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MiB", mib);
    return text;
}

// Removes the file with its journal, after dropping the engine's connections, one of which
// may still hold it.
void removeDatabase(const QString &file)
{
    dao::DBEngine::ResetCache();
    QFile::remove(file);
    QFile::remove(file + QStringLiteral("-journal"));
}

// A new, empty recipe file at file, as the program makes one.
void freshDatabase(const QString &file)
{
    removeDatabase(file);
    if (!QDir().mkpath(QFileInfo(file).path()))
        throw std::runtime_error("cannot make the folder of " + file.toStdString());
    recipes::Collection::create(file, recipes::kBuiltInPassword);
}

// The rows the import of the full file stores, read from it once with the program's own reader:
// the category each recipe names first, the four fields encoded as they are written.
const std::vector<RawTable> &importedRows()
{
    static const std::vector<RawTable> tables = [] {
        std::vector<RawTable> out;
        std::map<QString, std::size_t> index;
        QFile file(mealMasterFile(dataRoot, kFullRecipes));
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read " + file.fileName().toStdString());
        exchange::readMealMaster(
            file, file.fileName(),
            [&](const exchange::ImportedRecipe &read) {
                const QString category = read.category.trimmed().isEmpty() ? exchange::Importer::fallbackCategory()
                                                                           : read.category;
                auto [it, added] = index.emplace(category, out.size());
                if (added)
                    out.push_back({category.toStdString(), {}});
                std::array<std::string, 4> row;
                for (int i = 0; i < recipes::schema::kFieldCount; ++i)
                    row[static_cast<std::size_t>(i)] = recipes::schema::encode(read.recipe.field(i)).toStdString();
                out[it->second].rows.push_back(std::move(row));
            },
            [](const exchange::ImportProblem &problem) {
                throw std::runtime_error("the generated file does not read back: " + problem.reason.toStdString());
            });
        return out;
    }();
    return tables;
}

const QByteArray &importedDigest()
{
    static const QByteArray digest = contentDigest(importedRows());
    return digest;
}

// The tables the import makes, made the program's way once in a file of their own, as the
// statements that make them again.
const std::vector<std::string> &importedSchema()
{
    static const std::vector<std::string> statements = [] {
        const QString file = scratch("schema.mdb");
        freshDatabase(file);
        {
            const std::unique_ptr<dao::Database> db = dao::DBEngine::Open(file, recipes::kBuiltInPassword);
            for (const RawTable &table : importedRows())
                recipes::schema::createTable(*db, QString::fromStdString(table.name));
            db->Close();
        }
        dao::DBEngine::ResetCache();
        std::vector<std::string> made;
        {
            RawConnection raw(file, recipes::kBuiltInPassword);
            made = schemaStatements(raw);
        }
        removeDatabase(file);
        return made;
    }();
    return statements;
}

void checkDigest(benchmark::State &state, const QString &file, const char *what)
{
    dao::DBEngine::ResetCache();
    RawConnection raw(file, recipes::kBuiltInPassword);
    if (contentDigest(raw) != importedDigest())
        state.SkipWithError(what);
}

// A failure of the code measured shows in its row rather than ending the run.
void guarded(benchmark::State &state, const std::function<void()> &body)
{
    try {
        body();
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

// --- Import -------------------------------------------------------------------------------

void storeImport(benchmark::State &state)
{
    guarded(state, [&] {
        const QString source = mealMasterFile(dataRoot, kFullRecipes);
        const QString target = scratch("import.mdb");
        exchange::ImportReport report;
        for (auto _ : state) {
            state.PauseTiming();
            freshDatabase(target);
            auto collection = std::make_unique<recipes::Collection>(target, recipes::kBuiltInPassword);
            state.ResumeTiming();
            report = exchange::Importer(*collection, QString()).run({source});
            state.PauseTiming();
            collection.reset();
            state.ResumeTiming();
        }
        if (report.added != kFullRecipes || report.refused != 0 || report.fileFailed)
            state.SkipWithError("the import did not add every recipe");
        else
            checkDigest(state, target, "the import stored other values than the raw inserts");
        removeDatabase(target);
        state.counters["recipes"] = report.added;
    });
}

// --- A web page, from a file and by its link -----------------------------------------------

// A recipe site's page of about 150 KB: navigation, a long story, comments, and one JSON-LD
// recipe in its head, as such pages carry it. Our own words, the same every run.
const QByteArray &recipePage()
{
    static const QByteArray page = [] {
        static const char *const words[] = {"simmer", "golden", "butter", "garden", "winter", "slowly",
                                            "kitchen", "onion", "crisp", "fresh", "grandmother", "market"};
        std::uint32_t seed = kSeed;
        const auto sentence = [&]() -> QByteArray {
            QByteArray out;
            for (int i = 0; i < 14; ++i) {
                seed = seed * 1664525u + 1013904223u;
                out += words[(seed >> 16) % std::size(words)];
                out += i == 13 ? ". " : " ";
            }
            return out;
        };
        QByteArray html = "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>Barley Stew</title>"
                          "<script type=\"application/ld+json\">{\"@context\": \"https://schema.org\", "
                          "\"@type\": \"Recipe\", \"name\": \"Barley Stew\", \"author\": {\"@type\": \"Person\", "
                          "\"name\": \"Ann Lee\"}, \"recipeCategory\": \"Soups\", \"recipeIngredient\": [";
        for (int i = 0; i < 15; ++i)
            html += (i ? ", \"" : "\"") + QByteArray::number(i + 1) + " cups of " + words[i % std::size(words)] + "\"";
        html += "], \"recipeInstructions\": [";
        for (int i = 0; i < 8; ++i)
            html += (i ? ", " : "") + ("{\"@type\": \"HowToStep\", \"text\": \"" + sentence().trimmed() + "\"}");
        html += "]}</script></head><body><nav><ul>";
        for (int i = 0; i < 60; ++i)
            html += "<li><a href=\"/recipes/" + QByteArray::number(i) + "\">Recipe " + QByteArray::number(i) + "</a></li>";
        html += "</ul></nav><article>";
        while (html.size() < 150 * 1024) {
            html += "<p>";
            for (int i = 0; i < 4; ++i)
                html += sentence();
            html += "</p>\n";
        }
        html += "</article></body></html>";
        return html;
    }();
    return page;
}

// The page served from a local server on a thread of its own, and saved as a file.
struct PageRig {
    testsupport::PageServer server;
    QString file = scratch("page.html");
    QString target = scratch("page.mdb");

    PageRig()
    {
        server.serve("/stew", {"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n", recipePage()});
        QDir().mkpath(folder(dataRoot));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(recipePage()) != recipePage().size())
            throw std::runtime_error("cannot write " + file.toStdString());
    }
    ~PageRig()
    {
        removeDatabase(target);
        QFile::remove(file);
    }
};

// Imports the page, from its file or by its link, into an empty recipe file each iteration.
void storeImportPage(benchmark::State &state, bool byLink)
{
    guarded(state, [&] {
        PageRig rig;
        const QString source = byLink ? rig.server.url("/stew") : rig.file;
        exchange::ImportReport report;
        for (auto _ : state) {
            state.PauseTiming();
            freshDatabase(rig.target);
            auto collection = std::make_unique<recipes::Collection>(rig.target, recipes::kBuiltInPassword);
            state.ResumeTiming();
            report = exchange::Importer(*collection, QString()).run({source});
            state.PauseTiming();
            collection.reset();
            state.ResumeTiming();
        }
        if (report.added != 1 || !report.lines.isEmpty())
            state.SkipWithError(("the page did not import: " + report.text().toStdString()).c_str());
        state.counters["bytes"] = double(recipePage().size());
    });
}

// Only the transfer: the page fetched by its link, nothing read from it.
void fetchPage(benchmark::State &state)
{
    guarded(state, [&] {
        PageRig rig;
        const QUrl url(rig.server.url("/stew"));
        exchange::FetchedPage page;
        for (auto _ : state)
            page = exchange::LinkFetcher().fetch(url);
        if (page.outcome != exchange::FetchedPage::Outcome::Fetched || page.body != recipePage())
            state.SkipWithError(("the page did not come whole: " + page.reason.toStdString()).c_str());
        state.counters["bytes"] = double(page.body.size());
    });
}

void rawReadLines(benchmark::State &state)
{
    guarded(state, [&] {
        const QString source = mealMasterFile(dataRoot, kFullRecipes);
        std::int64_t lines = 0;
        for (auto _ : state)
            lines = readLines(source);
        state.counters["lines"] = double(lines);
    });
}

void rawInsertRows(benchmark::State &state)
{
    guarded(state, [&] {
        const std::vector<RawTable> &tables = importedRows();
        const std::vector<std::string> &statements = importedSchema();
        const QString target = scratch("raw-import.mdb");
        for (auto _ : state) {
            state.PauseTiming();
            freshDatabase(target);
            auto raw = std::make_unique<RawConnection>(target, recipes::kBuiltInPassword);
            state.ResumeTiming();
            insertRows(*raw, statements, tables);
            state.PauseTiming();
            raw.reset();
            state.ResumeTiming();
        }
        checkDigest(state, target, "the raw inserts stored other values than the import");
        removeDatabase(target);
    });
}

// --- Many small files into a large category -----------------------------------------------

constexpr int kSingleFiles = 200;
const QString kOneCategory = QStringLiteral("Everything");

// kSingleFiles MealMaster files of one recipe each, none of them in the large databases;
// written once.
QStringList singleFiles(const QString &root)
{
    const QDir dir(folder(root) + QStringLiteral("/single-%1").arg(kSingleFiles));
    const QString done = dir.filePath(QStringLiteral("complete"));
    QStringList files;
    for (int i = 0; i < kSingleFiles; ++i)
        files.append(dir.filePath(QStringLiteral("recipe-%1.mmf").arg(i)));
    if (QFile::exists(done))
        return files;
    if (!QDir().mkpath(dir.path()))
        throw std::runtime_error("cannot make " + dir.path().toStdString());
    const auto text = [](const std::string &field) { return recipes::schema::trimBlanks(QString::fromStdString(field)); };
    RecipeCorpus corpus(kSeed + 1);
    corpus.startCategory();
    for (const QString &file : files) {
        const RecipeText r = corpus.next();
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || !exchange::writeMealMaster(out, {text(r.name) + QStringLiteral(" (single)"), text(r.author),
                                                text(r.ingredients), text(r.instructions)},
                                          kOneCategory))
            throw std::runtime_error("cannot write " + file.toStdString());
    }
    QFile marker(done);
    if (!marker.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + done.toStdString());
    return files;
}

// A recipe file whose one category holds the full file's 100,000 recipes; made once by importing
// the full MealMaster file into it.
QString oneCategoryDatabase(const QString &root)
{
    const QString file = folder(root) + QStringLiteral("/one-category-%1.mdb").arg(kFullRecipes);
    if (QFile::exists(file))
        return file;
    const QString part = folder(root) + QStringLiteral("/one-category-part.mdb");
    freshDatabase(part);
    exchange::ImportReport report;
    {
        recipes::Collection collection(part, recipes::kBuiltInPassword);
        report = exchange::Importer(collection, kOneCategory).run({mealMasterFile(root, kFullRecipes)});
    }
    dao::DBEngine::ResetCache();
    if (report.added != kFullRecipes || !QFile::rename(part, file))
        throw std::runtime_error("cannot make " + file.toStdString());
    return file;
}

// full: into the category of 100,000 recipes; else into the same category empty.
void storeImportSingles(benchmark::State &state, bool full)
{
    guarded(state, [&] {
        const QStringList files = singleFiles(dataRoot);
        const QString source = full ? oneCategoryDatabase(dataRoot) : QString();
        const QString target = scratch("singles.mdb");
        exchange::ImportReport report;
        for (auto _ : state) {
            state.PauseTiming();
            if (full) {
                removeDatabase(target);
                if (!QFile::copy(source, target))
                    throw std::runtime_error("cannot copy " + source.toStdString());
            } else {
                freshDatabase(target);
                recipes::Collection(target, recipes::kBuiltInPassword).addCategory(kOneCategory);
            }
            auto collection = std::make_unique<recipes::Collection>(target, recipes::kBuiltInPassword);
            state.ResumeTiming();
            report = exchange::Importer(*collection, kOneCategory).run(files);
            state.PauseTiming();
            collection.reset();
            state.ResumeTiming();
        }
        removeDatabase(target);
        if (report.added != kSingleFiles || report.refused != 0 || report.fileFailed)
            state.SkipWithError("the import did not add every file's recipe");
        state.counters["recipes"] = report.added;
    });
}

// --- A large JSON-LD file -------------------------------------------------------------------

constexpr qint64 kJsonLdBytes = 300LL << 20;
constexpr double kJsonLdBudgetMiB = 150;

// A JSON-LD array of generated recipes of at least kJsonLdBytes, over kCategories categories;
// written once, under another name until it is complete.
QString jsonLdFile(const QString &root)
{
    const QString file = folder(root) + QStringLiteral("/recipes-300MiB.json");
    if (QFile::exists(file))
        return file;
    const QString part = file + QStringLiteral(".part");
    QFile out(part);
    if (!QDir().mkpath(folder(root)) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + part.toStdString());
    const auto text = [](const std::string &field) { return recipes::schema::trimBlanks(QString::fromStdString(field)); };
    const std::vector<std::string> categories = RecipeCorpus::categoryNames(kCategories);
    RecipeCorpus corpus(kSeed + 2);
    corpus.startCategory();
    bool ok = out.write(exchange::jsonLdArrayStart()) >= 0;
    for (std::size_t i = 0; ok && out.pos() < kJsonLdBytes; ++i) {
        const RecipeText r = corpus.next();
        const recipes::Recipe recipe{text(r.name), text(r.author), text(r.ingredients), text(r.instructions)};
        const QString category = QString::fromStdString(categories[i % categories.size()]);
        ok = out.write(exchange::jsonLdArrayItem(i == 0, exchange::jsonLdObjectText(recipe, category))) >= 0;
    }
    ok = ok && out.write(exchange::jsonLdArrayEnd()) >= 0;
    out.close();
    if (!ok || out.error() != QFileDevice::NoError || !QFile::rename(part, file))
        throw std::runtime_error("cannot finish " + file.toStdString());
    return file;
}

// --- Export -------------------------------------------------------------------------------

std::int64_t exportLarge(recipes::Collection &collection, const QStringList &categories, const QString &file)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || !exchange::writeJsonLdRecipes(out, collection, categories))
        throw std::runtime_error("cannot export into " + file.toStdString());
    out.close();
    return out.size();
}

void storeExport(benchmark::State &state)
{
    guarded(state, [&] {
        recipes::Collection collection(large->filePath(), recipes::kBuiltInPassword);
        const QStringList categories = collection.categories();
        const QString file = scratch("export.json");
        for (auto _ : state)
            exportedBytes = exportLarge(collection, categories, file);
        QFile::remove(file);
        state.counters["bytes"] = double(exportedBytes);
    });
}

void rawReadRows(benchmark::State &state)
{
    guarded(state, [&] {
        RawConnection raw(large->filePath(), recipes::kBuiltInPassword);
        std::int64_t bytes = 0;
        for (auto _ : state)
            bytes = readAllRows(raw);
        state.counters["bytes"] = double(bytes);
    });
}

void rawWriteBytes(benchmark::State &state)
{
    guarded(state, [&] {
        if (exportedBytes < 0) {
            recipes::Collection collection(large->filePath(), recipes::kBuiltInPassword);
            const QString file = scratch("export.json");
            exportedBytes = exportLarge(collection, collection.categories(), file);
            QFile::remove(file);
        }
        const QString file = scratch("raw-export.json");
        for (auto _ : state)
            writeBytes(file, exportedBytes);
        QFile::remove(file);
        state.counters["bytes"] = double(exportedBytes);
    });
}

}  // namespace

void registerExchangeBenchmarks(const GeneratedDatabase &largeDb, const QString &root)
{
    dataRoot = root;
    large = &largeDb;
    if (largeDb.shape.categories * largeDb.shape.recipesEach != kFullRecipes)
        throw std::logic_error("the large database is not of the shape the export rows expect");
    // Each run takes seconds: three repetitions give a median.
    addPaused("exchange/import_mealmaster/100000", 1, storeImport)->Repetitions(3);
    add("raw/exchange_read_lines/100000", rawReadLines)->Repetitions(3);
    addPaused("raw/exchange_insert_rows/100000", 1, rawInsertRows)->Repetitions(3);
    addPaused("exchange/import_200_files/into_100000", 1, storeImportSingles, true)->Repetitions(3);
    addPaused("exchange/import_200_files/into_empty", 1, storeImportSingles, false)->Repetitions(3);
    add("exchange/export_jsonld/large", storeExport)->Repetitions(3);
    add("raw/exchange_read_rows/large", rawReadRows)->Repetitions(3);
    add("raw/exchange_write_bytes/large", rawWriteBytes)->Repetitions(3);
    // Read together: a link's import should take at most 1.2 times the page's import plus the transfer.
    addPaused("exchange/ImportPage", 20, storeImportPage, false)->Repetitions(3);
    addPaused("exchange/ImportLink", 20, storeImportPage, true)->Repetitions(3);
    add("exchange/FetchPage", fetchPage)->Repetitions(3);
}

std::vector<TableRow> exchangeTableRows()
{
    const QString source = folder(dataRoot) + QStringLiteral("/recipes-%1.mmf").arg(kFullRecipes);
    std::string importLabel = "`Importer::run`, a MealMaster file of 100,000 recipes";
    if (QFile::exists(source))
        importLabel += " (" + sizeLabel(mebibytes(source)) + ")";
    std::string exportLabel = "`writeJsonLdRecipes`, JSON-LD into a file";
    if (exportedBytes > 0)
        exportLabel += " (" + sizeLabel(double(exportedBytes) / (1 << 20)) + ")";
    return {
        {importLabel, "new (100 x 1,000)", "exchange/import_mealmaster/100000",
         {"raw/exchange_read_lines/100000", "raw/exchange_insert_rows/100000"},
         "raw read of the file in lines + raw inserts of the same rows in one transaction", 2},
        {"`Importer::run`, 200 files of one recipe each into a category of 100,000", "one category of 100,000",
         "exchange/import_200_files/into_100000", {"exchange/import_200_files/into_empty"},
         "the same into that category empty", 3},
        {exportLabel, "large", "exchange/export_jsonld/large",
         {"raw/exchange_read_rows/large", "raw/exchange_write_bytes/large"},
         "raw read of every row + raw write of as many bytes", 2},
        // The target is 1.2x the page read from a file, plus the transfer; the table holds the
        // whole sum to 1.2x, which leaves the transfer a fifth more.
        {"`Importer::run`, one page (150 KB) by its link from a server on this machine", "new",
         "exchange/ImportLink", {"exchange/ImportPage", "exchange/FetchPage"},
         "the same page from a file + the fetch alone", 1.2},
    };
}

std::vector<MemoryRow> exchangeMemoryRows(const QString &root)
{
    QString tenthFile, fullFile;
    try {
        tenthFile = mealMasterFile(root, kTenthRecipes);
        fullFile = mealMasterFile(root, kFullRecipes);
    } catch (const std::exception &) {
        return {};
    }
    const double tenth = measurePeak(QStringLiteral("import-tenth"), root);
    const double full = measurePeak(QStringLiteral("import-full"), root);
    std::vector<MemoryRow> rows;
    try {
        const QString json = jsonLdFile(root);
        // The budget is the baseline: the ratio must stay at or below 1.
        rows.push_back({"`Importer::run`, a JSON-LD file of " + sizeLabel(mebibytes(json))
                            + " into a new file; baseline a budget of 150 MiB",
                        measurePeak(QStringLiteral("import-jsonld"), root), kJsonLdBudgetMiB, 1});
    } catch (const std::exception &) {
        rows.push_back({"`Importer::run`, a JSON-LD file of 300 MiB: the file could not be written", -1, 0, 0});
    }
    std::vector<MemoryRow> mealMaster = {
        {"`Importer::run`, MealMaster file of 10,000 recipes (" + sizeLabel(mebibytes(tenthFile)) + ") into a new file",
         tenth, 0, 0},
        {"`Importer::run`, MealMaster file of 100,000 recipes (" + sizeLabel(mebibytes(fullFile))
             + ") into a new file; baseline the same of 10,000",
         full, tenth, 1.25},
    };
    mealMaster.insert(mealMaster.end(), rows.begin(), rows.end());
    return mealMaster;
}

namespace {

// A probe's import: the file into a new database of its own, removed again.
exchange::ImportReport importIntoScratch(const QString &source)
{
    const QString target = scratch("probe.mdb");
    freshDatabase(target);
    exchange::ImportReport report;
    {
        recipes::Collection collection(target, recipes::kBuiltInPassword);
        report = exchange::Importer(collection, QString()).run({source});
    }
    removeDatabase(target);
    return report;
}

}  // namespace

bool runExchangeProbe(const QString &scenario, const QString &root)
{
    dataRoot = root;
    if (scenario == QLatin1String("import-jsonld")) {
        const exchange::ImportReport report = importIntoScratch(jsonLdFile(root));
        if (report.added == 0 || report.refused != 0 || report.fileFailed)
            throw std::runtime_error("the import did not add every recipe: " + report.countsLine().toStdString());
        return true;
    }
    int count = 0;
    if (scenario == QLatin1String("import-full"))
        count = kFullRecipes;
    else if (scenario == QLatin1String("import-tenth"))
        count = kTenthRecipes;
    else
        return false;
    const exchange::ImportReport report = importIntoScratch(mealMasterFile(root, count));
    if (report.added != count)
        throw std::runtime_error("the import did not add every recipe: " + report.countsLine().toStdString());
    return true;
}

}  // namespace bench
