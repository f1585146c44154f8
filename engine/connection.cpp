#include "engine/connection.h"

#include "engine/db_engine.h"
#include "engine/engine_error.h"
#include "engine/names.h"

#include <QFile>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace dao {

namespace {

// Long enough to ride out another copy's write on a busy machine (at 1 s, one read in a few
// thousand failed beside a second copy), short enough that a user waiting on a file held open
// elsewhere hears about it within seconds.
constexpr int kBusyTimeoutMs = 5000;

// A statement the program runs finishes in milliseconds; one that runs for seconds is working
// through a file made to keep it busy, and is stopped.
std::atomic<std::chrono::milliseconds> statementTimeLimit{std::chrono::milliseconds(5000)};

// How many virtual-machine steps SQLite runs between two looks at the clock.
constexpr int kProgressSteps = 4096;

// SQLCipher keeps its salt in the first 16 bytes; a plain SQLite file has this header there.
constexpr int kSaltSize = 16;
const QByteArray kPlainSqliteHeader("SQLite format 3\0", kSaltSize);

// Marks a file made by this engine and gives a new, empty database its first page: SQLite writes
// nothing until something is stored, and an empty file would not open as a recipe database.
constexpr int kFileFormatVersion = 1;

using CacheKey = std::tuple<QByteArray, QString, bool>;  // canonical path, password, read-only

std::map<CacheKey, std::shared_ptr<Connection>> &cache()
{
    static std::map<CacheKey, std::shared_ptr<Connection>> connections;
    return connections;
}

QString systemReason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("the file does not exist");
    case EACCES:
    case EPERM:
        return QStringLiteral("you have no permission to read it");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

[[noreturn]] void throwOpen(const QString &action, const QString &reason,
                           EngineError::Kind kind = EngineError::Kind::Failure)
{
    throw EngineError(action + QStringLiteral(": ") + reason + QLatin1Char('.'), kind);
}

// Refuses to work with a library that cannot encrypt: it would silently write recipes in clear.
void requireCipher(sqlite3 *db)
{
    // Atomic: a worker thread may open its own connection meanwhile.
    static std::atomic<bool> verified = false;
    if (verified)
        return;
    sqlite3_stmt *stmt = nullptr;
    QByteArray version;
    if (sqlite3_prepare_v2(db, "PRAGMA cipher_version", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        version = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    if (version.isEmpty())
        throw EngineError(QStringLiteral(
            "The encryption library is missing: this copy of the program was built with a "
            "database library that cannot encrypt, so it cannot open or create recipe "
            "databases."));
    verified = true;
}

int applyKey(sqlite3 *db, const QString &password)
{
    const QByteArray key = password.toUtf8();
    return sqlite3_key(db, key.constData(), static_cast<int>(key.size()));
}

QByteArray readSalt(int fd)
{
    QByteArray salt(kSaltSize, '\0');
    const ssize_t got = ::pread(fd, salt.data(), kSaltSize, 0);
    salt.truncate(got < 0 ? 0 : static_cast<qsizetype>(got));
    return salt;
}

// The reason a failure happened, with subject naming the file ("the file" while opening it,
// "the recipe database <path>" afterwards).
QString reasonFor(int rc, const QString &subject, bool opening, bool openedReadOnly,
                  const QString &detail, std::chrono::milliseconds limit = statementTimeLimit.load())
{
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return subject
            + QStringLiteral(" is locked by another program. Try again when that program has "
                             "finished with it");
    case SQLITE_READONLY:
        return openedReadOnly ? subject + QStringLiteral(" is open for reading only")
                              : subject
                + QStringLiteral(" cannot be changed: the file or its folder is read-only");
    case SQLITE_NOTADB:
        return opening ? QString(QStringLiteral("the password is wrong or ") + subject
                                 + QStringLiteral(" is not a recipe database"))
                       : subject
                + QStringLiteral(" can no longer be read with its password; another file may "
                                 "have taken its place");
    case SQLITE_CORRUPT:
        return subject + QStringLiteral(" is damaged");
    case SQLITE_FULL:
        return QStringLiteral("the disk holding ") + subject + QStringLiteral(" is full");
    case SQLITE_IOERR:
        return subject + QStringLiteral(" could not be read or written (a disk or file system error)");
    case SQLITE_CANTOPEN:
        return subject
            + QStringLiteral(" or a working file beside it cannot be opened; check that its folder "
                             "exists and may be written to");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("you have no permission to use ") + subject;
    case SQLITE_NOMEM:
        return QStringLiteral("the computer ran out of memory");
    case SQLITE_TOOBIG:
        return QStringLiteral("the text is too large to be stored");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("the value breaks a rule of the table (") + detail
            + QLatin1Char(')');
    case SQLITE_INTERRUPT:
        return subject
            + QStringLiteral(" kept the program busy for more than %1 seconds, so the work was "
                             "stopped and nothing was changed. The file may be damaged, or made "
                             "to keep programs busy")
                  .arg(limit.count() / 1000.0);
    default:
        return subject + QStringLiteral(" reported an error: ") + detail;
    }
}

bool isLocked(int rc) { return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED; }

}  // namespace

Connection::Connection(QString path, QByteArray nativePath, QByteArray canonicalPath,
                       QString password, bool readOnly)
    : path_(std::move(path)),
      nativePath_(std::move(nativePath)),
      canonicalPath_(std::move(canonicalPath)),
      password_(std::move(password)),
      readOnly_(readOnly)
{
}

Connection::~Connection()
{
    // SQLite first: our descriptor may go only once SQLite holds no lock through its own.
    if (db_)
        sqlite3_close_v2(db_);
    if (fd_ >= 0)
        ::close(fd_);
}

namespace {

// The file at path, checked before SQLite sees it: its name in the file system's encoding, and
// with links resolved.
std::pair<QByteArray, QByteArray> checkedFile(const QString &path, const QString &action)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        throwOpen(action, systemReason(errno));
    if (S_ISDIR(st.st_mode))
        throwOpen(action, QStringLiteral("it is a folder, not a file"));
    if (!S_ISREG(st.st_mode))
        throwOpen(action, QStringLiteral("it is not an ordinary file"));
    // SQLite would take an empty file for a new database and fill it on the first write.
    if (st.st_size == 0)
        throwOpen(action, QStringLiteral("the file is empty, not a recipe database"));
    const QByteArray canonical = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    if (canonical.isEmpty())
        throwOpen(action, systemReason(ENOENT));
    return {native, canonical};
}

}  // namespace

