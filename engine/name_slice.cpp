#include "engine/name_slice.h"

#include "engine/connection.h"
#include "engine/engine_error.h"
#include "engine/names.h"
#include "engine/statement.h"
#include "engine/table_columns.h"

#include <vector>

namespace dao::name_slice {

int read(Connection &connection, const QString &table, std::int64_t from, bool backwards, int limit,
         const std::function<void(std::int64_t, const Value &)> &fn)
{
    const QString action = QStringLiteral("Cannot read the category ") + table;
    const std::vector<ColumnInfo> columns = categoryColumns(connection, table, action);
    const QString rowid = rowidName(columns, action);
    Statement slice(connection,
                    QStringLiteral("SELECT ") + rowid + QStringLiteral(", ") + names::quoted(columns.front().name)
                        + QStringLiteral(" FROM ") + names::quoted(table) + QStringLiteral(" WHERE ") + rowid
                        + (backwards ? QStringLiteral(" < ?1 ORDER BY %1 DESC").arg(rowid)
                                     : QStringLiteral(" > ?1 ORDER BY %1").arg(rowid))
                        + QStringLiteral(" LIMIT ?2"),
                    action);
    slice.bindInt64(1, from);
    slice.bindInt64(2, limit);
    int read = 0;
    while (slice.step()) {
        fn(slice.int64(0), slice.text(1));
        ++read;
    }
    return read;
}

std::int64_t count(Connection &connection, const QString &table)
{
    const QString action = QStringLiteral("Cannot count the recipes of the category ") + table;
    categoryColumns(connection, table, action);
    Statement rows(connection, QStringLiteral("SELECT count(*) FROM ") + names::quoted(table), action);
    return rows.step() ? rows.int64(0) : 0;
}

std::int64_t span(Connection &connection, const QString &table)
{
    const QString action = QStringLiteral("Cannot count the recipes of the category ") + table;
    const QString rowid = rowidName(categoryColumns(connection, table, action), action);
    // One aggregate a subquery each, so that SQLite finds each end by one seek.
    const QString quoted = names::quoted(table);
    Statement ends(connection,
                   QStringLiteral("SELECT coalesce((SELECT max(%1) FROM %2) - (SELECT min(%1) FROM %2) + 1, 0)")
                       .arg(rowid, quoted),
                   action);
    return ends.step() ? ends.int64(0) : 0;
}

}  // namespace dao::name_slice
