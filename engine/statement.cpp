#include "engine/statement.h"

#include "engine/connection.h"

#include <QStringDecoder>

#include <sqlcipher/sqlite3.h>

#include <utility>

namespace dao {

namespace {
thread_local std::uint64_t stepsSoFar = 0;
}  // namespace

std::uint64_t Statement::stepsRun() { return stepsSoFar; }

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
    // Bound as UTF-8: SQLite takes a leading U+FEFF or U+FFFE of UTF-16 text for a byte-order
    // mark, dropping the character or swapping every byte of the text. Lengths go in bytes, so
    // NUL characters inside the text are kept; an empty text must still be bound as text (a null
    // QByteArray's data is "" as well), never as null.
    // The bytes are kept here until the next binding of the index, so SQLite need not copy them.
    if (index < 1)
        connection_.fail(SQLITE_RANGE, action_);
    if (bound_.size() < static_cast<std::size_t>(index))
        bound_.resize(static_cast<std::size_t>(index));
    QByteArray &utf8 = bound_[static_cast<std::size_t>(index) - 1];
    utf8 = value.toUtf8();
    const int rc = sqlite3_bind_text64(stmt_, index, utf8.constData(),
                                       static_cast<sqlite3_uint64>(utf8.size()), SQLITE_STATIC,
                                       SQLITE_UTF8);
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
    connection_.armDeadline();
    const int rc = sqlite3_step(stmt_);
    connection_.disarmDeadline();
    stepsSoFar += static_cast<std::uint64_t>(sqlite3_stmt_status(stmt_, SQLITE_STMTSTATUS_VM_STEP, 1));
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE) {
        sqlite3_reset(stmt_);
        return false;
    }
    // The message must be taken before reset, which may replace SQLite's error text.
    const QString message = connection_.explain(rc, action_);
    sqlite3_reset(stmt_);
    throw EngineError(message, Connection::kindOf(rc));
}

void Statement::reset() { sqlite3_reset(stmt_); }

void Statement::run()
{
    while (step()) {
    }
}

Value Statement::text(int column) const
{
    // Read as the UTF-8 it is stored in: SQLite's own conversion to UTF-16 turns U+FFFE and
    // U+FFFF into U+FFFD, and QString::fromUtf8 drops a leading U+FEFF as a byte-order mark.
    // text before bytes: the byte count is of the text as returned. The type is asked only when
    // there is no text, null or out of memory: asking for every value costs as much as the
    // conversion of a short name.
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    if (!data) {
        if (sqlite3_column_type(stmt_, column) == SQLITE_NULL)
            return std::nullopt;
        connection_.fail(SQLITE_NOMEM, action_);
    }
    const int bytes = sqlite3_column_bytes(stmt_, column);
    // A leading U+FEFF is text, not a byte-order mark; a value cut inside a character (written
    // by another program) reads with a replacement character rather than losing its end.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    return utf8.decode(QByteArrayView(data, bytes));
}

std::int64_t Statement::int64(int column) const
{
    return static_cast<std::int64_t>(sqlite3_column_int64(stmt_, column));
}

}  // namespace dao
