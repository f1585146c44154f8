#include "platform/database_statement.h"

#include "platform/database_connection.h"

#include <sqlcipher/sqlite3.h>

#include <utility>

namespace dao {

Statement::Statement(Connection &connection, const QString &sql, QString action)
    : connection_(connection), action_(std::move(action))
{
    const int rc = sqlite3_prepare16_v2(connection_.handle(), sql.utf16(),
                                        static_cast<int>(sql.size() * sizeof(char16_t)), &stmt_,
                                        nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        connection_.fail(rc, action_);
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::bindText(int index, const QString &value)
{
    // Lengths go in bytes, so NUL characters inside the text are kept; an empty text must still
    // be bound as text, and a null QString would bind as null.
    static const char16_t empty = 0;
    const void *data = value.isEmpty() ? static_cast<const void *>(&empty)
                                       : static_cast<const void *>(value.utf16());
    const auto bytes = static_cast<sqlite3_uint64>(value.size()) * sizeof(char16_t);
    const int rc = sqlite3_bind_text64(stmt_, index, static_cast<const char *>(data), bytes,
                                       SQLITE_TRANSIENT, SQLITE_UTF16);
    if (rc != SQLITE_OK)
        connection_.fail(rc, action_);
}

void Statement::bindInt64(int index, std::int64_t value)
{
    const int rc = sqlite3_bind_int64(stmt_, index, static_cast<sqlite3_int64>(value));
    if (rc != SQLITE_OK)
        connection_.fail(rc, action_);
}

bool Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE) {
        sqlite3_reset(stmt_);
        return false;
    }
    // The message must be taken before reset, which may replace SQLite's error text.
    const QString message = connection_.explain(rc, action_);
    sqlite3_reset(stmt_);
    throw EngineError(message);
}

void Statement::reset() { sqlite3_reset(stmt_); }

void Statement::run()
{
    while (step()) {
    }
}

Value Statement::text(int column) const
{
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL)
        return std::nullopt;
    // text16 before bytes16: the byte count is of the text as converted.
    const void *data = sqlite3_column_text16(stmt_, column);
    const int bytes = sqlite3_column_bytes16(stmt_, column);
    if (!data)
        connection_.fail(SQLITE_NOMEM, action_);
    return QString(static_cast<const QChar *>(data), bytes / static_cast<int>(sizeof(QChar)));
}

std::int64_t Statement::int64(int column) const
{
    return static_cast<std::int64_t>(sqlite3_column_int64(stmt_, column));
}

}  // namespace dao
