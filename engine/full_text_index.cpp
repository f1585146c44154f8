#include "engine/full_text_index.h"

#include "engine/connection.h"
#include "engine/engine_error.h"
#include "engine/names.h"
#include "engine/statement.h"
#include "engine/system_reason.h"

#include <QFile>

#include <sqlcipher/sqlite3.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dao {

namespace {

// Raised whenever the tables below change, so that an index file of an older shape is made anew.
constexpr std::int64_t kShape = 4;

const QString kAction = QStringLiteral("Cannot use the search index");

struct FileId {
    dev_t device;
    ino_t inode;
};

[[noreturn]] void refuse(const QString &path, const QString &reason)
{
    throw EngineError(kAction + QStringLiteral(" file ") + path + QStringLiteral(": ") + reason + QLatin1Char('.'));
}

// A regular file of this user's with no other name: writing it touches nothing else.
bool ownPlainFile(const struct stat &st)
{
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1;
}

// Removes whatever stands at the name unless it is an own plain file, so that the index is never
// written through a link (unlinking one removes the link, not its target), into a FIFO or a
// device, into a file that also has a name elsewhere, or into someone else's file. Returns
// whether an own file is left there.
bool clearUnlessOwn(const QByteArray &native, const QString &path)
{
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT)
            return false;
        refuse(path, systemReason(error));
    }
    if (ownPlainFile(st))
        return true;
    if (S_ISDIR(st.st_mode))
        refuse(path, QStringLiteral("a folder has that name; move it away or rename it"));
    if (::unlink(native.constData()) != 0 && errno != ENOENT) {
        const int error = errno;
        refuse(path, QStringLiteral("something that is not a file of yours has that name, and it cannot be removed: ")
                         + systemReason(error));
    }
    return false;
}

// The own plain file at the name, as it is just before SQLite opens it.
FileId checkedOwnFile(const QByteArray &native, const QString &path)
{
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !ownPlainFile(st))
        refuse(path, QStringLiteral("another program put something else there while it was being opened. Try again"));
    return {st.st_dev, st.st_ino};
}

// Throws unless the file SQLite has open is the one checked. SQLite tells whether the file it
// holds is still the one its path names (by inode); that path, statted right after, must name
// the checked file. Between the two looks only the folder's owner could swap the file, since the
// index is kept only in a folder no one else may write to.
void ensureOpenedChecked(Connection &conn, FileId checked, const QString &path)
{
    int moved = 1;
    const int rc = sqlite3_file_control(conn.handle(), "main", SQLITE_FCNTL_HAS_MOVED, &moved);
    const char *opened = sqlite3_db_filename(conn.handle(), "main");
    struct stat st {};
    if (rc != SQLITE_OK || moved != 0 || opened == nullptr || ::stat(opened, &st) != 0 || st.st_dev != checked.device
        || st.st_ino != checked.inode)
        refuse(path, QStringLiteral("another program replaced the file while it was being opened. Try again"));
}

}  // namespace

const std::array<QString, 4> &FullTextIndex::columns()
{
    static const std::array<QString, 4> names = {QStringLiteral("name"), QStringLiteral("author"),
                                                 QStringLiteral("ingredients"), QStringLiteral("instructions")};
    return names;
}

