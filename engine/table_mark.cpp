#include "engine/table_mark.h"

#include "engine/connection.h"
#include "engine/engine_error.h"
#include "engine/names.h"
#include "engine/statement.h"
#include "engine/table_columns.h"

#include <QStringList>

namespace dao {

namespace {

std::vector<ColumnInfo> columnsOf(Connection &connection, const QString &table, const QString &action)
{
    std::vector<ColumnInfo> columns = tableColumns(connection, table, action);
    if (columns.empty())
        throw EngineError(QStringLiteral("There is no category named %1 in the recipe database %2.")
                              .arg(table, connection.path()));
    return columns;
}

}  // namespace

TableMark TableMark::of(Connection &connection, const QString &table)
{
    const QString action = QStringLiteral("Cannot read the category ") + table;
    const std::vector<ColumnInfo> columns = columnsOf(connection, table, action);
    const QString rowid = rowidName(columns, action);
    // Row numbers are taken modulo 2^32 so that the sum cannot overflow for any row count
    // SQLite allows.
    Statement mark(connection,
                   QStringLiteral("SELECT count(*), coalesce(max(") + rowid + QStringLiteral("), 0), coalesce(sum(")
                       + rowid + QStringLiteral(" % 4294967296), 0), coalesce(sum(length(")
                       + names::quoted(columns.front().name) + QStringLiteral(")), 0) FROM ")
                       + names::quoted(table),
                   action);
    if (!mark.step())
        return {};
    TableMark out{mark.int64(0), mark.int64(1), mark.int64(2), mark.int64(3)};
    mark.reset();
    return out;
}

int TableMark::readSlice(Connection &connection, const QString &table, std::int64_t after, int limit,
                         const std::function<void(std::int64_t, const std::vector<Value> &)> &fn)
{
    const QString action = QStringLiteral("Cannot read the category ") + table;
    const std::vector<ColumnInfo> columns = columnsOf(connection, table, action);
    const QString rowid = rowidName(columns, action);
    QStringList quoted;
    for (const ColumnInfo &column : columns)
        quoted.append(names::quoted(column.name));
    Statement slice(connection,
                    QStringLiteral("SELECT ") + rowid + QStringLiteral(", ") + quoted.join(QStringLiteral(", "))
                        + QStringLiteral(" FROM ") + names::quoted(table) + QStringLiteral(" WHERE ") + rowid
                        + QStringLiteral(" > ?1 ORDER BY ") + rowid + QStringLiteral(" LIMIT ?2"),
                    action);
    slice.bindInt64(1, after);
    slice.bindInt64(2, limit);
    std::vector<Value> fields(columns.size());
    int read = 0;
    while (slice.step()) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            fields[i] = slice.text(static_cast<int>(i) + 1);
        fn(slice.int64(0), fields);
        ++read;
    }
    return read;
}

}  // namespace dao