std::shared_ptr<Connection> Connection::acquirePrivate(const QString &path, const QString &password,
                                                       bool readOnly)
{
    const auto [native, canonical] =
        checkedFile(path, QStringLiteral("Cannot open the recipe database ") + path);
    std::shared_ptr<Connection> own = openFresh(path, native, canonical, password, readOnly);
    own->private_ = true;
    return own;
}

std::shared_ptr<Connection> Connection::acquire(const QString &path, const QString &password,
                                                bool readOnly)
{
    const QString action = QStringLiteral("Cannot open the recipe database ") + path;
    const auto [native, canonical] = checkedFile(path, action);

    const CacheKey key{canonical, password, readOnly};
    auto &connections = cache();
    if (const auto it = connections.find(key); it != connections.end()) {
        const std::shared_ptr<Connection> cached = it->second;
        if (cached->stillSameFile()) {
            const int rc = cached->readSchema();
            if (rc == SQLITE_OK)
                return cached;
            if (isLocked(rc))
                throwOpen(action, reasonFor(rc, QStringLiteral("the file"), true, readOnly, {}), EngineError::Kind::Busy);
        }
        // Replaced, deleted or unreadable since: a fresh open finds out which, and says so.
        connections.erase(key);
    }
    // Connections to files since deleted or replaced would otherwise keep those files, and two
    // descriptors each, for the rest of the process.
    std::erase_if(connections, [](const auto &entry) { return !entry.second->stillSameFile(); });
    std::shared_ptr<Connection> fresh = openFresh(path, native, canonical, password, readOnly);
    connections[key] = fresh;
    return fresh;
}

