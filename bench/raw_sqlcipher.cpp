#include "bench/raw_sqlcipher.h"

#include <QFile>

#include <sqlcipher/sqlite3.h>

#include <stdexcept>

namespace bench {

RawConnection::RawConnection(const QString &file, const QString &password)
{
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK)
        fail("cannot open " + file.toStdString());
    const QByteArray key = password.toUtf8();
    if (sqlite3_key(db_, key.constData(), static_cast<int>(key.size())) != SQLITE_OK)
        fail("cannot key " + file.toStdString());
    // Keying only stores the key; the first read derives it and proves it right.
    exec("SELECT count(*) FROM sqlite_master");
}

RawConnection::~RawConnection() { sqlite3_close_v2(db_); }

void RawConnection::exec(const std::string &sql)
{
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(sql);
}

sqlite3_stmt *RawConnection::prepare(const std::string &sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(sql);
    }
    return stmt;
}

void RawConnection::fail(const std::string &what) const
{
    throw std::runtime_error(what + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory"));
}

std::string quoted(const std::string &identifier)
{
    std::string out = "\"";
    for (const char c : identifier) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + '"';
}

}  // namespace bench
