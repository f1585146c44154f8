#include "bench/search_bench.h"

#include "bench/peak_memory.h"
#include "bench/raw_sqlcipher.h"
#include "bench/register.h"
#include "bench/search_baseline.h"
#include "bench/store_rig.h"
#include "core/collection.h"
#include "core/search_index.h"
#include "store/RecipeBas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>

namespace bench {

namespace {

// Typed as a user types them, and the same in FTS4's standard query syntax. Picked from the
// generated corpus's words so that they find from a few hundred to several thousand of its
// 100,000 recipes: a dish word found in names only, two ingredient words, and an ingredient
// with a dish and a herb.
struct QueryCase {
    const char *key;
    const char *typed;
    const char *expression;
};
const QueryCase kQueries[] = {
    {"one_word", "risotto -mushroom", "risotto* -mushroom*"},
    {"two_words", "cumin paprika -cream", "cumin* paprika* -cream*"},
    {"three_words", "lentil soup thyme -chicken", "lentil* soup* thyme* -chicken*"},
};

constexpr int kLargeRecipes = 100 * 1000;

QString dataRoot;
std::map<std::string, std::size_t> hitCounts;  // by query key, once a run has seen them

// Folders under the data folder with a copy of the large database: one where indexes are built
// and removed again, one where the index is built once and kept for the queries.
const char *const kBuildFolder = "large-search-build";
const char *const kQueryFolder = "large-search";
const char *const kWriteFolder = "large-search-written";

// The recipes of each database the search rows run on, by its key.
int recipesIn(const std::string &key) { return key == "million" ? 1000 * 1000 : kLargeRecipes; }

// A folder's name for the copy of the database of that key: the large one's keep their names.
QString copyFolder(const std::string &key, const char *name)
{
    QString folder = QLatin1String(name);
    if (key != "large")
        folder.replace(QStringLiteral("large"), QString::fromStdString(key));
    return folder;
}

// Returns the copy's base path (without ".mdb"), copying the database of that key when the copy
// is missing or older than the database's last generation.
QString copyOf(const QString &root, const std::string &key, const char *name)
{
    const QString source = QDir(root).filePath(QString::fromStdString(key));
    const QString folder = QDir(root).filePath(copyFolder(key, name));
    const QString marker = folder + QStringLiteral("/copied");
    const QFileInfo generated(source + QStringLiteral("/complete-v1"));
    const QFileInfo copied(marker);
    if (!copied.exists() || !generated.exists() || copied.lastModified() < generated.lastModified()) {
        QDir(folder).removeRecursively();
        QFile done(marker);
        if (!QDir().mkpath(folder)
            || !QFile::copy(source + QStringLiteral("/Recipe.mdb"), folder + QStringLiteral("/Recipe.mdb"))
            || !done.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot copy the " + key + " database into " + folder.toStdString());
    }
    return folder + QStringLiteral("/Recipe");
}

QString indexFileOf(const QString &base) { return recipes::SearchIndex::indexPathFor(base + QStringLiteral(".mdb")); }

void removeIndex(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

// The query folder's index, brought up to date once a run: the query benchmarks open it as the
// program finds it after its first build.
QString queryBase(const std::string &key = "large")
{
    static std::map<std::string, QString> bases;
    auto it = bases.find(key);
    if (it == bases.end()) {
        const QString b = copyOf(dataRoot, key, kQueryFolder);
        recipes::SearchIndex(b, RecipeBas::kPassword).sync();
        it = bases.emplace(key, b).first;
    }
    return it->second;
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

// --- Building the index from nothing -------------------------------------------------------

void storeBuild(benchmark::State &state, const std::string &key)
{
    guarded(state, [&] {
        const QString base = copyOf(dataRoot, key, kBuildFolder);
        const QString index = indexFileOf(base);
        int rewritten = 0;
        int largestStep = 0;
        // The longest a step kept the index busy, against the engine's statement time limit.
        double slowestStepMs = 0;
        for (auto _ : state) {
            state.PauseTiming();
            removeIndex(index);
            state.ResumeTiming();
            recipes::SearchIndex search(base, RecipeBas::kPassword);
            auto stepStart = std::chrono::steady_clock::now();
            search.setStepObserver([&](int recipes) {
                const auto now = std::chrono::steady_clock::now();
                largestStep = std::max(largestStep, recipes);
                slowestStepMs = std::max(slowestStepMs, std::chrono::duration<double, std::milli>(now - stepStart).count());
                stepStart = now;
            });
            rewritten = search.catchUp();
        }
        state.counters["largest_step"] = largestStep;
        state.counters["slowest_step_ms"] = slowestStepMs;
        removeIndex(index);
        if (rewritten != recipesIn(key))
            state.SkipWithError("the index does not hold every recipe");
        state.counters["recipes"] = rewritten;
    });
}

void rawBuild(benchmark::State &state, bool inMemory, const std::string &key)
{
    guarded(state, [&] {
        const QString base = copyOf(dataRoot, key, kBuildFolder);
        const QString target = inMemory ? QStringLiteral(":memory:") : QFileInfo(base).path() + QStringLiteral("/raw.search");
        int indexed = 0;
        for (auto _ : state) {
            state.PauseTiming();
            if (!inMemory)
                removeIndex(target);
            state.ResumeTiming();
            RawConnection recipes(base + QStringLiteral(".mdb"), RecipeBas::kPassword);
            indexed = buildRawIndex(recipes, target, RecipeBas::kPassword);
        }
        if (!inMemory)
            removeIndex(target);
        if (indexed != recipesIn(key))
            state.SkipWithError("the raw index does not hold every recipe");
    });
}

// --- A run's first query, the index built in an earlier run and the file unchanged ----------

// fullRead: as the program did before it kept marks, every recipe read again to find what changed.
// openTimed: the index's two keyed connections are opened inside the time, as a run's first
// query meets them; else outside it, as the search thread has them open before the first query.
void firstQuery(benchmark::State &state, bool fullRead, bool openTimed, const std::string &key)
{
    guarded(state, [&] {
        const QString base = queryBase(key);
        const QString typed = QString::fromUtf8(kQueries[0].typed);
        std::int64_t read = 0;
        std::size_t hits = 0;
        for (auto _ : state) {
            if (!openTimed)
                state.PauseTiming();
            recipes::SearchIndex index(base, RecipeBas::kPassword);
            if (!openTimed)
                state.ResumeTiming();
            if (fullRead)
                index.sync();
            else
                index.catchUp();
            hits = index.find(typed).size();
            read = index.recipesRead();
        }
        state.counters["recipes_read"] = double(read);
        if (hits == 0)
            state.SkipWithError("the first query found nothing");
    });
}

// A run's first query once another program has written to the file (the same values again, so
// that nothing need be indexed): each category's mark is taken, reading every recipe's fields.
// On a copy of its own, so that the other query rows meet a file nothing writes to.
void firstQueryAfterWrite(benchmark::State &state)
{
    guarded(state, [&] {
        const QString base = copyOf(dataRoot, "large", kWriteFolder);
        recipes::SearchIndex(base, RecipeBas::kPassword).sync();
        const QString file = base + QStringLiteral(".mdb");
        const std::string category = quoted(recipes::Collection(base, RecipeBas::kPassword).categories().front().toStdString());
        const QString typed = QString::fromUtf8(kQueries[0].typed);
        std::size_t hits = 0;
        for (auto _ : state) {
            state.PauseTiming();
            {
                RawConnection other(file, RecipeBas::kPassword);
                other.exec("UPDATE " + category + " SET Instructions = Instructions WHERE rowid = (SELECT min(rowid) FROM "
                           + category + ")");
            }
            recipes::SearchIndex index(base, RecipeBas::kPassword);
            state.ResumeTiming();
            index.catchUp();
            hits = index.find(typed).size();
        }
        if (hits == 0)
            state.SkipWithError("the first query found nothing");
    });
}

// The same query later in the run, the index open and in step: what the first is held to.
void laterQuery(benchmark::State &state, const std::string &key)
{
    guarded(state, [&] {
        recipes::SearchIndex index(queryBase(key), RecipeBas::kPassword);
        index.catchUp();
        const QString typed = QString::fromUtf8(kQueries[0].typed);
        std::size_t hits = 0;
        for (auto _ : state)
            hits = index.find(typed).size();
        if (hits == 0)
            state.SkipWithError("the query found nothing");
    });
}

// --- A typed query shown in the tree -------------------------------------------------------

void storeFind(benchmark::State &state, const QueryCase &query)
{
    guarded(state, [&] {
        const QString &base = queryBase();
        recipes::SearchIndex index(base, RecipeBas::kPassword);
        index.catchUp();
        StoreRig rig(base);
        const QString typed = QString::fromUtf8(query.typed);
        for (auto _ : state) {
            const std::vector<recipes::SearchHit> found = index.find(typed);
            rig.store.FillMatches(found);
        }
        const std::vector<recipes::SearchHit> found = index.find(typed);
        const std::size_t hits = found.size();
        std::set<QString> categories;
        for (const recipes::SearchHit &hit : found)
            categories.insert(hit.category);
        hitCounts[query.key] = hits;
        state.counters["hits"] = double(hits);
        if (hits == 0 || rig.tv.Count() != int(1 + categories.size() + hits))
            state.SkipWithError("the tree does not show the matches");
    });
}

std::vector<RawCategory> rawMatches(const QueryCase &query)
{
    RawConnection raw(indexFileOf(queryBase()), RecipeBas::kPassword);
    RawMatch match(raw);
    return match.run(query.expression);
}

void rawMatch(benchmark::State &state, const QueryCase &query)
{
    guarded(state, [&] {
        RawConnection raw(indexFileOf(queryBase()), RecipeBas::kPassword);
        RawMatch match(raw);
        std::vector<RawCategory> found;
        for (auto _ : state)
            found = match.run(query.expression);
        // The same recipes in the same order as the program's own query, or the pair means nothing.
        std::vector<std::pair<QString, QString>> bare, store;
        for (const RawCategory &category : found)
            for (const QString &name : category.recipes)
                bare.emplace_back(category.name, name);
        recipes::SearchIndex index(queryBase(), RecipeBas::kPassword);
        index.catchUp();
        for (const recipes::SearchHit &hit : index.find(QString::fromUtf8(query.typed)))
            store.emplace_back(hit.category, hit.name);
        if (bare != store)
            state.SkipWithError("the raw MATCH finds other recipes than find()");
        hitCounts[query.key] = bare.size();
        state.counters["hits"] = double(bare.size());
    });
}

void rawFill(benchmark::State &state, const QueryCase &query)
{
    guarded(state, [&] {
        const std::vector<RawCategory> found = rawMatches(query);
        const TreeIcons icons = treeIcons(treeImages());
        QTreeWidget tree;
        tree.setHeaderHidden(true);
        tree.setUniformRowHeights(true);
        for (auto _ : state)
            fillMatchTree(tree, icons, found);
    });
}

using bench::add;
using bench::addPaused;

std::string thousands(std::size_t n)
{
    const std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace

void registerSearchBenchmarks(const GeneratedDatabase &large, const QString &root)
{
    dataRoot = root;
    if (large.shape.categories * large.shape.recipesEach != kLargeRecipes)
        throw std::logic_error("the large database is not of the shape the search rows expect");
    // At a million only what grows with the collection: the build and a run's first query.
    // A build at a million takes minutes: once each is all the run can afford; at the large size
    // half a minute, three each.
    for (const std::string key : {"large", "million"}) {
        const int builds = key == "million" ? 1 : 3;
        auto *build = addPaused("search/SearchIndex+sync/" + key, 1, storeBuild, key);
        auto *raw = addPaused("raw/search_build_file/" + key, 1, rawBuild, false, key);
        for (auto *b : {build, raw})
            b->Repetitions(builds);
        addPaused("search/first_query_unchanged_open/" + key, 5, firstQuery, false, false, key);
        add("search/later_query/" + key, laterQuery, key);
    }
    addPaused("search/first_query_unchanged/large", 5, firstQuery, false, true, std::string("large"));
    addPaused("search/first_query_full_read/large", 5, firstQuery, true, true, std::string("large"));
    addPaused("search/first_query_after_write/large", 5, firstQueryAfterWrite);
    addPaused("raw/search_build_memory/large", 1, rawBuild, true, std::string("large"))->Repetitions(3);
    for (const QueryCase &query : kQueries) {
        const std::string key = query.key;
        add("search/find+FillMatches/" + key + "/large", storeFind, query);
        add("raw/search_match/" + key + "/large", rawMatch, query);
        add("raw/search_fill/" + key + "/large", rawFill, query);
    }
}

std::vector<TableRow> searchTableRows()
{
    std::vector<TableRow> rows;
    rows.push_back({"First build: `SearchIndex` + `catchUp`, no index file yet", "large", "search/SearchIndex+sync/large",
                    {"raw/search_build_file/large"},
                    "raw read of every recipe + raw FTS4 inserts into a new encrypted file", 1.5});
    rows.push_back({"First query on an unchanged file: `SearchIndex` + `catchUp` + `find`", "large",
                    "search/first_query_unchanged/large", {"search/first_query_full_read/large"},
                    "the same, every recipe read again (`sync`)", 0});
    rows.push_back({"First query on an unchanged file, the index open: `catchUp` + `find`", "large",
                    "search/first_query_unchanged_open/large", {"search/later_query/large"},
                    "`find` alone, later in the run", 2});
    rows.push_back({"First query after another program wrote to the file, the index open: `catchUp` + `find`",
                    "large", "search/first_query_after_write/large", {"search/first_query_full_read/large"},
                    "`SearchIndex` + `sync` + `find`, every recipe read again", 0});
    rows.push_back({"First build: `SearchIndex` + `catchUp`, no index file yet (one run)", "million",
                    "search/SearchIndex+sync/million", {"raw/search_build_file/million"},
                    "raw read of every recipe + raw FTS4 inserts into a new encrypted file", 1.5});
    rows.push_back({"First query on an unchanged file, the index open: `catchUp` + `find`", "million",
                    "search/first_query_unchanged_open/million", {"search/later_query/million"},
                    "`find` alone, later in the run", 2});
    rows.push_back({"Raw FTS4 build into `:memory:` (no index file)", "large", "raw/search_build_memory/large",
                    {"raw/search_build_file/large"}, "the same raw build into a new encrypted file", 0});
    for (const QueryCase &query : kQueries) {
        const std::string key = query.key;
        std::string label = std::string("`find` + `FillMatches`, `") + query.typed + '`';
        if (const auto it = hitCounts.find(key); it != hitCounts.end())
            label += " (" + thousands(it->second) + " hits)";
        rows.push_back({label, "large", "search/find+FillMatches/" + key + "/large",
                        {"raw/search_match/" + key + "/large", "raw/search_fill/" + key + "/large"},
                        "raw FTS4 MATCH + raw tree fill of the matches", 1.5});
    }
    return rows;
}

std::vector<MemoryRow> searchMemoryRows(const QString &root, double fillCatalogueMiB)
{
    // Copied here, so that no probe's peak holds a copy's buffers.
    try {
        copyOf(root, "large", kBuildFolder);
    } catch (const std::exception &) {
        return {};
    }
    const double search = measurePeak(QStringLiteral("search-large"), root);
    const double file = measurePeak(QStringLiteral("ftsfile-large"), root);
    const double memory = measurePeak(QStringLiteral("ftsmemory-large"), root);
    return {
        {"Index built from nothing by `sync` + 3 queries shown by `FillMatches`, large; baseline `FillCatalogue`, "
         "large",
         search, fillCatalogueMiB, 2},
        {"Raw FTS4 build into a new encrypted file, large", file, 0, 0},
        {"Raw FTS4 build into `:memory:`, large; baseline the same into the file", memory, file, 0},
    };
}

bool runSearchProbe(const QString &kind, const QString &root)
{
    if (kind == QLatin1String("search")) {
        const QString base = copyOf(root, "large", kBuildFolder);
        removeIndex(indexFileOf(base));
        {
            StoreRig rig(base);
            recipes::SearchIndex index(base, RecipeBas::kPassword);
            index.sync();
            for (const QueryCase &query : kQueries)
                rig.store.FillMatches(index.find(QString::fromUtf8(query.typed)));
        }
        removeIndex(indexFileOf(base));
        return true;
    }
    if (kind == QLatin1String("ftsfile") || kind == QLatin1String("ftsmemory")) {
        const QString base = copyOf(root, "large", kBuildFolder);
        const bool inMemory = kind == QLatin1String("ftsmemory");
        const QString target = inMemory ? QStringLiteral(":memory:") : QFileInfo(base).path() + QStringLiteral("/raw.search");
        if (!inMemory)
            removeIndex(target);
        RawConnection recipes(base + QStringLiteral(".mdb"), RecipeBas::kPassword);
        buildRawIndex(recipes, target, RecipeBas::kPassword);
        if (!inMemory)
            removeIndex(target);
        return true;
    }
    return false;
}

}  // namespace bench