std::shared_ptr<Connection> Connection::openFresh(const QString &path, const QByteArray &nativePath,
                                                  const QByteArray &canonicalPath,
                                                  const QString &password, bool readOnly)
{
    const QString action = QStringLiteral("Cannot open the recipe database ") + path;
    const QString subject = QStringLiteral("the file");
    std::shared_ptr<Connection> conn(
        new Connection(path, nativePath, canonicalPath, password, readOnly));

    conn->fd_ = ::open(canonicalPath.constData(), O_RDONLY | O_CLOEXEC);
    if (conn->fd_ < 0)
        throwOpen(action, systemReason(errno));
    struct stat opened {};
    if (::fstat(conn->fd_, &opened) != 0)
        throwOpen(action, systemReason(errno));
    conn->device_ = opened.st_dev;
    conn->inode_ = opened.st_ino;

    // Without SQLITE_OPEN_CREATE SQLite cannot make a file that vanished since the check above.
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    int rc = sqlite3_open_v2(canonicalPath.constData(), &conn->db_, flags, nullptr);
    if (rc != SQLITE_OK)
        throwOpen(action, reasonFor(rc, subject, true, readOnly, QString::fromUtf8(sqlite3_errmsg(conn->db_))));
    requireCipher(conn->db_);
    rc = applyKey(conn->db_, password);
    if (rc != SQLITE_OK)
        throwOpen(action, reasonFor(rc, subject, true, readOnly, QString::fromUtf8(sqlite3_errmsg(conn->db_))));
    sqlite3_busy_timeout(conn->db_, kBusyTimeoutMs);
    // The file's triggers are SQL that someone else wrote; they never run with our writes.
    sqlite3_db_config(conn->db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_progress_handler(conn->db_, kProgressSteps, &Connection::pastDeadline, conn.get());

    // A wrong key, or a file that is no encrypted database, passes open and key alike; only the
    // first read tells, so the schema is read here and the open itself fails.
    rc = conn->readSchema();
    if ((rc & 0xFF) == SQLITE_NOTADB && readSalt(conn->fd_) == kPlainSqliteHeader)
        throwOpen(action,
                  QStringLiteral("it is a plain SQLite file, not an encrypted recipe database"));
    // Only a file that may be keyed with another password is told as a wrong key, so that a
    // caller asks the user for the password only when one could open it.
    if (rc != SQLITE_OK)
        throwOpen(action, reasonFor(rc, subject, true, readOnly, QString::fromUtf8(sqlite3_errmsg(conn->db_))),
                  (rc & 0xFF) == SQLITE_NOTADB && mayBeEncrypted(path) ? EngineError::Kind::WrongKey
                                                                       : kindOf(rc));

    if (!conn->stillSameFile())
        throwOpen(action, QStringLiteral("another program replaced the file while it was being "
                                         "opened. Try again"));
    conn->salt_ = readSalt(conn->fd_);
    return conn;
}

void Connection::create(const QString &path, const QString &password, mode_t mode, const QString &noun)
{
    const QString action = QStringLiteral("Cannot create ") + noun + u' ' + path;
    if (password.isEmpty())
        throwOpen(action, QStringLiteral("no password was given"));
    const QByteArray native = QFile::encodeName(path);
    // O_EXCL: an existing file, even one appearing at this very moment, is never overwritten.
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        const int error = errno;
        switch (error) {
        case EEXIST:
            throwOpen(action, QStringLiteral("a file of that name exists already"));
        case ENOENT:
        case ENOTDIR:
            throwOpen(action, QStringLiteral("its folder does not exist"));
        case EACCES:
        case EPERM:
        case EROFS:
            throwOpen(action, QStringLiteral("you have no permission to write in its folder"));
        default:
            throwOpen(action, QString::fromLocal8Bit(std::strerror(error)));
        }
    }
    ::close(fd);  // new and empty: no connection of ours has a lock on it yet

    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(native.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QString failure;
    try {
        if (rc == SQLITE_OK) {
            requireCipher(db);
            rc = applyKey(db, password);
        }
        if (rc == SQLITE_OK) {
            const QByteArray sql = "PRAGMA user_version = " + QByteArray::number(kFileFormatVersion);
            rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
        }
        if (rc != SQLITE_OK)
            failure = action + QStringLiteral(": ")
                + reasonFor(rc, QStringLiteral("the file"), false, false,
                            QString::fromUtf8(sqlite3_errmsg(db)))
                + QLatin1Char('.');
    } catch (const EngineError &error) {
        failure = error.message();
    }
    sqlite3_close_v2(db);
    if (!failure.isEmpty()) {
        ::unlink(native.constData());  // ours alone: made above, never handed out
        throw EngineError(failure);
    }
}

void Connection::dropAll() { cache().clear(); }

bool Connection::mayBeEncrypted(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() < 512 || info.size() % 512 != 0)
        return false;
    QFile file(info.filePath());
    return file.open(QIODevice::ReadOnly) && file.read(kSaltSize) != kPlainSqliteHeader;
}

