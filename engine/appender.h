#pragma once
// Adds many rows to one table fast: one prepared statement, bound and run again for each row.
// Works only inside a Transaction of its database, which decides whether the rows last.

#include "engine/field_types.h"
#include "engine/table_columns.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace dao {

class Connection;
class Statement;

class Appender {
public:
    ~Appender();
    Appender(const Appender &) = delete;
    Appender &operator=(const Appender &) = delete;

    int FieldCount() const;
    std::optional<int> FieldLimit(int i) const;  // as Recordset::FieldLimit

    // Appends a row with values, as text, in the first values.size() fields, and returns its row
    // number. A value the field cannot hold is refused, as Recordset::Update refuses it, before
    // anything is written.
    std::int64_t Append(const std::vector<QString> &values);
    // As Append, with the row number given: a row put back where it was keeps its place in the
    // stored order. Throws when a row has that number.
    void AppendAt(std::int64_t row, const std::vector<QString> &values);
    // The first count fields of the row, as stored; throws when there is no such row.
    std::vector<Value> Read(std::int64_t row, int count) const;

private:
    // The values' count, once it fits the table and each value its column; throws, action first.
    int checkedWidth(const std::vector<QString> &values, const QString &action) const;
    friend class Database;
    // Only inside a transaction on the connection; table is spelled as the file spells it.
    Appender(std::shared_ptr<Connection> connection, const QString &table);

    std::shared_ptr<Connection> connection_;
    QString table_;
    std::vector<ColumnInfo> columns_;
    QString rowidName_;
    std::unique_ptr<Statement> insert_;  // for the number of fields last appended
    int insertWidth_ = -1;
    mutable std::unique_ptr<Statement> reader_;
    mutable int readerWidth_ = -1;
};

}  // namespace dao
