#include "reliability/raw_file.h"

#include <QFile>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <stdexcept>

namespace reliability {

namespace {

std::string escaped(const QByteArray &bytes)
{
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == '\\' || u == '|') {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

RawValue columnValue(sqlite3_stmt *stmt, int column)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
        return std::nullopt;
    const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, column));
    return QByteArray(data, sqlite3_column_bytes(stmt, column));
}

QString quotedName(const QString &name)
{
    QString out = name;
    out.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

}  // namespace

RawFile::RawFile(const QString &path, const QString &password)
{
    openRc_ = sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (openRc_ == SQLITE_OK) {
        const QByteArray key = password.toUtf8();
        openRc_ = sqlite3_key(db_, key.constData(), static_cast<int>(key.size()));
    }
}

RawFile::~RawFile() { sqlite3_close_v2(db_); }

RawCheck RawFile::check()
{
    RawCheck result;
    if (openRc_ != SQLITE_OK) {
        result.rc = openRc_;
        result.error = QString::fromUtf8(sqlite3_errmsg(db_));
        return result;
    }
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, "PRAGMA integrity_check", -1, &stmt, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        result.integrity.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))));
        rc = SQLITE_OK;
    }
    if (rc != SQLITE_DONE) {
        result.rc = rc;
        result.error = QString::fromUtf8(sqlite3_errmsg(db_));
    }
    sqlite3_finalize(stmt);
    return result;
}

std::vector<RawRow> RawFile::rows(const QString &table)
{
    std::vector<RawRow> out;
    const QByteArray sql = (QStringLiteral("SELECT rowid, * FROM ") + quotedName(table) + QStringLiteral(" ORDER BY rowid")).toUtf8();
    sqlite3_stmt *stmt = nullptr;
    int rc = openRc_ == SQLITE_OK ? sqlite3_prepare_v2(db_, sql.constData(), -1, &stmt, nullptr) : openRc_;
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        RawRow row;
        row.rowid = sqlite3_column_int64(stmt, 0);
        for (int c = 1; c < sqlite3_column_count(stmt); ++c)
            row.values.push_back(columnValue(stmt, c));
        out.push_back(std::move(row));
        rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw std::runtime_error("cannot read table " + table.toStdString() + ": " + sqlite3_errmsg(db_));
    return out;
}

std::vector<std::string> RawFile::dump()
{
    std::vector<std::string> lines;
    std::vector<QString> tables;
    sqlite3_stmt *stmt = nullptr;
    int rc = openRc_ == SQLITE_OK
        ? sqlite3_prepare_v2(db_, "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name", -1,
                             &stmt, nullptr)
        : openRc_;
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::string line = "schema";
        for (int c = 0; c < 4; ++c)
            line += '|' + escaped(columnValue(stmt, c).value_or(QByteArray("NULL")));
        lines.push_back(line);
        if (columnValue(stmt, 0) == QByteArray("table"))
            tables.push_back(QString::fromUtf8(*columnValue(stmt, 1)));
        rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw std::runtime_error(std::string("cannot read the schema: ") + sqlite3_errmsg(db_));
    for (const QString &table : tables) {
        for (const RawRow &row : rows(table)) {
            std::string line = "row|" + escaped(table.toUtf8()) + '|' + std::to_string(row.rowid);
            for (const RawValue &value : row.values)
                line += value ? '|' + escaped(*value) : std::string("|NULL");
            lines.push_back(line);
        }
    }
    return lines;
}

std::string dumpDifference(const std::vector<std::string> &before, const std::vector<std::string> &after)
{
    auto sorted = [](std::vector<std::string> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    const std::vector<std::string> a = sorted(before), b = sorted(after);
    std::vector<std::string> gone, added;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(gone));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(added));
    std::string out;
    auto list = [&out](const char *label, const std::vector<std::string> &lines) {
        for (const std::string &line : lines)
            out += std::string(label) + (line.size() > 160 ? line.substr(0, 160) + "..." : line) + '\n';
    };
    list("- ", gone);
    list("+ ", added);
    return out;
}

}  // namespace reliability