int Connection::readSchema()
{
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, "SELECT count(*) FROM sqlite_master", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    return rc;
}

bool Connection::stillSameFile() const
{
    struct stat now {};
    if (::stat(nativePath_.constData(), &now) != 0)
        return false;
    if (now.st_dev != device_ || now.st_ino != inode_)
        return false;
    // Same inode, but rewritten in place (a copy over it) with another database: new salt.
    return salt_.isEmpty() || readSalt(fd_) == salt_;
}

void Connection::forget()
{
    // A private connection is used on a thread other than the cache's, and is not in it anyway.
    if (private_)
        return;
    auto &connections = cache();
    const auto it = connections.find(CacheKey{canonicalPath_, password_, readOnly_});
    if (it != connections.end() && it->second.get() == this)
        connections.erase(it);
}

void Connection::ensureSameFile(const QString &action)
{
    if (stillSameFile())
        return;
    forget();
    throw EngineError(action + QStringLiteral(": the recipe database ") + path_
                      + QStringLiteral(" was replaced or deleted by another program after it was "
                                       "opened. Nothing was written."));
}

QString Connection::explain(int rc, const QString &action)
{
    const QString detail = QString::fromUtf8(sqlite3_errmsg(db_));
    const int primary = rc & 0xFF;
    // A connection refused writes it was opened for (the file was read-only then) or one that
    // can no longer read its file is not reused: the next open starts afresh.
    if ((primary == SQLITE_READONLY && !readOnly_) || primary == SQLITE_NOTADB
        || primary == SQLITE_CORRUPT)
        forget();
    return action + QStringLiteral(": ")
        + reasonFor(rc, QStringLiteral("the recipe database ") + path_, false, readOnly_, detail, timeLimit())
        + QLatin1Char('.');
}

void Connection::fail(int rc, const QString &action) { throw EngineError(explain(rc, action), kindOf(rc)); }

EngineError::Kind Connection::kindOf(int rc)
{
    if ((rc & 0xFF) == SQLITE_INTERRUPT)
        return EngineError::Kind::TimedOut;
    return isLocked(rc) ? EngineError::Kind::Busy : EngineError::Kind::Failure;
}

