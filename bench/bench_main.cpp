// Times the recipe store on databases of known shape against what the database library and the
// toolkit can do at all, and prints each operation's median beside its baseline.
//
//   saporium_bench [--data-dir=DIR] [--table=FILE] [--no-memory] [--benchmark_...]
//
// Without --data-dir the databases are generated in a temporary folder and removed at the end;
// with it they are kept there and reused by later runs (for profiling one benchmark at a time).

#include "bench/bench_databases.h"
#include "bench/exchange_bench.h"
#include "bench/peak_memory.h"
#include "bench/raw_baseline.h"
#include "bench/raw_sqlcipher.h"
#include "bench/recipe_corpus.h"
#include "bench/register.h"
#include "bench/results_table.h"
#include "bench/scaling_bench.h"
#include "bench/search_bench.h"
#include "bench/store_rig.h"
#include "core/backups.h"
#include "core/category_schema.h"
#include "core/collection.h"
#include "engine/db_engine.h"
#include "engine/engine_error.h"
#include "store/RecipeBas.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QEvent>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include "platform/tree_view.h"
#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

#include <functional>

#include <cstring>
#include <unistd.h>
#include <fstream>
#include <iostream>
#include <map>
#include <algorithm>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>

namespace {

using bench::GeneratedDatabase;

std::map<QString, GeneratedDatabase> databases;  // by shape key

// The main window's size, for the bare window of the start-up baseline.
QSize mainWindowSize()
{
    static const QSize size = [] {
        bench::AnsweringDialogs dialogs;
        bench::QuietShell shell;
        mainform::MainWindow window(dialogs, shell, databases.at(QStringLiteral("small")).folder);
        window.store().CloseStore();
        return window.size();
    }();
    return size;
}

const GeneratedDatabase &database(const char *key) { return databases.at(QLatin1String(key)); }

// Notes when the watched widget is first painted.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
    bool painted = false;
};

void waitForPaint(const PaintWatch &watch, benchmark::State &state)
{
    QElapsedTimer waited;
    waited.start();
    while (!watch.painted) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (waited.elapsed() > 20000) {
            state.SkipWithError("the window was never painted");
            return;
        }
    }
}

void discardDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// --- The limit: bare SQLCipher and a bare QTreeWidget -------------------------------------

void rawKeyedOpen(benchmark::State &state, const char *key)
{
    const QString file = database(key).filePath();
    for (auto _ : state)
        bench::RawConnection raw(file, RecipeBas::kPassword);
}

void rawReadNames(benchmark::State &state, const char *key)
{
    bench::RawConnection raw(database(key).filePath(), RecipeBas::kPassword);
    std::size_t names = 0;
    for (auto _ : state) {
        const auto catalogue = bench::readCatalogue(raw);
        for (const auto &category : catalogue)
            names += static_cast<std::size_t>(category.recipes.size());
        benchmark::DoNotOptimize(names);
    }
    state.counters["names"] = double(names) / double(state.iterations());
}

void rawFillTree(benchmark::State &state, const char *key)
{
    std::vector<bench::RawCategory> catalogue;
    {
        bench::RawConnection raw(database(key).filePath(), RecipeBas::kPassword);
        catalogue = bench::readCatalogue(raw);
    }
    const bench::TreeIcons icons = bench::treeIcons(bench::treeImages());
    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.setUniformRowHeights(true);
    for (auto _ : state)
        bench::fillTree(tree, icons, catalogue);
    double nodes = 1;
    for (const auto &category : catalogue)
        nodes += 1 + double(category.recipes.size());
    state.counters["nodes"] = nodes;
}

void rawReadCategories(benchmark::State &state, const char *key)
{
    bench::RawConnection raw(database(key).filePath(), RecipeBas::kPassword);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::readCategoryNames(raw));
}

void rawFillCategories(benchmark::State &state, const char *key)
{
    std::vector<bench::RawCategory> catalogue;
    {
        bench::RawConnection raw(database(key).filePath(), RecipeBas::kPassword);
        for (const QString &name : bench::readCategoryNames(raw))
            catalogue.push_back({name, {}});
    }
    const bench::TreeIcons icons = bench::treeIcons(bench::treeImages());
    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.setUniformRowHeights(true);
    for (auto _ : state)
        bench::fillTree(tree, icons, catalogue, false);
}

