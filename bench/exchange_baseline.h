#pragma once
// The limit import and export are measured against: a recipe file read in chunks and split
// into lines with nothing parsed, rows bound straight into one prepared INSERT per table of a
// bare SQLCipher connection, every row of every table read back through the C API, and a file
// written in large chunks. No engine, core or exchange code in between.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

class RawConnection;

// One category's rows as they are stored: the four fields, UTF-8, each trimmed and ended by one
// blank, in the order they go in.
struct RawTable {
    std::string name;
    std::vector<std::array<std::string, 4>> rows;
};

// The file read from its start to its end in 64 KiB chunks, its line ends counted; returns the
// number of lines. Throws std::runtime_error when it cannot be read.
std::int64_t readLines(const QString &file);

// The statements that made the tables and indexes of templateDb, in the order they were made,
// to be run again on another file so that its tables have the same shape.
std::vector<std::string> schemaStatements(RawConnection &templateDb);

// In one transaction: the statements, then every row through one prepared INSERT per table.
void insertRows(RawConnection &db, const std::vector<std::string> &statements, const std::vector<RawTable> &tables);

// Reads the four fields of every row of every table; returns the bytes read.
std::int64_t readAllRows(RawConnection &db);

// Writes bytes bytes of recipe-like text to file (replaced), in 64 KiB chunks. Throws
// std::runtime_error when it cannot.
void writeBytes(const QString &file, std::int64_t bytes);

// A digest of every row of every table, tables by name, rows in stored order: two files with
// the same digest hold the same values.
QByteArray contentDigest(RawConnection &db);
// The same digest of rows not yet written.
QByteArray contentDigest(std::vector<RawTable> tables);

}  // namespace bench