FullTextIndex::FullTextIndex(const QString &path, const QString &password)
{
    const QByteArray native = QFile::encodeName(path);
    const QByteArray journal = native + "-journal";
    // Two tries: the file as it is, then a new one in its place.
    for (int attempt = 0; attempt < 2 && !conn_; ++attempt) {
        try {
            // SQLite makes the journal on demand and would follow a link planted there. Once
            // open, only the folder's owner could plant one. A journal of ours is left, as it
            // may hold a change to undo.
            clearUnlessOwn(journal, path + QStringLiteral("-journal"));
            if (!clearUnlessOwn(native, path))
                // Made exclusively, so a name taken meanwhile (a link above all) is never opened.
                Connection::create(path, password, 0600, QStringLiteral("the search index"));
            const FileId checked = checkedOwnFile(native, path);
            conn_ = Connection::acquirePrivate(path, password, false);
            // The worker's own file on the worker's own thread: a step of the first build may
            // set FTS4 merging every segment of a level at once, which at a million recipes runs
            // past the limit every connection has, and holds up nobody while it runs.
            conn_->setOwnTimeLimit(std::chrono::minutes(10));
            ensureOpenedChecked(*conn_, checked, path);
            Statement shape(*conn_, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'shape'"), kAction);
            const bool made = shape.step() && shape.int64(0) == 1;
            shape.reset();
            if (!made) {
                makeSchema();
                continue;
            }
            Statement version(*conn_, QStringLiteral("SELECT version FROM shape"), kAction);
            if (version.step() && version.int64(0) == kShape)
                continue;
            conn_.reset();
        } catch (const EngineError &e) {
            conn_.reset();
            // A file another connection is busy with (the window's index while the command line
            // searches) is sound, and its journal live: it is never thrown away for that.
            if (attempt == 1 || e.kind() == EngineError::Kind::Busy || e.kind() == EngineError::Kind::TimedOut)
                throw;
        }
        // Unreadable with this key, or of another shape: it holds nothing the recipe file
        // does not, so it is made anew.
        ::unlink(native.constData());
        ::unlink(journal.constData());
    }
}

FullTextIndex::~FullTextIndex() { rollback(); }

void FullTextIndex::makeSchema()
{
    begin();
    // The words, with the values they came from (a deletion needs them); and for each document
    // its recipe, its name as the tree shows it, and the fingerprint of its stored values.
    Statement(*conn_, QStringLiteral("CREATE VIRTUAL TABLE words USING fts4(name, author, ingredients, instructions, "
                                     "tokenize=unicode61 \"remove_diacritics=1\")"),
              kAction)
        .run();
    Statement(*conn_, QStringLiteral("CREATE TABLE docs (docid INTEGER PRIMARY KEY, category TEXT NOT NULL, "
                                     "row INTEGER NOT NULL, name TEXT NOT NULL, fingerprint INTEGER NOT NULL, "
                                     "UNIQUE (category, row))"),
              kAction)
        .run();
    Statement(*conn_, QStringLiteral("CREATE TABLE marks (category TEXT PRIMARY KEY, rows INTEGER NOT NULL, "
                                     "last INTEGER NOT NULL, sum INTEGER NOT NULL, lengths INTEGER NOT NULL, "
                                     "contents INTEGER NOT NULL)"),
              kAction)
        .run();
    // Merged a little at every write rather than all at once when a level fills up: a merge of
    // the large segments of a big index would run past the statement time limit.
    Statement(*conn_, QStringLiteral("INSERT INTO words (words) VALUES ('automerge=8')"), kAction).run();
    Statement(*conn_, QStringLiteral("CREATE TABLE source (identity TEXT NOT NULL, stamp TEXT NOT NULL)"), kAction).run();
    Statement(*conn_, QStringLiteral("CREATE TABLE shape (version INTEGER)"), kAction).run();
    Statement insert(*conn_, QStringLiteral("INSERT INTO shape VALUES (?1)"), kAction);
    insert.bindInt64(1, kShape);
    insert.run();
    commit();
}

void FullTextIndex::begin()
{
    conn_->exec("BEGIN IMMEDIATE", kAction);
    inTransaction_ = true;
}

void FullTextIndex::commit()
{
    conn_->exec("COMMIT", kAction);
    inTransaction_ = false;
}

void FullTextIndex::rollback()
{
    if (conn_ && inTransaction_)
        conn_->rollback();
    inTransaction_ = false;
}

QStringList FullTextIndex::categories() const
{
    Statement list(*conn_, QStringLiteral("SELECT DISTINCT category FROM docs UNION SELECT category FROM marks"),
                   kAction);
    QStringList out;
    while (list.step())
        out.append(list.text(0).value_or(QString()));
    return out;
}

FullTextIndex::Source FullTextIndex::source() const
{
    Statement read(*conn_, QStringLiteral("SELECT identity, stamp FROM source"), kAction);
    if (!read.step())
        return {};
    Source out{read.text(0).value_or(QString()), read.text(1).value_or(QString())};
    read.reset();
    return out;
}

void FullTextIndex::setSource(const Source &source)
{
    Statement(*conn_, QStringLiteral("DELETE FROM source"), kAction).run();
    Statement set(*conn_, QStringLiteral("INSERT INTO source VALUES (?1, ?2)"), kAction);
    set.bindText(1, source.identity);
    set.bindText(2, source.stamp);
    set.run();
}

QHash<QString, TableMark> FullTextIndex::marks() const
{
    Statement list(*conn_, QStringLiteral("SELECT category, rows, last, sum, lengths, contents FROM marks"), kAction);
    QHash<QString, TableMark> out;
    while (list.step())
        out.insert(list.text(0).value_or(QString()), {list.int64(1), list.int64(2), list.int64(3), list.int64(4), list.int64(5)});
    return out;
}

void FullTextIndex::setMark(const QString &category, const TableMark &mark)
{
    Statement set(*conn_, QStringLiteral("INSERT OR REPLACE INTO marks VALUES (?1, ?2, ?3, ?4, ?5, ?6)"), kAction);
    set.bindText(1, category);
    set.bindInt64(2, mark.rows);
    set.bindInt64(3, mark.lastRow);
    set.bindInt64(4, mark.rowSum);
    set.bindInt64(5, mark.firstLengths);
    set.bindInt64(6, mark.contents);
    set.run();
}

void FullTextIndex::forgetMark(const QString &category)
{
    Statement forget(*conn_, QStringLiteral("DELETE FROM marks WHERE category = ?1"), kAction);
    forget.bindText(1, category);
    forget.run();
}

QHash<std::int64_t, quint64> FullTextIndex::rowsOf(const QString &category) const
{
    Statement rows(*conn_, QStringLiteral("SELECT row, fingerprint FROM docs WHERE category = ?1"), kAction);
    rows.bindText(1, category);
    QHash<std::int64_t, quint64> out;
    while (rows.step())
        out.insert(rows.int64(0), static_cast<quint64>(rows.int64(1)));
    return out;
}

int FullTextIndex::count() const
{
    Statement count(*conn_, QStringLiteral("SELECT count(*) FROM docs"), kAction);
    return count.step() ? static_cast<int>(count.int64(0)) : 0;
}

void FullTextIndex::put(const QString &category, std::int64_t row, quint64 fingerprint,
                        const std::array<QString, 4> &fields)
{
    remove(category, row);
    Statement doc(*conn_, QStringLiteral("INSERT INTO docs (category, row, name, fingerprint) VALUES (?1, ?2, ?3, ?4)"),
                  kAction);
    doc.bindText(1, category);
    doc.bindInt64(2, row);
    doc.bindText(3, fields[0]);
    doc.bindInt64(4, static_cast<std::int64_t>(fingerprint));
    doc.run();
    Statement words(*conn_, QStringLiteral("INSERT INTO words (docid, name, author, ingredients, instructions) "
                                           "VALUES (last_insert_rowid(), ?1, ?2, ?3, ?4)"),
                    kAction);
    for (int i = 0; i < 4; ++i)
        words.bindText(i + 1, fields[static_cast<std::size_t>(i)]);
    words.run();
}

void FullTextIndex::remove(const QString &category, std::int64_t row)
{
    Statement find(*conn_, QStringLiteral("SELECT docid FROM docs WHERE category = ?1 AND row = ?2"), kAction);
    find.bindText(1, category);
    find.bindInt64(2, row);
    if (!find.step())
        return;
    const std::int64_t docid = find.int64(0);
    find.reset();
    for (const QString &sql : {QStringLiteral("DELETE FROM words WHERE docid = ?1"),
                               QStringLiteral("DELETE FROM docs WHERE docid = ?1")}) {
        Statement drop(*conn_, sql, kAction);
        drop.bindInt64(1, docid);
        drop.run();
    }
}

int FullTextIndex::removeCategory(const QString &category, int limit)
{
    forgetMark(category);
    Statement some(*conn_, QStringLiteral("SELECT docid FROM docs WHERE category = ?1 LIMIT ?2"), kAction);
    some.bindText(1, category);
    some.bindInt64(2, limit);
    std::vector<std::int64_t> docids;
    while (some.step())
        docids.push_back(some.int64(0));
    for (const QString &sql : {QStringLiteral("DELETE FROM words WHERE docid = ?1"),
                               QStringLiteral("DELETE FROM docs WHERE docid = ?1")}) {
        Statement drop(*conn_, sql, kAction);
        for (const std::int64_t docid : docids) {
            drop.bindInt64(1, docid);
            drop.run();
        }
    }
    return static_cast<int>(docids.size());
}

void FullTextIndex::forgetMarkIn(const QString &path, const QString &password, const QString &category)
{
    // One connection per index file for the life of the process: deriving the key is slow, and
    // the program tells every change it makes.
    static std::mutex lock;
    static std::map<QString, std::shared_ptr<Connection>> open;
    const std::lock_guard<std::mutex> held(lock);
    const QByteArray native = QFile::encodeName(path);
    try {
        struct stat st {};
        if (::lstat(native.constData(), &st) != 0 && errno == ENOENT) {
            open.erase(path);
            return;  // no index yet: the first build reads everything
        }
        std::shared_ptr<Connection> &conn = open[path];
        if (conn)
            try {
                conn->ensureSameFile(kAction);
            } catch (const EngineError &) {
                conn.reset();  // made anew since: opened again below
            }
        if (!conn) {
            // Only an own plain file is opened: anything else is replaced at the next build.
            if (!ownPlainFile(st))
                return;
            conn = Connection::acquirePrivate(path, password, false);
            ensureOpenedChecked(*conn, {st.st_dev, st.st_ino}, path);
        }
        Statement marked(*conn, QStringLiteral("SELECT category FROM marks"), kAction);
        QStringList names;
        while (marked.step())
            names.append(marked.text(0).value_or(QString()));
        Statement forget(*conn, QStringLiteral("DELETE FROM marks WHERE category = ?1"), kAction);
        for (const QString &name : names)
            if (names::sameName(name, category)) {
                forget.bindText(1, name);
                forget.run();
            }
    } catch (const EngineError &e) {
        open.erase(path);
        if (::unlink(native.constData()) != 0 && errno != ENOENT) {
            const int error = errno;
            throw EngineError(e.message() + QStringLiteral(" The search index file could not be "
                                                                          "removed either: ")
                              + systemReason(error) + QLatin1Char('.'));
        }
    }
}

std::vector<FullTextIndex::Hit> FullTextIndex::match(const QString &include, const QStringList &exclude) const
{
    // Every expression reaches SQL as a bound value, never as SQL text.
    // The full-text search drives; each document found is then looked up by its number.
    QString sql = include.isEmpty()
        ? QStringLiteral("SELECT d.category, d.row, d.name FROM docs d WHERE 1")
        : QStringLiteral("SELECT d.category, d.row, d.name FROM words JOIN docs d ON d.docid = words.docid "
                         "WHERE words MATCH ?1");
    int parameter = include.isEmpty() ? 0 : 1;
    for (qsizetype i = 0; i < exclude.size(); ++i)
        sql += QStringLiteral(" AND d.docid NOT IN (SELECT docid FROM words WHERE words MATCH ?")
            + QString::number(++parameter) + QLatin1Char(')');
    Statement query(*conn_, sql, QStringLiteral("Cannot search the recipes"));
    parameter = 0;
    if (!include.isEmpty())
        query.bindText(++parameter, include);
    for (const QString &expression : exclude)
        query.bindText(++parameter, expression);
    std::vector<Hit> hits;
    while (query.step())
        hits.push_back({query.text(0).value_or(QString()), query.int64(1), query.text(2).value_or(QString())});
    return hits;
}

}  // namespace dao