// The names of one table plus the four fields of its row named so: what showing a recipe has
// to read at the least.
void rawReadTable(benchmark::State &state, const char *key, bool last)
{
    const GeneratedDatabase &db = database(key);
    bench::RawConnection raw(db.filePath(), RecipeBas::kPassword);
    const QString wanted = last ? db.lastRecipe : db.firstRecipe;
    for (auto _ : state) {
        const auto fields = bench::readRecipe(raw, db.midCategory, wanted);
        if (fields[0] != wanted)
            state.SkipWithError("the recipe was not found");
    }
}

void rawShowInBoxes(benchmark::State &state, const char *key)
{
    const GeneratedDatabase &db = database(key);
    bench::RawConnection raw(db.filePath(), RecipeBas::kPassword);
    const auto fields = bench::readRecipe(raw, db.midCategory, db.lastRecipe);
    QLineEdit name, author;
    QPlainTextEdit ingredients, instructions;
    for (auto _ : state)
        bench::showInBoxes(fields, name, author, ingredients, instructions);
}

// A bare window holding a bare tree, filled from a fresh keyed connection, to its first paint.
// A bare tree window to its first paint, filled from what read gives on a keyed raw connection.
void bareTreeStartup(benchmark::State &state, const char *key,
                     const std::function<std::vector<bench::RawCategory>(bench::RawConnection &)> &read)
{
    const QString file = database(key).filePath();
    const bench::TreeIcons icons = bench::treeIcons(bench::treeImages());
    const QSize size = mainWindowSize();
    for (auto _ : state) {
        auto window = std::make_unique<QWidget>();
        window->resize(size);
        auto *tree = new QTreeWidget(window.get());
        tree->setGeometry(8, 8, size.width() / 3, size.height() - 16);
        tree->setHeaderHidden(true);
        tree->setUniformRowHeights(true);
        PaintWatch watch(tree->viewport());
        {
            bench::RawConnection raw(file, RecipeBas::kPassword);
            bench::fillTree(*tree, icons, read(raw));
        }
        window->show();
        waitForPaint(watch, state);
        state.PauseTiming();
        window.reset();
        discardDeferredDeletes();
        state.ResumeTiming();
    }
}

void rawStartup(benchmark::State &state, const char *key) { bareTreeStartup(state, key, bench::readCatalogue); }

// --- The store on real controls -----------------------------------------------------------

void storeOpenCold(benchmark::State &state, const char *key)
{
    bench::StoreRig rig(database(key).basePath());
    for (auto _ : state) {
        state.PauseTiming();
        dao::DBEngine::ResetCache();
        state.ResumeTiming();
        rig.store.OpenStore();
        rig.store.CloseStore();
    }
}

void storeOpenWarm(benchmark::State &state, const char *key)
{
    bench::StoreRig rig(database(key).basePath());
    rig.store.OpenStore();
    rig.store.CloseStore();
    for (auto _ : state) {
        rig.store.OpenStore();
        rig.store.CloseStore();
    }
}

void storeFillCatalogue(benchmark::State &state, const char *key)
{
    bench::StoreRig rig(database(key).basePath());
    rig.store.FillCatalogue();
    for (auto _ : state)
        rig.store.FillCatalogue();
    const int expected = database(key).shape.categories * (database(key).shape.recipesEach + 1) + 1;
    if (rig.tv.Count() != expected)
        state.SkipWithError("the tree does not show every recipe");
    state.counters["nodes"] = rig.tv.Count();
}

void storeFillCategories(benchmark::State &state, const char *key)
{
    bench::StoreRig rig(database(key).basePath());
    rig.store.FillCategories();
    for (auto _ : state)
        rig.store.FillCategories();
}

