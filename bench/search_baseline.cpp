#include "bench/search_baseline.h"

#include "bench/raw_sqlcipher.h"

#include <QFile>
#include <QTreeWidget>

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <stdexcept>

namespace bench {

const char *const kRawIndexDeclaration =
    "CREATE VIRTUAL TABLE words USING fts4(name, author, ingredients, instructions, "
    "tokenize=unicode61 \"remove_diacritics=1\")";

namespace {

[[noreturn]] void fail(sqlite3 *db, const std::string &what)
{
    throw std::runtime_error(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

void exec(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(db, sql);
}

struct Closer {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};

// Binds a column's text with the blanks at both ends left off, without copying it: the value
// stays valid until the reading statement steps again.
void bindTrimmed(sqlite3_stmt *to, int parameter, sqlite3_stmt *from, int column)
{
    const char *begin = reinterpret_cast<const char *>(sqlite3_column_text(from, column));
    const char *end = begin ? begin + sqlite3_column_bytes(from, column) : begin;
    if (!begin)
        begin = end = "";
    while (begin < end && *begin == ' ')
        ++begin;
    while (end > begin && end[-1] == ' ')
        --end;
    sqlite3_bind_text(to, parameter, begin, static_cast<int>(end - begin), SQLITE_STATIC);
}

QString columnText(sqlite3_stmt *stmt, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}

bool catalogueLess(const QString &a, const QString &b)
{
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

}  // namespace

int buildRawIndex(RawConnection &recipes, const QString &target, const QString &password)
{
    const bool inMemory = target == QLatin1String(":memory:");
    sqlite3 *handle = nullptr;
    const int opened = sqlite3_open_v2(inMemory ? ":memory:" : QFile::encodeName(target).constData(), &handle,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const std::unique_ptr<sqlite3, Closer> db(handle);
    if (opened != SQLITE_OK)
        fail(handle, "cannot open " + target.toStdString());
    if (!inMemory) {
        const QByteArray key = password.toUtf8();
        if (sqlite3_key(handle, key.constData(), static_cast<int>(key.size())) != SQLITE_OK)
            fail(handle, "cannot key " + target.toStdString());
    }
    exec(handle, kRawIndexDeclaration);

    sqlite3_stmt *insert = nullptr;
    if (sqlite3_prepare_v2(handle,
                           "INSERT INTO words (docid, name, author, ingredients, instructions) "
                           "VALUES (?1, ?2, ?3, ?4, ?5)",
                           -1, &insert, nullptr)
        != SQLITE_OK)
        fail(handle, "cannot prepare the insert");
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> insertOwner(insert, sqlite3_finalize);

    int count = 0;
    std::int64_t table = 0;
    for (const QString &category : readCategoryNames(recipes)) {
        sqlite3_stmt *read = recipes.prepare("SELECT rowid, Name, Author, Ingredients, Instructions FROM "
                                             + quoted(category.toStdString()));
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> readOwner(read, sqlite3_finalize);
        exec(handle, "BEGIN");
        int rc;
        while ((rc = sqlite3_step(read)) == SQLITE_ROW) {
            // The category's place in the list and the row number: all a match needs to be found.
            sqlite3_bind_int64(insert, 1, (table << 32) | sqlite3_column_int64(read, 0));
            for (int field = 1; field <= 4; ++field)
                bindTrimmed(insert, field + 1, read, field);
            if (sqlite3_step(insert) != SQLITE_DONE)
                fail(handle, "cannot index " + category.toStdString());
            sqlite3_reset(insert);
            ++count;
        }
        if (rc != SQLITE_DONE)
            recipes.fail("cannot read " + category.toStdString());
        exec(handle, "COMMIT");
        ++table;
    }
    return count;
}

RawMatch::RawMatch(RawConnection &index)
    : index_(index),
      stmt_(index.prepare("SELECT d.category, d.row, d.name FROM words JOIN docs AS d ON d.docid = words.docid "
                          "WHERE words MATCH ?1"))
{
}

RawMatch::~RawMatch() { sqlite3_finalize(stmt_); }

std::vector<RawCategory> RawMatch::run(const std::string &expression)
{
    struct Group {
        QString name;
        QStringList names;
        std::vector<std::int64_t> rows;
    };
    std::vector<Group> groups;
    // Matches come in document order, a category's rows mostly together: its name is decoded
    // and looked up only where the category changes.
    std::string lastCategory;
    std::size_t current = 0;
    sqlite3_bind_text(stmt_, 1, expression.data(), static_cast<int>(expression.size()), SQLITE_STATIC);
    int rc;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
        const char *category = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, 0));
        const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(stmt_, 0));
        if (groups.empty() || lastCategory.compare(0, std::string::npos, category, bytes) != 0) {
            lastCategory.assign(category, bytes);
            const QString name = QString::fromUtf8(category, static_cast<qsizetype>(bytes));
            const auto found = std::find_if(groups.begin(), groups.end(), [&](const Group &g) { return g.name == name; });
            current = static_cast<std::size_t>(found - groups.begin());
            if (found == groups.end())
                groups.push_back({name, {}, {}});
        }
        groups[current].rows.push_back(sqlite3_column_int64(stmt_, 1));
        groups[current].names.append(columnText(stmt_, 2));
    }
    sqlite3_reset(stmt_);
    if (rc != SQLITE_DONE)
        index_.fail("MATCH " + expression);

    std::vector<std::size_t> order(groups.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return catalogueLess(groups[a].name, groups[b].name); });
    std::vector<RawCategory> matches;
    matches.reserve(groups.size());
    for (const std::size_t g : order) {
        Group &group = groups[g];
        if (std::is_sorted(group.rows.begin(), group.rows.end())) {
            matches.push_back({std::move(group.name), std::move(group.names)});
            continue;
        }
        // Documents of a category added later, or written again, come after the others.
        std::vector<qsizetype> byRow(group.rows.size());
        std::iota(byRow.begin(), byRow.end(), qsizetype{0});
        std::sort(byRow.begin(), byRow.end(), [&](qsizetype a, qsizetype b) {
            return group.rows[static_cast<std::size_t>(a)] < group.rows[static_cast<std::size_t>(b)];
        });
        QStringList names;
        names.reserve(group.names.size());
        for (const qsizetype i : byRow)
            names.append(group.names[i]);
        matches.push_back({std::move(group.name), std::move(names)});
    }
    return matches;
}

void fillMatchTree(QTreeWidget &tree, const TreeIcons &icons, const std::vector<RawCategory> &matches)
{
    tree.clear();
    // Built whole before the widget sees it, then expanded: nothing is announced one by one.
    auto *root = new QTreeWidgetItem(QStringList{QStringLiteral("Saporium")});
    root->setIcon(0, icons.root);
    QList<QTreeWidgetItem *> nodes;
    nodes.reserve(static_cast<qsizetype>(matches.size()));
    for (const RawCategory &category : matches) {
        auto *node = new QTreeWidgetItem(QStringList{category.name});
        node->setIcon(0, icons.category);
        node->addChildren(recipeNodes(category.recipes, icons.recipe));
        nodes.append(node);
    }
    root->addChildren(nodes);
    tree.addTopLevelItem(root);
    root->setExpanded(true);
    for (QTreeWidgetItem *node : std::as_const(nodes))
        node->setExpanded(true);
    tree.scrollToItem(root);
}

}  // namespace bench
