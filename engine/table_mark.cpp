#include "engine/table_mark.h"

#include "engine/connection.h"
#include "engine/engine_error.h"
#include "engine/names.h"
#include "engine/statement.h"
#include "engine/table_columns.h"

#include <QStringList>

#include <sqlcipher/sqlite3.h>

#include <cstring>

namespace dao {

namespace {

// FNV-1a, 64 bits: stable across builds and platforms, as the index file keeps its results.
std::uint64_t hashed(std::uint64_t hash, const void *data, std::size_t size)
{
    const auto *bytes = static_cast<const unsigned char *>(data);
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 0x100000001b3ULL;
    return hash;
}

// One row's hash, spread over all 64 bits (the finaliser of splitmix64) so that a sum of them
// keeps every row's weight; a sum does not depend on the order the rows are read in.
void contentsStep(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    auto *sum = static_cast<std::uint64_t *>(sqlite3_aggregate_context(context, sizeof(std::uint64_t)));
    if (!sum)
        return sqlite3_result_error_nomem(context);
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (int i = 0; i < argc; ++i) {
        // The type goes in first, so that a null and an empty text differ.
        const unsigned char type = static_cast<unsigned char>(sqlite3_value_type(argv[i]));
        hash = hashed(hash, &type, 1);
        if (type == SQLITE_INTEGER) {
            const std::int64_t value = sqlite3_value_int64(argv[i]);
            hash = hashed(hash, &value, sizeof value);
        } else if (type != SQLITE_NULL) {
            const void *bytes = sqlite3_value_blob(argv[i]);
            const int size = sqlite3_value_bytes(argv[i]);
            hash = hashed(hash, &size, sizeof size);
            if (bytes)
                hash = hashed(hash, bytes, static_cast<std::size_t>(size));
        }
    }
    hash = (hash ^ (hash >> 30)) * 0xbf58476d1ce4e5b9ULL;
    hash = (hash ^ (hash >> 27)) * 0x94d049bb133111ebULL;
    *sum += hash ^ (hash >> 31);
}

void contentsFinal(sqlite3_context *context)
{
    const auto *sum = static_cast<std::uint64_t *>(sqlite3_aggregate_context(context, 0));
    std::int64_t out = 0;
    if (sum)
        std::memcpy(&out, sum, sizeof out);
    sqlite3_result_int64(context, out);
}

const char *const kContents = "saporium_contents";

// Rows a statement of the mark reads at most: a few tens of megabytes of a table of recipes.
constexpr int kMarkSlice = 20000;

}  // namespace

TableMark TableMark::of(Connection &connection, const QString &table)
{
    const QString action = QStringLiteral("Cannot read the category ") + table;
    const std::vector<ColumnInfo> columns = categoryColumns(connection, table, action);
    const QString rowid = rowidName(columns, action);
    // Registered on each use: the connection may be new, and registering costs next to nothing
    // beside reading the table.
    if (const int rc = sqlite3_create_function_v2(connection.handle(), kContents, -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                                  nullptr, nullptr, contentsStep, contentsFinal, nullptr);
        rc != SQLITE_OK)
        connection.fail(rc, action);
    QStringList quoted;
    for (const ColumnInfo &column : columns)
        quoted.append(names::quoted(column.name));
    // In slices of row numbers, each a statement of its own, so that no statement reads more
    // than a bounded part of however large a table: every part of the mark is a sum (the row
    // numbers modulo 2^32, so that no sum can overflow), a count or a largest value, and adds up.
    const QString inner = QStringLiteral("SELECT ") + rowid + QStringLiteral(" AS saporium_row, ")
        + quoted.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + names::quoted(table);
    const QString outer = QStringLiteral("SELECT count(*), max(saporium_row), coalesce(sum(saporium_row % 4294967296), 0), "
                                         "coalesce(sum(length(")
        + quoted.front() + QStringLiteral(")), 0), ") + QString::fromLatin1(kContents)
        + QStringLiteral("(saporium_row, ") + quoted.join(QStringLiteral(", ")) + QStringLiteral(") FROM (");
    const QString tail = QStringLiteral(" ORDER BY ") + rowid + QStringLiteral(" LIMIT ") + QString::number(kMarkSlice)
        + QLatin1Char(')');
    Statement first(connection, outer + inner + tail, action);
    Statement next(connection, outer + inner + QStringLiteral(" WHERE ") + rowid + QStringLiteral(" > ?1") + tail, action);
    TableMark out;
    std::uint64_t contents = 0;
    for (Statement *slice = &first;; slice = &next) {
        if (slice == &next)
            next.bindInt64(1, out.lastRow);
        if (!slice->step())
            break;
        const std::int64_t rows = slice->int64(0);
        if (rows > 0) {
            out.rows += rows;
            out.lastRow = slice->int64(1);
            out.rowSum += slice->int64(2);
            out.firstLengths += slice->int64(3);
            contents += static_cast<std::uint64_t>(slice->int64(4));
        }
        slice->reset();
        if (rows < kMarkSlice)
            break;
    }
    std::memcpy(&out.contents, &contents, sizeof contents);
    return out;
}

int TableMark::readSlice(Connection &connection, const QString &table, std::int64_t after, int limit,
                         const std::function<void(std::int64_t, const std::vector<Value> &)> &fn)
{
    const QString action = QStringLiteral("Cannot read the category ") + table;
    const std::vector<ColumnInfo> columns = categoryColumns(connection, table, action);
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