void storeShowRecipe(benchmark::State &state, const char *key, bool last)
{
    const GeneratedDatabase &db = database(key);
    bench::StoreRig rig(db.basePath());
    const QString wanted = last ? db.lastRecipe : db.firstRecipe;
    for (auto _ : state)
        rig.store.ShowRecipe(db.midCategory, wanted);
    if (recipes::schema::trimBlanks(rig.t1.Text()) != wanted)
        state.SkipWithError("the recipe was not shown");
    rig.store.CloseStore();
}

void fillBoxes(bench::StoreRig &rig, const bench::RecipeText &recipe)
{
    rig.t1.SetText(QString::fromStdString(recipe.name));
    rig.t2.SetText(QString::fromStdString(recipe.author));
    rig.t3.SetText(QString::fromStdString(recipe.ingredients));
    rig.t4.SetText(QString::fromStdString(recipe.instructions));
}

// As the Save button does it: the row, then the tree shown as a fill leaves it, from the rows
// the change updated.
void storeAddRecipe(benchmark::State &state, const char *key)
{
    const GeneratedDatabase &db = database(key);
    bench::StoreRig rig(db.basePath());
    bench::RecipeCorpus corpus(7);
    fillBoxes(rig, corpus.next());
    rig.FillSettled();
    for (auto _ : state) {
        rig.store.AddRecipe(db.midCategory);
        rig.store.ShowCatalogue();
    }
    bench::trimAddedRows(db);
}

// A run backs each file up before its first change: a one-time copy that the change rows do not
// measure. The run is told each file needs none, as for a file it made itself: copying five
// databases of up to 2 GB after every first-change row would take longer than the rows.
void backUpUnmeasured()
{
    for (const auto &[key, db] : databases)
        recipes::Backups::madeNew(db.filePath());
}

// firstOfRun: each change is a run's first, made once the run's backup, started in the
// background as the window does on opening, has ended (as it has with the window open a minute):
// what is measured is the change with what is left of the backup, putting it in place.
void storeUpdateRecipe(benchmark::State &state, const char *key, bool firstOfRun)
{
    const GeneratedDatabase &db = database(key);
    bench::StoreRig rig(db.basePath());
    rig.store.ShowRecipe(db.midCategory, db.lastRecipe);
    rig.store.CloseStore();
    const QStringList original = {rig.t1.Text(), rig.t2.Text(), rig.t3.Text(), rig.t4.Text()};
    rig.FillSettled();
    const QStringList backupsBefore = recipes::Backups::list(db.filePath());
    bool changed = false;
    for (auto _ : state) {
        state.PauseTiming();
        if (firstOfRun) {
            for (const QString &made : recipes::Backups::list(db.filePath()))
                if (!backupsBefore.contains(made))
                    QFile::remove(made);
            recipes::Backups::forgetRun();
            recipes::Backups::startInBackground(db.filePath(), recipes::kBuiltInPassword);
            recipes::Backups::waitForBackground(db.filePath());
            // A minute after opening, the system has also written the copy out to the disk.
            ::sync();
        }
        // UpdateRecipe empties the boxes; the user types into them again.
        rig.t1.SetText(original[0]);
        rig.t2.SetText(original[1]);
        rig.t3.SetText(original[2]);
        rig.t4.SetText(changed ? original[3] : original[3] + QStringLiteral(" Serve at once."));
        changed = !changed;
        state.ResumeTiming();
        if (rig.store.UpdateRecipe(db.midCategory, db.lastRecipe) != RecipeBas::Outcome::Done)
            state.SkipWithError("the recipe was not found");
    }
    if (firstOfRun) {
        // By name, not by count: with ten kept, a new backup takes the oldest one's place.
        const QStringList after = recipes::Backups::list(db.filePath());
        if (std::all_of(after.begin(), after.end(), [&](const QString &b) { return backupsBefore.contains(b); }))
            state.SkipWithError("the first change made no backup");
        for (const QString &made : recipes::Backups::list(db.filePath()))
            if (!backupsBefore.contains(made))
                QFile::remove(made);
        // The rows measured after this one count on a run that has backed every file up.
        backUpUnmeasured();
    }
    if (changed) {
        rig.t1.SetText(original[0]);
        rig.t2.SetText(original[1]);
        rig.t3.SetText(original[2]);
        rig.t4.SetText(original[3]);
        rig.store.UpdateRecipe(db.midCategory, db.lastRecipe);
    }
}