namespace {

// True when one of the table's indexes has column cid as its first key and covers every row.
bool hasIndexLeadingWith(sqlite3 *db, const QString &table, int cid)
{
    const auto query = [db](const QString &sql, const auto &onRow) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare16_v2(db, sql.utf16(), static_cast<int>(sql.size() * sizeof(char16_t)),
                                 &stmt, nullptr)
            == SQLITE_OK)
            while (sqlite3_step(stmt) == SQLITE_ROW && onRow(stmt)) {
            }
        sqlite3_finalize(stmt);
    };
    QStringList candidates;
    // Columns: seq, name, unique, origin, partial. A partial index leaves rows out.
    query(QStringLiteral("PRAGMA index_list(") + names::quoted(table) + QLatin1Char(')'),
          [&](sqlite3_stmt *row) {
              if (sqlite3_column_int(row, 4) == 0)
                  candidates.append(QString::fromUtf8(
                      reinterpret_cast<const char *>(sqlite3_column_text(row, 1))));
              return true;
          });
    bool found = false;
    for (const QString &index : std::as_const(candidates)) {
        // Columns: seqno, cid, name; the first row is the leading key.
        query(QStringLiteral("PRAGMA index_info(") + names::quoted(index) + QLatin1Char(')'),
              [&](sqlite3_stmt *row) {
                  found = sqlite3_column_int(row, 0) == 0 && sqlite3_column_type(row, 1) != SQLITE_NULL
                      && sqlite3_column_int(row, 1) == cid;
                  return false;
              });
        if (found)
            break;
    }
    return found;
}

}  // namespace

void Connection::ensureFirstColumnIndex(const QString &table, const QString &column)
{
    if (indexTried_.contains(table))
        return;
    // Bounded: a session that makes and drops many tables would otherwise keep every name.
    if (indexTried_.size() >= 1024)
        indexTried_.clear();
    indexTried_.insert(table);
    if (readOnly_ || hasIndexLeadingWith(db_, table, 0))
        return;
    // Named as AppendTableDef names its indexes. A failure (the name taken by something else)
    // undoes this statement only, never the write it comes with; running past the time limit
    // stops the write too, since the file is then one made to keep the program busy.
    const QString sql = QStringLiteral("CREATE INDEX ") + names::quoted(table + QLatin1Char('.') + column)
        + QStringLiteral(" ON ") + names::quoted(table) + QStringLiteral(" (") + names::quoted(column)
        + QLatin1Char(')');
    armDeadline();
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    disarmDeadline();
    if ((rc & 0xFF) == SQLITE_INTERRUPT) {
        indexTried_.remove(table);
        fail(rc, QStringLiteral("Cannot change the category ") + table);
    }
}

// Arming reads no clock: a step that ends before SQLite first calls the progress handler (the
// rows of a scan, one by one) costs nothing, and that first call, a few thousand
// virtual-machine steps in, starts the count instead.
void Connection::armDeadline()
{
    armed_ = true;
    deadline_.reset();
}

void Connection::disarmDeadline() { armed_ = false; }

int Connection::pastDeadline(void *connection)
{
    auto *self = static_cast<Connection *>(connection);
    if (!self->armed_)
        return 0;
    const auto now = std::chrono::steady_clock::now();
    if (!self->deadline_)
        self->deadline_ = now + self->timeLimit();
    return now >= *self->deadline_ ? 1 : 0;
}

void Connection::setStatementTimeLimit(std::chrono::milliseconds limit) { statementTimeLimit = limit; }

std::chrono::milliseconds Connection::timeLimit() const { return ownLimit_.value_or(statementTimeLimit.load()); }

void Connection::exec(const char *sql, const QString &action)
{
    armDeadline();
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    disarmDeadline();
    if (rc != SQLITE_OK)
        fail(rc, action);
}

QStringList Connection::execLong(const QString &sql, const QStringList &texts, const QString &action)
{
    QStringList rows;
    sqlite3_stmt *stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &stmt, nullptr);
    for (int i = 0; rc == SQLITE_OK && i < texts.size(); ++i) {
        const QByteArray utf8 = texts[i].toUtf8();
        rc = sqlite3_bind_text(stmt, i + 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        if (rc == SQLITE_ROW)
            rows.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))));
        rc = sqlite3_step(stmt);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        fail(rc, action);
    return rows;
}

void Connection::rollback()
{
    if (!sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace dao
