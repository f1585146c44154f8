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
#include "exchange/mealmaster_reader.h"
#include "exchange/mealmaster_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// --- Export -------------------------------------------------------------------------------

std::int64_t exportLarge(recipes::Collection &collection, const QStringList &categories, const QString &file)
{
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || !exchange::writeRecipes(out, collection, categories, exchange::ExportFormat::JsonLd))
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
    add("exchange/import_mealmaster/100000", storeImport)->Repetitions(3);
    add("raw/exchange_read_lines/100000", rawReadLines)->Repetitions(3);
    add("raw/exchange_insert_rows/100000", rawInsertRows)->Repetitions(3);
    add("exchange/export_jsonld/large", storeExport)->Repetitions(3);
    add("raw/exchange_read_rows/large", rawReadRows)->Repetitions(3);
    add("raw/exchange_write_bytes/large", rawWriteBytes)->Repetitions(3);
}

std::vector<TableRow> exchangeTableRows()
{
    const QString source = folder(dataRoot) + QStringLiteral("/recipes-%1.mmf").arg(kFullRecipes);
    std::string importLabel = "`Importer::run`, a MealMaster file of 100,000 recipes";
    if (QFile::exists(source))
        importLabel += " (" + sizeLabel(mebibytes(source)) + ")";
    std::string exportLabel = "`writeRecipes`, JSON-LD into a file";
    if (exportedBytes > 0)
        exportLabel += " (" + sizeLabel(double(exportedBytes) / (1 << 20)) + ")";
    return {
        {importLabel, "new (100 x 1,000)", "exchange/import_mealmaster/100000",
         {"raw/exchange_read_lines/100000", "raw/exchange_insert_rows/100000"},
         "raw read of the file in lines + raw inserts of the same rows in one transaction", 2},
        {exportLabel, "large", "exchange/export_jsonld/large",
         {"raw/exchange_read_rows/large", "raw/exchange_write_bytes/large"},
         "raw read of every row + raw write of as many bytes", 2},
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
    return {
        {"`Importer::run`, MealMaster file of 10,000 recipes (" + sizeLabel(mebibytes(tenthFile)) + ") into a new file",
         tenth, 0, 0},
        {"`Importer::run`, MealMaster file of 100,000 recipes (" + sizeLabel(mebibytes(fullFile))
             + ") into a new file; baseline the same of 10,000",
         full, tenth, 1.25},
    };
}

bool runExchangeProbe(const QString &scenario, const QString &root)
{
    int count = 0;
    if (scenario == QLatin1String("import-full"))
        count = kFullRecipes;
    else if (scenario == QLatin1String("import-tenth"))
        count = kTenthRecipes;
    else
        return false;
    dataRoot = root;
    const QString source = mealMasterFile(root, count);
    const QString target = scratch("probe.mdb");
    freshDatabase(target);
    exchange::ImportReport report;
    {
        recipes::Collection collection(target, recipes::kBuiltInPassword);
        report = exchange::Importer(collection, QString()).run({source});
    }
    removeDatabase(target);
    if (report.added != count)
        throw std::runtime_error("the import did not add every recipe: " + report.countsLine().toStdString());
    return true;
}

}  // namespace bench