void storeDeleteRecipe(benchmark::State &state, const char *key)
{
    const GeneratedDatabase &db = database(key);
    bench::StoreRig rig(db.basePath());
    bench::RawConnection raw(db.filePath(), RecipeBas::kPassword);
    // A name no recipe of the category has, or the search would stop at that one.
    const QStringList taken = bench::readNames(raw, db.midCategory);
    bench::RecipeCorpus corpus(11);
    bench::RecipeText victim;
    QString victimName;
    do {
        victim = corpus.next();
        victimName = recipes::schema::trimBlanks(QString::fromStdString(victim.name));
    } while (taken.contains(victimName));
    sqlite3_stmt *insert = raw.prepare("INSERT INTO " + bench::quoted(db.midCategory.toStdString())
                                       + " (Name, Author, Ingredients, Instructions) VALUES (?1, ?2, ?3, ?4)");
    int column = 1;
    for (const std::string *value : {&victim.name, &victim.author, &victim.ingredients, &victim.instructions})
        sqlite3_bind_text(insert, column++, value->data(), static_cast<int>(value->size()), SQLITE_STATIC);
    rig.FillSettled();
    for (auto _ : state) {
        state.PauseTiming();
        // Another one to delete, at the end of the stored order: the longest search.
        const bool added = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
        state.ResumeTiming();
        if (!added || rig.store.DeleteRecipe(db.midCategory, victimName) != RecipeBas::Outcome::Done)
            state.SkipWithError("the recipe was not deleted");
    }
    sqlite3_finalize(insert);
    bench::trimAddedRows(db);
}

// The program's start: a cold engine, the main window with its load handler, its first paint.
// What the window's first screen needs and no more, done bare: a keyed open, the table list,
// the last names of the last category (the end a fill opens and shows), a tree of those.
void rawFirstScreenStartup(benchmark::State &state, const char *key)
{
    constexpr int kScreenRows = 64;  // more rows than the tree shows at once
    bareTreeStartup(state, key, [](bench::RawConnection &raw) {
        std::vector<bench::RawCategory> catalogue;
        for (const QString &table : bench::readCategoryNames(raw))
            catalogue.push_back({table, {}});
        if (!catalogue.empty()) {
            sqlite3_stmt *last = raw.prepare("SELECT Name FROM " + bench::quoted(catalogue.back().name.toStdString())
                                             + " ORDER BY rowid DESC LIMIT " + std::to_string(kScreenRows));
            while (sqlite3_step(last) == SQLITE_ROW)
                catalogue.back().recipes.prepend(
                    QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(last, 0))).trimmed());
            sqlite3_finalize(last);
        }
        return catalogue;
    });
}

void mainWindowStartup(benchmark::State &state, const char *key)
{
    const QString folder = database(key).folder;
    bench::AnsweringDialogs dialogs;
    bench::QuietShell shell;
    for (auto _ : state) {
        state.PauseTiming();
        dao::DBEngine::ResetCache();
        state.ResumeTiming();
        auto window = std::make_unique<mainform::MainWindow>(dialogs, shell, folder);
        PaintWatch watch(window->findChild<platform::TreeView *>(QStringLiteral("Tv"))->viewport());
        window->show();
        waitForPaint(watch, state);
        state.PauseTiming();
        window->store().CloseStore();
        window.reset();
        discardDeferredDeletes();
        state.ResumeTiming();
    }
    if (dialogs.shown != 0)
        state.SkipWithError("the main window reported a failure");
}

// --- A megabyte in one box of the shown main window -----------------------------------------

