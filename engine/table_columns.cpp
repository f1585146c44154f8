#include "engine/table_columns.h"

#include "engine/connection.h"
#include "engine/engine_error.h"
#include "engine/names.h"
#include "engine/statement.h"

#include <algorithm>

namespace dao {

std::vector<ColumnInfo> tableColumns(Connection &connection, const QString &table, const QString &action)
{
    std::vector<ColumnInfo> columns;
    Statement info(connection, QStringLiteral("PRAGMA table_info(") + names::quoted(table) + QLatin1Char(')'),
                   action);
    while (info.step()) {
        const QString declared = info.text(2).value_or(QString());
        columns.push_back({info.text(1).value_or(QString()), names::declaredLengthLimit(declared)});
    }
    return columns;
}

std::vector<ColumnInfo> categoryColumns(Connection &connection, const QString &table, const QString &action)
{
    std::vector<ColumnInfo> columns = tableColumns(connection, table, action);
    if (columns.empty())
        throw EngineError(QStringLiteral("There is no category named %1 in the recipe database %2.")
                              .arg(table, connection.path()));
    return columns;
}

QString rowidName(const std::vector<ColumnInfo> &columns, const QString &action)
{
    for (const QString &candidate : {QStringLiteral("rowid"), QStringLiteral("_rowid_"), QStringLiteral("oid")}) {
        const bool taken = std::any_of(columns.begin(), columns.end(), [&](const ColumnInfo &c) {
            return c.name.compare(candidate, Qt::CaseInsensitive) == 0;
        });
        if (!taken)
            return candidate;
    }
    throw EngineError(action + QStringLiteral(": its columns hide the row numbers."));
}

void checkValue(const ColumnInfo &column, const QString &value)
{
    if (!value.isValidUtf16())
        throw EngineError(QStringLiteral("The value of %1 contains a broken character and cannot be stored.")
                              .arg(column.name));
    if (!column.limit)
        return;
    const int length = names::codePointCount(value);
    if (length > *column.limit)
        throw EngineError(QStringLiteral("The value of %1 is %2 characters long; it holds at most %3.")
                              .arg(column.name, QString::number(length), QString::number(*column.limit)));
}

}  // namespace dao
