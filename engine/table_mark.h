#pragma once
// What a table looks like from outside without reading its rows: how many there are, the
// highest row number, a sum of the row numbers and one of the first column's lengths. Each is
// answered by SQLite from the table's smallest index (the first column's, which the engine
// gives its tables), so a mark costs one statement and none of the long texts are decrypted.
// Adding or deleting a row changes the mark; so does renaming a recipe, unless the new name
// has the old one's length; an edit that keeps every row number and name length does not.
//
// Also the table's rows a bounded slice at a time, for work that must stay far below the
// engine's statement time limit however large the table is.

#include "engine/field_types.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace dao {

class Connection;

struct TableMark {
    std::int64_t rows = 0;
    std::int64_t lastRow = 0;
    std::int64_t rowSum = 0;
    std::int64_t firstLengths = 0;
    friend bool operator==(const TableMark &, const TableMark &) = default;

    // The mark of table, spelled as the file spells it. Throws EngineError naming the table.
    static TableMark of(Connection &connection, const QString &table);
    // Up to limit rows of table after row number after, in row-number order, each with its
    // fields in column order. Returns how many were read.
    static int readSlice(Connection &connection, const QString &table, std::int64_t after, int limit,
                         const std::function<void(std::int64_t row, const std::vector<Value> &fields)> &fn);
};

}  // namespace dao