// 1 MiB of text of one shape: "unbroken" one word without a blank, "words" made-up recipe
// steps in one paragraph, "lines" the same steps in CR LF lines as stored.
const QString &megabyte(const std::string &shape)
{
    static const std::map<std::string, QString> texts = [] {
        const qsizetype size = qsizetype(1) << 20;
        QString lines;
        bench::RecipeCorpus corpus(5);
        while (lines.size() < size)
            lines += QString::fromStdString(corpus.next().instructions) + QStringLiteral("\r\n");
        lines.truncate(size);
        QString words = lines;
        words.replace(QStringLiteral("\r\n"), QStringLiteral("  "));
        QString unbroken = QStringLiteral("abcdefghijklmnopqrstuvwxyz").repeated(size / 26 + 1);
        unbroken.truncate(size);
        return std::map<std::string, QString>{{"unbroken", unbroken}, {"words", words}, {"lines", lines}};
    }();
    return texts.at(shape);
}

// The main window, shown, and one of its boxes wrapped as the window wraps it.
struct ShownBox {
    explicit ShownBox(const char *name, benchmark::State &state)
        : window(dialogs, shell, database("small").folder),
          line(window.findChild<QLineEdit *>(QLatin1String(name))),
          multi(window.findChild<QPlainTextEdit *>(QLatin1String(name))),
          box(line ? platform::TextBox(line) : platform::TextBox(multi))
    {
        PaintWatch watch(surface());
        window.show();
        waitForPaint(watch, state);
    }
    ~ShownBox() { window.store().CloseStore(); }
    QWidget *surface() const { return line ? static_cast<QWidget *>(line) : multi->viewport(); }
    // What the window does before the user sees the text: lay it out and paint the box.
    void paint()
    {
        surface()->repaint();
        QCoreApplication::processEvents();
    }
    // As if an ordinary recipe was shown before: the box holds a short field again.
    void showOrdinary()
    {
        box.SetText(QStringLiteral("Simmer for ten minutes. "));
        paint();
    }

    bench::AnsweringDialogs dialogs;
    bench::QuietShell shell;
    mainform::MainWindow window;
    QLineEdit *line;
    QPlainTextEdit *multi;
    platform::TextBox box;
};

void showMegabyte(benchmark::State &state, const char *boxName, std::string shape)
{
    ShownBox shown(boxName, state);
    const QString &text = megabyte(shape);
    for (auto _ : state) {
        state.PauseTiming();
        shown.showOrdinary();
        state.ResumeTiming();
        shown.box.SetText(text);
        shown.paint();
    }
    if (shown.box.Text() != text.left(shown.line ? shown.line->maxLength() : text.size()))
        state.SkipWithError("the box does not hold the text");
}

// The toolkit alone: the same box handed the megabyte of ordinary words directly.
void rawShowMegabyte(benchmark::State &state, const char *boxName)
{
    ShownBox shown(boxName, state);
    const QString &text = megabyte("words");
    for (auto _ : state) {
        state.PauseTiming();
        shown.showOrdinary();
        state.ResumeTiming();
        if (shown.line)
            shown.line->setText(text);
        else
            shown.multi->setPlainText(text);
        shown.paint();
    }
}

const char *const kBoxes[] = {"Text1", "Text3", "Text4"};
const char *const kShapes[] = {"unbroken", "words", "lines"};
const std::map<std::string, std::string> kShapeLabels = {
    {"unbroken", "one unbroken word"}, {"words", "words, no line break"}, {"lines", "CR LF lines"}};

// --- Registration and the table -----------------------------------------------------------

using bench::add;
using bench::addPaused;

