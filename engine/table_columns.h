#pragma once
// A table's columns as the file declares them, and the check every value written into one passes.

#include <QString>

#include <optional>
#include <vector>

namespace dao {

class Connection;

struct ColumnInfo {
    QString name;
    std::optional<int> limit;  // characters, from the declared type
};

// The table's columns in order; empty when there is no such table. action starts any message.
std::vector<ColumnInfo> tableColumns(Connection &connection, const QString &table, const QString &action);

// As tableColumns, for a category that must be there: throws EngineError naming it when not.
std::vector<ColumnInfo> categoryColumns(Connection &connection, const QString &table, const QString &action);

// The name the table's row numbers can be read by: rowid, or another alias of it when a column
// took that name. Throws, action first, when the columns take all three.
QString rowidName(const std::vector<ColumnInfo> &columns, const QString &action);

// Throws EngineError when the value cannot be stored in the column as given: a broken character
// (SQLite would mend a lone surrogate by swallowing the character after it), or more characters
// than the declared type holds.
void checkValue(const ColumnInfo &column, const QString &value);

}  // namespace dao
