#pragma once
// One keyed SQLCipher connection on one existing file, and the process-wide cache of them.
//
// Deriving the key from the password is slow on purpose, and the store reopens the file for
// every operation; so a connection, once open, is kept for the life of the process and shared
// by every handle opened on the same file with the same password and mode. It is reused only
// while the path still names the file it was opened on. Between operations it holds no
// transaction and no lock, so other programs may use the file meanwhile.
//
// The cache belongs to the main thread and takes no lock of its own; a worker thread opens a
// private connection of its own (acquirePrivate), which it alone uses and which never reads or
// changes the cache.

#include "engine/engine_error.h"

#include <QByteArray>
#include <QSet>
#include <QStringList>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <sys/types.h>

struct sqlite3;

namespace dao {

class Connection {
public:
    // A connection on the existing encrypted file at path (absolute, with its extension).
    // Throws EngineError naming the file when it is missing, empty, not an encrypted database,
    // keyed with another password, or locked beyond the busy timeout.
    static std::shared_ptr<Connection> acquire(const QString &path, const QString &password,
                                               bool readOnly);

    // A connection of its own on the file, outside the cache, for one other thread to use alone.
    static std::shared_ptr<Connection> acquirePrivate(const QString &path, const QString &password,
                                                      bool readOnly);

    // Makes a new encrypted database at path; never overwrites a file. mode: the new file's
    // permissions, less the umask; noun: what the file is, for messages.
    static void create(const QString &path, const QString &password, mode_t mode = 0666,
                       const QString &noun = QStringLiteral("the recipe database"));

    // Forgets every cached connection; handles still holding one keep it until they close.
    static void dropAll();
    // Whether a file no key opens may still be an encrypted database, keyed with another
    // password: an ordinary file of whole pages that is not plain SQLite.
    static bool mayBeEncrypted(const QString &path);

    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const { return db_; }
    const QString &path() const { return path_; }  // as the user named it, for messages
    const QString &password() const { return password_; }
    // The file's first 16 bytes as opened: SQLCipher's salt, new in every file written anew.
    const QByteArray &salt() const { return salt_; }
    // The file has been encrypted anew through this connection.
    void rekeyed(const QString &password) { password_ = password; }
    // Runs SQL with bound texts, to its end, with no time limit: for the few statements of ours
    // that may rightly run long (a copy or a check of the whole file). Returns the first column
    // of the rows; throws on failure.
    QStringList execLong(const QString &sql, const QStringList &texts, const QString &action);

    // Throws unless the path still names the file this connection has open. Called before every
    // write, so that nothing is ever written into a file that was replaced or deleted.
    void ensureSameFile(const QString &action);

    // The message for SQLite result code rc: action, then the reason in a user's words. A code
    // that means the connection is no longer fit for use also drops it from the cache (a cached
    // connection only).
    QString explain(int rc, const QString &action);
    [[noreturn]] void fail(int rc, const QString &action);
    // The kind of error SQLite result code rc is reported as.
    static EngineError::Kind kindOf(int rc);

    // Runs SQL without parameters or results (transaction control); throws on failure.
    void exec(const char *sql, const QString &action);

    // Ends the open transaction, if any, undoing it; never fails.
    void rollback();

    // Gives the table an index on its first column unless it has one, so that the column can be
    // read without decrypting the pages of the long texts beside it. Tables this engine creates
    // have one; tables of other tools may not. Called only inside a write transaction on that
    // table: viewing never writes to the file. The index changes nothing a reader can see (no
    // key, no uniqueness, same stored order), so making it is best effort: a name already taken
    // leaves the table as it is, and nothing is reported. Tried once per table and connection.
    void ensureFirstColumnIndex(const QString &table, const QString &column);

    // Every statement is stopped (SQLITE_INTERRUPT) once it has run for the time limit since it
    // was armed (counted from a few thousand virtual-machine steps in); between disarm and the
    // next arm nothing is stopped.
    void armDeadline();
    void disarmDeadline();
    // The limit for every connection; tests shorten it.
    static void setStatementTimeLimit(std::chrono::milliseconds limit);
    // A limit for this connection alone, in place of the one for every connection: for a
    // worker's connection to a file of its own, where a long statement holds up nobody.
    void setOwnTimeLimit(std::chrono::milliseconds limit) { ownLimit_ = limit; }

private:
    Connection(QString path, QByteArray nativePath, QByteArray canonicalPath, QString password,
               bool readOnly);
    static std::shared_ptr<Connection> openFresh(const QString &path, const QByteArray &nativePath,
                                                 const QByteArray &canonicalPath,
                                                 const QString &password, bool readOnly);
    int readSchema();  // SQLITE_OK, or why the file cannot be read with this key
    bool stillSameFile() const;
    void forget();
    static int pastDeadline(void *connection);  // SQLite's progress handler

    QString path_;
    QByteArray nativePath_;     // the user's path in the file system's encoding
    QByteArray canonicalPath_;  // links resolved: the cache key
    QString password_;          // part of the cache key
    bool readOnly_;
    bool private_ = false;  // from acquirePrivate: another thread's, never in the cache
    sqlite3 *db_ = nullptr;
    // Our own descriptor on the file, opened with the connection and closed only after SQLite
    // has closed it: closing any descriptor of a file drops every POSIX lock this process holds
    // on it, SQLite's included. It also pins the file, so its device and inode stay unique.
    int fd_ = -1;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    QByteArray salt_;  // the file's first 16 bytes, which a database written anew changes
    QSet<QString> indexTried_;  // tables ensureFirstColumnIndex has seen
    bool armed_ = false;
    std::optional<std::chrono::steady_clock::time_point> deadline_;  // set by the first progress call
    std::optional<std::chrono::milliseconds> ownLimit_;
    std::chrono::milliseconds timeLimit() const;
};

}  // namespace dao