void registerAll()
{
    for (const char *key : {"small", "large"}) {
        add(std::string("raw/keyed_open/") + key, rawKeyedOpen, key);
        addPaused(std::string("store/open_cold/") + key, 10, storeOpenCold, key);
        add(std::string("store/open_warm/") + key, storeOpenWarm, key);
    }
    for (const char *key : {"small", "large", "single"}) {
        add(std::string("raw/read_names/") + key, rawReadNames, key);
        add(std::string("raw/fill_tree/") + key, rawFillTree, key);
        add(std::string("store/FillCatalogue/") + key, storeFillCatalogue, key);
    }
    add("raw/read_categories/large", rawReadCategories, "large");
    add("raw/fill_categories/large", rawFillCategories, "large");
    add("store/FillCategories/large", storeFillCategories, "large");
    add("raw/read_table_first/large", rawReadTable, "large", false);
    add("raw/read_table_last/large", rawReadTable, "large", true);
    add("raw/show_in_boxes/large", rawShowInBoxes, "large");
    add("store/ShowRecipe_first/large", storeShowRecipe, "large", false);
    add("store/ShowRecipe_last/large", storeShowRecipe, "large", true);
    for (const char *key : {"small", "large", "single", "wide", "million"}) {
        add(std::string("store/AddRecipe+tree/") + key, storeAddRecipe, key);
        addPaused(std::string("store/UpdateRecipe+tree/") + key, 20, storeUpdateRecipe, key, false);
        addPaused(std::string("store/DeleteRecipe+tree/") + key, 20, storeDeleteRecipe, key);
    }
    // Each first change waits on a whole background backup made beforehand, unmeasured.
    addPaused("store/UpdateRecipe_first_of_run/large", 3, storeUpdateRecipe, "large", true)->Repetitions(3);
    // Each first change at a million waits on a copy of 2 GB made beforehand: a few are enough.
    benchmark::RegisterBenchmark("store/UpdateRecipe_first_of_run/million",
                                 [](benchmark::State &state) { storeUpdateRecipe(state, "million", true); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3)
        ->Repetitions(3);
    for (const char *key : {"small", "large", "single", "wide", "million"}) {
        addPaused(std::string("raw/startup/") + key, 5, rawStartup, key);
        addPaused(std::string("raw/startup_first_screen/") + key, 5, rawFirstScreenStartup, key);
        addPaused(std::string("ui/startup/") + key, 5, mainWindowStartup, key);
    }
    for (const char *box : kBoxes) {
        addPaused(std::string("raw/show_megabyte/") + box + "/words", 5, rawShowMegabyte, box);
        for (const char *shape : kShapes)
            addPaused(std::string("ui/show_megabyte/") + box + '/' + shape, 5, showMegabyte, box, std::string(shape));
    }
}

std::vector<bench::TableRow> tableRows()
{
    const std::string fill = "covering-index read + raw tree fill";
    std::vector<bench::TableRow> rows;
    for (const char *key : {"small", "large"}) {
        const std::string k = key;
        rows.push_back({"`OpenStore` + `CloseStore`, cold", k, "store/open_cold/" + k,
                        {"raw/keyed_open/" + k}, "one raw keyed open", 0});
        rows.push_back({"`OpenStore` + `CloseStore`, warm", k, "store/open_warm/" + k,
                        {"store/open_cold/" + k}, "the same, cold", 1.0 / 20});
    }
    for (const char *key : {"small", "large", "single"}) {
        const std::string k = key;
        rows.push_back({"`FillCatalogue`", k, "store/FillCatalogue/" + k,
                        {"raw/read_names/" + k, "raw/fill_tree/" + k}, fill, k == "small" ? 0 : 1.5});
    }
    rows.push_back({"`FillCategories`", "large", "store/FillCategories/large",
                    {"raw/read_categories/large", "raw/fill_categories/large"},
                    "raw catalogue read + raw fill of the categories", 0});
    rows.push_back({"`ShowRecipe`, first of 1,000", "large", "store/ShowRecipe_first/large",
                    {"raw/read_table_first/large"}, "raw read of that table", 0});
    rows.push_back({"`ShowRecipe`, last of 1,000", "large", "store/ShowRecipe_last/large",
                    {"raw/read_table_last/large"}, "raw read of that table", 3});
    rows.push_back({"`ShowRecipe`, last of 1,000", "large", "store/ShowRecipe_last/large",
                    {"raw/read_table_last/large", "raw/show_in_boxes/large"},
                    "raw read of that table + raw fill of the boxes", 0});
    // The tree follows the change row by row: the cost must not grow with the file.
    for (const char *op : {"AddRecipe", "UpdateRecipe", "DeleteRecipe"})
        for (const char *key : {"large", "single", "wide", "million"})
            rows.push_back({std::string("`") + op + "` + the tree's update", key,
                            std::string("store/") + op + "+tree/" + key, {std::string("store/") + op + "+tree/small"},
                            "the same on the small database", 2});
    for (const char *key : {"large", "million"})
        rows.push_back({"`UpdateRecipe`, a run's first change, its backup made in the background meanwhile", key,
                        std::string("store/UpdateRecipe_first_of_run/") + key, {std::string("store/UpdateRecipe+tree/") + key},
                        "a later change of the run", 2});
    for (const char *key : {"small", "large", "single", "wide", "million"}) {
        const std::string k = key;
        rows.push_back({"Start-up to first paint (main window)", k, "ui/startup/" + k, {"raw/startup/" + k},
                        "raw keyed open + covering-index read + bare tree window to first paint", 0});
        rows.push_back({"Start-up to first paint (main window)", k, "ui/startup/" + k, {"raw/startup_first_screen/" + k},
                        "raw keyed open + table list + the last category's last 64 names + bare tree window to first paint",
                        1.5});
    }
    for (const char *box : kBoxes)
        for (const char *shape : kShapes) {
            const std::string b = box;
            rows.push_back({"`SetText` + paint, 1 MB in " + b + ": " + kShapeLabels.at(shape), "-",
                            "ui/show_megabyte/" + b + '/' + shape, {"raw/show_megabyte/" + b + "/words"},
                            "the toolkit showing 1 MB of words in that box", 1.5});
        }
    for (bench::TableRow &row : bench::searchTableRows())
        rows.push_back(std::move(row));
    for (bench::TableRow &row : bench::exchangeTableRows())
        rows.push_back(std::move(row));
    for (bench::TableRow &row : bench::scalingTableRows())
        rows.push_back(std::move(row));
    return rows;
}

std::vector<bench::MemoryRow> memoryRows(const QString &root)
{
    const double idle = bench::measurePeak(QStringLiteral("idle"), root);
    const double rawLarge = bench::measurePeak(QStringLiteral("raw-large"), root);
    const double storeLarge = bench::measurePeak(QStringLiteral("store-large"), root);
    const double rawSingle = bench::measurePeak(QStringLiteral("raw-single"), root);
    const double storeSingle = bench::measurePeak(QStringLiteral("store-single"), root);
    std::vector<bench::MemoryRow> rows = {
        {"Controls and an open store, nothing shown", idle, 0, 0},
        {"Raw read + raw tree, large (100 x 1,000)", rawLarge, 0, 0},
        {"`FillCatalogue`, large (100 x 1,000)", storeLarge, rawLarge, 0},
        {"Raw read + raw tree, single (100,000)", rawSingle, 0, 0},
        {"`FillCatalogue`, single (100,000 shown)", storeSingle, rawSingle, 2},
    };
    // The window as a user starts it, the tree's first screen shown: the same at any size.
    const double windowSmall = bench::measurePeak(QStringLiteral("window-small"), root);
    rows.push_back({"Main window shown, small (10 x 50)", windowSmall, 0, 0});
    for (const char *key : {"large", "wide", "million"}) {
        const QString k = QLatin1String(key);
        rows.push_back({"Main window shown, " + std::string(key) + "; baseline the same, small",
                        bench::measurePeak(QStringLiteral("window-") + k, root), windowSmall, 1.5});
    }
    for (bench::MemoryRow &row : bench::searchMemoryRows(root, storeLarge))
        rows.push_back(std::move(row));
    for (bench::MemoryRow &row : bench::exchangeMemoryRows(root))
        rows.push_back(std::move(row));
    return rows;
}

std::optional<QString> option(std::vector<char *> &args, const char *name)
{
    const std::size_t length = std::strlen(name);
    for (auto it = args.begin(); it != args.end(); ++it)
        if (std::strncmp(*it, name, length) == 0 && ((*it)[length] == '=' || (*it)[length] == '\0')) {
            const QString value = QString::fromLocal8Bit((*it)[length] == '=' ? *it + length + 1 : "");
            args.erase(it);
            return value;
        }
    return std::nullopt;
}

std::string machineLine()
{
    std::string cpu = "unknown processor";
    std::ifstream info("/proc/cpuinfo");
    for (std::string line; std::getline(info, line);)
        if (line.rfind("model name", 0) == 0) {
            cpu = line.substr(line.find(':') + 2);
            break;
        }
    return cpu + ", " + std::to_string(QThread::idealThreadCount()) + " cores; Qt " + qVersion()
        + ", SQLCipher on SQLite " + sqlite3_libversion() + "; " + QSysInfo::prettyProductName().toStdString();
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<char *> args(argv, argv + argc);
    const std::optional<QString> probe = option(args, "--probe");
    const std::optional<QString> dataDir = option(args, "--data-dir");
    const std::optional<QString> tableFile = option(args, "--table");
    const bool memory = !option(args, "--no-memory").has_value();
    int count = static_cast<int>(args.size());
    QApplication app(count, args.data());

    if (probe)
        return bench::runProbe(*probe, dataDir.value_or(QString()));

    std::optional<QTemporaryDir> temporary;
    QString root;
    if (dataDir) {
        root = *dataDir;
    } else {
        temporary.emplace();
        if (!temporary->isValid()) {
            std::cerr << "cannot make a temporary folder\n";
            return 1;
        }
        root = temporary->path();
    }
    // The windows the benchmarks open remember their files; not in the real user's settings.
    const QTemporaryDir settings;
    if (!settings.isValid()) {
        std::cerr << "cannot make a temporary folder for the settings\n";
        return 1;
    }
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settings.path());

    // Unless the command line says otherwise: nine repetitions, whose medians the table shows,
    // run in random order, so that an operation and its baseline meet the same background load.
    std::vector<char *> benchArgs(args.begin(), args.begin() + count);
    std::string defaults[] = {"--benchmark_repetitions=9", "--benchmark_enable_random_interleaving=true"};
    for (std::string &flag : defaults) {
        const std::string name = flag.substr(0, flag.find('='));
        bool given = false;
        for (char *arg : benchArgs)
            given = given || std::strncmp(arg, name.c_str(), name.size()) == 0;
        if (!given)
            benchArgs.push_back(flag.data());
    }
    int benchCount = static_cast<int>(benchArgs.size());
    benchmark::Initialize(&benchCount, benchArgs.data());
    if (benchmark::ReportUnrecognizedArguments(benchCount, benchArgs.data()))
        return 1;

    QElapsedTimer generation;
    generation.start();
    try {
        for (const bench::Shape &shape : bench::shapes())
            databases.emplace(shape.key, bench::prepareDatabase(root, shape));
    } catch (const std::exception &e) {
        std::cerr << "cannot prepare the databases: " << e.what() << '\n';
        return 1;
    }
    std::cerr << "databases ready in " << generation.elapsed() << " ms under " << root.toStdString() << '\n';
    try {
        backUpUnmeasured();
    } catch (const std::exception &e) {
        std::cerr << "cannot back up the databases: " << e.what() << '\n';
        return 1;
    }

    registerAll();
    try {
        bench::registerSearchBenchmarks(databases.at(QStringLiteral("large")), root);
        bench::registerExchangeBenchmarks(databases.at(QStringLiteral("large")), root);
        bench::registerScalingBenchmarks(databases.at(QStringLiteral("large")));
    } catch (const std::exception &e) {
        std::cerr << "cannot register the search and exchange benchmarks: " << e.what() << '\n';
        return 1;
    }
    bench::MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    std::ostringstream table;
    table << machineLine() << "\n\n";
    const bench::Verdict verdict = bench::printTables(
        table, collector, tableRows(), memory ? memoryRows(root) : std::vector<bench::MemoryRow>{});
    table << '\n' << verdict.checked - verdict.missed << " of " << verdict.checked << " targets met.\n";
    std::cout << '\n' << table.str();
    if (tableFile) {
        std::ofstream out(tableFile->toStdString());
        out << table.str();
    }
    return 0;
}
