// Recordset: the rows of one table, addressed by row number (rowid) and column ordinal.

#include "engine/recordset.h"
#include "engine/engine_error.h"

#include "engine/connection.h"
#include "engine/names.h"
#include "engine/statement.h"
#include "engine/table_columns.h"
#include "engine/write_scope.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <cstdint>

namespace dao {

struct Recordset::Impl {
    using Column = ColumnInfo;
    struct Row {
        std::int64_t rowid;
        Value first;      // the first column, read with the row numbers
        bool firstKnown;  // false for a new row whose first value the table chose (a default)
        bool deleted;
    };
    enum class Pending { None, Adding, Editing };

    std::shared_ptr<Connection> conn;
    QString table;
    QString rowidName;  // rowid, or an alias when a column took that name
    std::vector<Column> columns;
    std::vector<Row> rows;
    std::size_t current = 0;  // == rows.size(): past the end, no current row
    int liveRows = 0;
    Pending pending = Pending::None;
    std::vector<std::optional<QString>> pendingValues;
    std::optional<std::int64_t> lastModified;
    // One reader per column, prepared on first use and kept: rows are read one by one.
    mutable std::vector<std::unique_ptr<Statement>> readers;

    Connection &live() const
    {
        if (!conn)
            throw EngineError(QStringLiteral("The category %1 is closed.").arg(table));
        return *conn;
    }
    const Row &currentRow() const
    {
        live();
        if (current >= rows.size())
            throw EngineError(QStringLiteral("There is no current recipe in the category %1.").arg(table));
        if (rows[current].deleted)
            throw EngineError(
                QStringLiteral("The current recipe of the category %1 has been deleted.").arg(table));
        return rows[current];
    }
    void checkOrdinal(int i) const
    {
        if (i < 0 || static_cast<std::size_t>(i) >= columns.size())
            throw EngineError(QStringLiteral("The category %1 has no field number %2; its fields are "
                                             "numbered 0 to %3.")
                                  .arg(table, QString::number(i),
                                       QString::number(static_cast<int>(columns.size()) - 1)));
    }
    [[noreturn]] void rowGone() const
    {
        throw EngineError(QStringLiteral("A recipe of the category %1 was deleted by another program "
                                         "after the category was opened. Open it again to see its "
                                         "recipes as they are now.")
                              .arg(table),
                          EngineError::Kind::RecipeChanged);
    }
    // Runs write in one write transaction, or in a savepoint inside the caller's transaction. A
    // change to an existing row goes ahead only if the row still holds the first value read when
    // the category was opened: another program may have deleted it and SQLite handed its number
    // to a new row. The first-column index readers rely on is made here, for a table this program
    // writes to, and never while viewing.
    template <typename Write>
    void writeInTransaction(const QString &action, const Row *existing, Write &&write)
    {
        Connection &c = live();
        c.ensureSameFile(action);
        WriteScope scope(c, action);
        if (existing) {
            const Value now = read(0, existing->rowid);  // throws when the row is gone
            if (existing->firstKnown && now != existing->first)
                throw EngineError(QStringLiteral("A recipe of the category %1 was changed by another "
                                                 "program after the category was opened, so nothing "
                                                 "was written. Open it again to see its recipes as "
                                                 "they are now.")
                                      .arg(table),
                                  EngineError::Kind::RecipeChanged);
        }
        c.ensureFirstColumnIndex(table, columns.front().name);
        write();
        scope.commit();
    }
    Value read(int i, std::int64_t rowid) const
    {
        std::unique_ptr<Statement> &reader = readers[static_cast<std::size_t>(i)];
        if (!reader)
            reader = std::make_unique<Statement>(
                *conn,
                QStringLiteral("SELECT ") + names::quoted(columns[static_cast<std::size_t>(i)].name)
                    + QStringLiteral(" FROM ") + names::quoted(table) + QStringLiteral(" WHERE ")
                    + rowidName + QStringLiteral(" = ?1"),
                QStringLiteral("Cannot read a recipe of the category ") + table);
        reader->bindInt64(1, rowid);
        if (!reader->step())
            rowGone();
        Value value = reader->text(0);
        reader->reset();
        return value;
    }
    void checkValues() const
    {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (pendingValues[i])
                checkValue(columns[i], *pendingValues[i]);
    }
    void cancelPending()
    {
        pending = Pending::None;
        std::fill(pendingValues.begin(), pendingValues.end(), std::nullopt);
    }
};

Recordset::Recordset(std::unique_ptr<Impl> impl) : d_(std::move(impl)) {}

Recordset::~Recordset() = default;

namespace {

// Whether a first field read from the file, spaces trimmed from both ends, is trimmed; a null
// never is.
bool trimmedEquals(const Value &value, const QString &trimmed)
{
    if (!value)
        return false;
    QStringView text(*value);
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text == trimmed;
}

}  // namespace

std::unique_ptr<Recordset> Recordset::open(std::shared_ptr<Connection> connection, const QString &table,
                                           Rows which, const QString &trimmed)
{
    auto impl = std::make_unique<Impl>();
    impl->conn = std::move(connection);
    impl->table = table;
    Connection &conn = *impl->conn;
    const QString action = QStringLiteral("Cannot open the category ") + table;

    impl->columns = tableColumns(conn, table, action);
    if (impl->columns.empty())
        throw EngineError(QStringLiteral("There is no category named %1 in the recipe database %2.")
                              .arg(table, conn.path()));
    impl->rowidName = rowidName(impl->columns, action);

    const QString first = names::quoted(impl->columns.front().name);
    const QString select = QStringLiteral("SELECT ") + impl->rowidName + QStringLiteral(", ") + first
        + QStringLiteral(" FROM ") + names::quoted(table);
    if (which == Rows::All) {
        // No ORDER BY: SQLite may then scan the index on the first column, which leaves the
        // pages of the long texts unread; the rows are put in stored order below instead.
        Statement scan(conn, select, action);
        while (scan.step())
            impl->rows.push_back({scan.int64(0), scan.text(1), true, false});
    } else if (which == Rows::Matching) {
        // Look-ups in the first column's index, so that the cost follows the matching names,
        // not the table. A match is the wanted text with k spaces after it, for k = 0, 1, ...
        // while some name goes on with a further space (past kMostSpaces, the rest are read as
        // one range); or a name that starts with a space (written so by another program); or a
        // value stored as a number or a blob, which sort before and after every text. Each
        // candidate is checked exactly here.
        conn.ensureFirstColumnIndex(table, impl->columns.front().name);
        const auto collect = [&](const QString &where, const QStringList &values) {
            Statement find(conn, select + QStringLiteral(" WHERE ") + where, action);
            for (int n = 0; n < values.size(); ++n)
                find.bindText(n + 1, values[n]);
            while (find.step()) {
                Value value = find.text(1);
                if (trimmedEquals(value, trimmed))
                    impl->rows.push_back({find.int64(0), std::move(value), true, false});
            }
        };
        const auto anyStartingWith = [&](const QString &start) {
            Statement probe(conn,
                            QStringLiteral("SELECT 1 FROM ") + names::quoted(table) + QStringLiteral(" WHERE ") + first
                                + QStringLiteral(" >= ?1 AND ") + first + QStringLiteral(" < ?2 LIMIT 1"),
                            action);
            // Every text that starts with start sorts from start up to start with a '!' after it.
            probe.bindText(1, start);
            probe.bindText(2, start.chopped(1) + QLatin1Char('!'));
            const bool found = probe.step();
            probe.reset();
            return found;
        };
        const QString trimTest = QStringLiteral(" AND trim(") + first + QStringLiteral(", ' ') = ?3");
        constexpr int kMostSpaces = 16;
        for (QString name = trimmed;; name += QLatin1Char(' ')) {
            if (name.size() - trimmed.size() == kMostSpaces) {
                collect(first + QStringLiteral(" >= ?1 AND ") + first + QStringLiteral(" < ?2") + trimTest,
                        {name, name.chopped(1) + QLatin1Char('!'), trimmed});
                break;
            }
            collect(first + QStringLiteral(" = ?1"), {name});
            if (!anyStartingWith(name + QLatin1Char(' ')))
                break;
        }
        collect(first + QStringLiteral(" >= ' ' AND ") + first + QStringLiteral(" < '!' AND trim(") + first
                    + QStringLiteral(", ' ') = ?1"),
                {trimmed});
        collect(first + QStringLiteral(" < ''"), {});
        collect(first + QStringLiteral(" >= x''"), {});
    }
    const auto byRowid = [](const Impl::Row &a, const Impl::Row &b) { return a.rowid < b.rowid; };
    if (!std::is_sorted(impl->rows.begin(), impl->rows.end(), byRowid))
        std::sort(impl->rows.begin(), impl->rows.end(), byRowid);
    // An empty wanted text puts a name of spaces in two ranges.
    const auto sameRow = [](const Impl::Row &a, const Impl::Row &b) { return a.rowid == b.rowid; };
    impl->rows.erase(std::unique(impl->rows.begin(), impl->rows.end(), sameRow), impl->rows.end());

    impl->liveRows = static_cast<int>(impl->rows.size());
    impl->pendingValues.resize(impl->columns.size());
    impl->readers.resize(impl->columns.size());
    return std::unique_ptr<Recordset>(new Recordset(std::move(impl)));
}

int Recordset::RecordCount() const
{
    d_->live();
    return d_->liveRows;
}

void Recordset::MoveFirst()
{
    d_->live();
    d_->cancelPending();
    const auto first = std::find_if(d_->rows.begin(), d_->rows.end(), [](const Impl::Row &r) { return !r.deleted; });
    if (first == d_->rows.end())
        throw EngineError(QStringLiteral("The category %1 holds no recipes.").arg(d_->table));
    d_->current = static_cast<std::size_t>(first - d_->rows.begin());
}

void Recordset::MoveNext()
{
    d_->live();
    if (d_->current >= d_->rows.size())
        throw EngineError(
            QStringLiteral("There is no further recipe in the category %1.").arg(d_->table));
    d_->cancelPending();
    do
        ++d_->current;
    while (d_->current < d_->rows.size() && d_->rows[d_->current].deleted);
}

Value Recordset::Fields(int i) const
{
    d_->live();
    d_->checkOrdinal(i);
    const auto column = static_cast<std::size_t>(i);
    if (d_->pending != Impl::Pending::None && d_->pendingValues[column])
        return d_->pendingValues[column];
    if (d_->pending == Impl::Pending::Adding)
        return std::nullopt;
    const Impl::Row &row = d_->currentRow();
    if (i == 0 && row.firstKnown)
        return row.first;
    return d_->read(i, row.rowid);
}

void Recordset::SetField(int i, const QString &value)
{
    d_->live();
    d_->checkOrdinal(i);
    if (d_->pending == Impl::Pending::None)
        throw EngineError(QStringLiteral("A recipe of the category %1 can be changed only after "
                                         "starting to add or edit one.")
                              .arg(d_->table));
    d_->pendingValues[static_cast<std::size_t>(i)] = value;
}

void Recordset::AddNew()
{
    d_->live();
    d_->cancelPending();
    d_->pending = Impl::Pending::Adding;
}

void Recordset::Edit()
{
    d_->currentRow();
    d_->cancelPending();
    d_->pending = Impl::Pending::Editing;
}

void Recordset::Update()
{
    Connection &conn = d_->live();
    if (d_->pending == Impl::Pending::None)
        throw EngineError(QStringLiteral("There is no added or edited recipe of the category %1 to "
                                         "save.")
                              .arg(d_->table));
    const bool adding = d_->pending == Impl::Pending::Adding;
    const std::int64_t rowid = adding ? 0 : d_->currentRow().rowid;
    d_->checkValues();

    QStringList columns;
    QStringList values;
    for (std::size_t i = 0; i < d_->columns.size(); ++i)
        if (d_->pendingValues[i]) {
            columns.append(names::quoted(d_->columns[i].name));
            values.append(d_->pendingValues[i].value());
        }
    if (!adding && columns.isEmpty()) {
        d_->cancelPending();
        return;
    }

    const QString action = (adding ? QStringLiteral("Cannot add the recipe to the category ")
                                   : QStringLiteral("Cannot save the recipe in the category "))
        + d_->table;
    // Built by concatenation: names may hold anything, '%' included, and reach SQL only quoted.
    const QString table = names::quoted(d_->table);
    QString sql;
    if (adding && columns.isEmpty()) {
        sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" DEFAULT VALUES");
    } else if (adding) {
        QStringList placeholders;
        for (qsizetype n = 1; n <= columns.size(); ++n)
            placeholders.append(QLatin1Char('?') + QString::number(n));
        sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (")
            + columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (")
            + placeholders.join(QStringLiteral(", ")) + QLatin1Char(')');
    } else {
        QStringList assignments;
        for (qsizetype n = 0; n < columns.size(); ++n)
            assignments.append(columns[n] + QStringLiteral(" = ?") + QString::number(n + 1));
        sql = QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ")
            + assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + d_->rowidName
            + QStringLiteral(" = ?") + QString::number(columns.size() + 1);
    }
    std::int64_t added = 0;
    d_->writeInTransaction(action, adding ? nullptr : &d_->rows[d_->current], [&] {
        Statement write(conn, sql, action);
        for (int n = 0; n < values.size(); ++n)
            write.bindText(n + 1, values[n]);
        if (!adding)
            write.bindInt64(static_cast<int>(values.size()) + 1, rowid);
        write.run();
        if (adding)
            added = static_cast<std::int64_t>(sqlite3_last_insert_rowid(conn.handle()));
        else if (sqlite3_changes(conn.handle()) == 0)
            d_->rowGone();
    });

    d_->lastModified = adding ? added : rowid;
    const std::optional<QString> &first = d_->pendingValues.front();
    if (adding) {
        const bool wasPastEnd = d_->current >= d_->rows.size();
        d_->rows.push_back({added, first, first.has_value(), false});
        ++d_->liveRows;
        if (wasPastEnd)
            d_->current = d_->rows.size();
    } else if (first) {
        d_->rows[d_->current].first = first;
    }
    d_->cancelPending();
}

namespace {

void scanAll(Connection &conn, const QString &table, const std::vector<ColumnInfo> &columns, const QString &rowidName,
             const std::function<void(std::int64_t, const std::vector<Value> &)> &fn)
{
    QStringList quoted;
    for (const ColumnInfo &column : columns)
        quoted.append(names::quoted(column.name));
    Statement scan(conn,
                   QStringLiteral("SELECT ") + rowidName + QStringLiteral(", ") + quoted.join(QStringLiteral(", "))
                       + QStringLiteral(" FROM ") + names::quoted(table) + QStringLiteral(" ORDER BY ") + rowidName,
                   QStringLiteral("Cannot read the category ") + table);
    std::vector<Value> fields(columns.size());
    while (scan.step()) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            fields[i] = scan.text(static_cast<int>(i) + 1);
        fn(scan.int64(0), fields);
    }
}

}  // namespace

void Recordset::ReadAll(const std::function<void(std::int64_t, const std::vector<Value> &)> &fn) const
{
    scanAll(d_->live(), d_->table, d_->columns, d_->rowidName, fn);
}

void Recordset::readTable(Connection &conn, const QString &table,
                          const std::function<void(std::int64_t, const std::vector<Value> &)> &fn)
{
    const QString action = QStringLiteral("Cannot open the category ") + table;
    const std::vector<ColumnInfo> columns = tableColumns(conn, table, action);
    if (columns.empty())
        throw EngineError(QStringLiteral("There is no category named %1 in the recipe database %2.")
                              .arg(table, conn.path()));
    scanAll(conn, table, columns, rowidName(columns, action), fn);
}

std::int64_t Recordset::Bookmark() const { return d_->currentRow().rowid; }

std::int64_t Recordset::LastModified() const
{
    d_->live();
    if (!d_->lastModified)
        throw EngineError(QStringLiteral("No recipe of the category %1 has been saved yet.").arg(d_->table));
    return *d_->lastModified;
}

void Recordset::CancelUpdate()
{
    d_->live();
    d_->cancelPending();
}

void Recordset::Delete()
{
    Connection &conn = d_->live();
    const std::int64_t rowid = d_->currentRow().rowid;
    d_->cancelPending();
    const QString action = QStringLiteral("Cannot delete the recipe from the category ") + d_->table;
    d_->writeInTransaction(action, &d_->rows[d_->current], [&] {
        Statement remove(conn,
                         QStringLiteral("DELETE FROM ") + names::quoted(d_->table)
                             + QStringLiteral(" WHERE ") + d_->rowidName + QStringLiteral(" = ?1"),
                         action);
        remove.bindInt64(1, rowid);
        remove.run();
    });
    d_->rows[d_->current].deleted = true;
    --d_->liveRows;
}

void Recordset::Close()
{
    if (!d_->conn)
        return;
    d_->readers.clear();
    d_->conn.reset();
}

bool Recordset::IsOpen() const { return d_->conn != nullptr; }

int Recordset::FieldCount() const
{
    d_->live();
    return static_cast<int>(d_->columns.size());
}

QString Recordset::FieldName(int i) const
{
    d_->live();
    d_->checkOrdinal(i);
    return d_->columns[static_cast<std::size_t>(i)].name;
}

std::optional<int> Recordset::FieldLimit(int i) const
{
    d_->live();
    d_->checkOrdinal(i);
    return d_->columns[static_cast<std::size_t>(i)].limit;
}

}  // namespace dao
