#pragma once
// What a table holds, in a few numbers: how many rows, the highest row number, a sum of the row
// numbers, one of the first column's lengths, and a checksum of every field of every row. Any
// change to a row changes the checksum, save for a chance of one in 2^64: an edit by another
// program that keeps every row number and length is seen too. The mark costs one statement that
// reads the whole table, so a caller takes it only when the file has changed at all.
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
    std::int64_t contents = 0;  // a sum of a hash of each row's number and fields
    friend bool operator==(const TableMark &, const TableMark &) = default;

    // The mark of table, spelled as the file spells it. Throws EngineError naming the table.
    static TableMark of(Connection &connection, const QString &table);
    // Up to limit rows of table after row number after, in row-number order, each with its
    // fields in column order. Returns how many were read.
    static int readSlice(Connection &connection, const QString &table, std::int64_t after, int limit,
                         const std::function<void(std::int64_t row, const std::vector<Value> &fields)> &fn);
};

}  // namespace dao
