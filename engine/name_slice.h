#pragma once
// Reading a table's first field (the recipe name) by row number, from either end, and counting
// its rows: what a view needs to show the rows it scrolls to without reading those before them.
// Each call is one statement on the connection and holds no lock after it.

#include "engine/field_types.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace dao {

class Connection;

namespace name_slice {

// Up to limit rows' numbers and first fields: after row number from in rising order, or, with
// backwards, before it in falling order. Returns how many were read. Throws EngineError.
int read(Connection &connection, const QString &table, std::int64_t from, bool backwards, int limit,
         const std::function<void(std::int64_t row, const Value &name)> &fn);
// The number of rows. Reads every page of the table's smallest index. Throws EngineError.
std::int64_t count(Connection &connection, const QString &table);
// How many row numbers lie from the lowest to the highest, both included (0 for no rows): at
// least the number of rows, and equal to it while none between was deleted. Two index seeks.
// Throws EngineError.
std::int64_t span(Connection &connection, const QString &table);

}  // namespace name_slice
}  // namespace dao
