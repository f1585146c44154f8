#include "bench/exchange_baseline.h"

#include "bench/raw_sqlcipher.h"

#include <QCryptographicHash>
#include <QFile>

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <stdexcept>

namespace bench {

namespace {

constexpr qint64 kChunk = 1 << 16;

void hashField(QCryptographicHash &hash, const char *text, qsizetype size)
{
    // Length first, so that no two different rows hash the same bytes.
    const QByteArray length = QByteArray::number(size) + ':';
    hash.addData(length);
    hash.addData(QByteArrayView(text, size));
}

std::vector<std::string> tableNames(RawConnection &db)
{
    sqlite3_stmt *query = db.prepare("SELECT name FROM sqlite_master WHERE type = 'table' "
                                     "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name");
    std::vector<std::string> names;
    while (sqlite3_step(query) == SQLITE_ROW)
        names.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(query, 0)));
    sqlite3_finalize(query);
    return names;
}

sqlite3_stmt *selectAll(RawConnection &db, const std::string &table)
{
    return db.prepare("SELECT Name, Author, Ingredients, Instructions FROM " + quoted(table) + " ORDER BY rowid");
}

}  // namespace

std::int64_t readLines(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + file.toStdString());
    std::vector<char> buffer(kChunk);
    std::int64_t lines = 0;
    for (;;) {
        const qint64 got = in.read(buffer.data(), kChunk);
        if (got < 0)
            throw std::runtime_error("cannot read " + file.toStdString());
        if (got == 0)
            break;
        lines += std::count(buffer.data(), buffer.data() + got, '\n');
    }
    return lines;
}

std::vector<std::string> schemaStatements(RawConnection &templateDb)
{
    sqlite3_stmt *query = templateDb.prepare("SELECT sql FROM sqlite_master WHERE sql IS NOT NULL ORDER BY rowid");
    std::vector<std::string> statements;
    while (sqlite3_step(query) == SQLITE_ROW)
        statements.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(query, 0)));
    sqlite3_finalize(query);
    return statements;
}

void insertRows(RawConnection &db, const std::vector<std::string> &statements, const std::vector<RawTable> &tables)
{
    db.exec("BEGIN");
    for (const std::string &statement : statements)
        db.exec(statement);
    for (const RawTable &table : tables) {
        sqlite3_stmt *insert = db.prepare("INSERT INTO " + quoted(table.name)
                                          + " (Name, Author, Ingredients, Instructions) VALUES (?1, ?2, ?3, ?4)");
        for (const auto &row : table.rows) {
            for (int i = 0; i < 4; ++i) {
                const std::string &value = row[static_cast<std::size_t>(i)];
                sqlite3_bind_text(insert, i + 1, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
            }
            if (sqlite3_step(insert) != SQLITE_DONE) {
                sqlite3_finalize(insert);
                db.fail("cannot insert into " + table.name);
            }
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    db.exec("COMMIT");
}

std::int64_t readAllRows(RawConnection &db)
{
    std::int64_t bytes = 0;
    for (const std::string &table : tableNames(db)) {
        sqlite3_stmt *query = db.prepare("SELECT Name, Author, Ingredients, Instructions FROM " + quoted(table));
        while (sqlite3_step(query) == SQLITE_ROW)
            for (int i = 0; i < 4; ++i) {
                // The text itself, as the export needs it, not only its length.
                const unsigned char *text = sqlite3_column_text(query, i);
                bytes += text ? sqlite3_column_bytes(query, i) : 0;
            }
        sqlite3_finalize(query);
    }
    return bytes;
}

void writeBytes(const QString &file, std::int64_t bytes)
{
    QByteArray chunk;
    const QByteArray line = "Stir in the herbs at the very end so they keep their colour.\r\n";
    while (chunk.size() < kChunk)
        chunk += line;
    chunk.truncate(kChunk);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + file.toStdString());
    for (std::int64_t left = bytes; left > 0; left -= kChunk) {
        const qint64 size = std::min<std::int64_t>(left, kChunk);
        if (out.write(chunk.constData(), size) != size)
            throw std::runtime_error("cannot write " + file.toStdString());
    }
    out.close();
}

QByteArray contentDigest(RawConnection &db)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const std::string &table : tableNames(db)) {
        hashField(hash, table.data(), static_cast<qsizetype>(table.size()));
        sqlite3_stmt *query = selectAll(db, table);
        while (sqlite3_step(query) == SQLITE_ROW)
            for (int i = 0; i < 4; ++i)
                hashField(hash, reinterpret_cast<const char *>(sqlite3_column_text(query, i)),
                          sqlite3_column_bytes(query, i));
        sqlite3_finalize(query);
    }
    return hash.result();
}

QByteArray contentDigest(std::vector<RawTable> tables)
{
    std::sort(tables.begin(), tables.end(), [](const RawTable &a, const RawTable &b) { return a.name < b.name; });
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const RawTable &table : tables) {
        hashField(hash, table.name.data(), static_cast<qsizetype>(table.name.size()));
        for (const auto &row : table.rows)
            for (const std::string &field : row)
                hashField(hash, field.data(), static_cast<qsizetype>(field.size()));
    }
    return hash.result();
}

}  // namespace bench
