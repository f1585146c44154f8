#pragma once
// A small DAO-shaped database engine over SQLCipher. The store speaks to it in the engine's
// own words (OpenDatabase, TableDefs, OpenRecordset, AddNew, Update, ...); every SQL statement
// of the program lives behind this header.
//
// Failure: every operation that fails throws dao::EngineError, whose message says what failed
// in words a user can act on. Nothing here shows anything to the user.

#include "engine/appender.h"
#include "engine/page_copy.h"
#include "engine/recordset.h"
#include "engine/table_def.h"
#include "engine/table_mark.h"
#include "engine/transaction.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

namespace dao {

class Connection;
class DBEngine;

class Database {
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The user's tables, ascending by name without regard to letter case. The engine's own
    // tables (sqlite_*) are never listed.
    QStringList TableDefs() const;

    std::unique_ptr<Recordset> OpenRecordset(const QString &table);
    // A recordset for adding rows only: it reads no existing row, so opening it costs the same
    // at any size of the table.
    std::unique_ptr<Recordset> OpenRecordsetForAppend(const QString &table);
    // A recordset of just the rows whose first field, spaces trimmed from both ends, equals
    // trimmed, in stored order; found through an index on the first field, which is made first
    // when the table has none and the file may be written.
    std::unique_ptr<Recordset> OpenRecordsetMatching(const QString &table, const QString &trimmed);
    // As OpenRecordset(table)->ReadAll(fn), without the recordset's own reading of the table.
    void ReadAll(const QString &table,
                 const std::function<void(std::int64_t row, const std::vector<Value> &fields)> &fn);
    // As ReadAll, up to limit rows after row number after; returns how many were read.
    int ReadSlice(const QString &table, std::int64_t after, int limit,
                  const std::function<void(std::int64_t row, const std::vector<Value> &fields)> &fn);
    // Up to limit rows' numbers and first fields after row number from, or before it in falling
    // order with backwards (see name_slice); returns how many were read.
    int ReadNames(const QString &table, std::int64_t from, bool backwards, int limit,
                  const std::function<void(std::int64_t row, const Value &name)> &fn);
    // The number of rows of the table.
    std::int64_t CountRows(const QString &table);
    // How many row numbers the table's rows span (see name_slice::span): cheap, at least CountRows.
    std::int64_t RowSpan(const QString &table);
    // The table's mark (see TableMark): one statement that reads the whole table.
    TableMark Mark(const QString &table);
    // Starts a transaction that holds every change made through this database until it commits.
    // Throws when one is open already or the file cannot be written.
    std::unique_ptr<Transaction> BeginTrans();
    // For adding many rows to the table inside the open transaction; throws when there is no
    // transaction or no such table (letter case ignored, as OpenRecordset).
    std::unique_ptr<Appender> OpenAppender(const QString &table);

    // Checks the name against the table-name rules; throws with the rule that is broken.
    TableDef CreateTableDef(const QString &name) const;
    // Creates the table in the file; throws when a table of that name exists (letter case
    // ignored), when the name is reserved, or when the definition has no fields.
    void AppendTableDef(const TableDef &def);
    // Drops a table with all its rows; throws when there is no such table.
    void DeleteTableDef(const QString &name);

    // Changes whenever another connection, of this program or another, has committed a change to
    // the file since the last call; the program's own writes through this handle's connection
    // leave it as it is.
    std::int64_t DataVersion() const;

    // Writes a consistent copy of the whole file, encrypted with the same password, to a new file
    // at path (which must not exist); the file is read as one snapshot, so a change made meanwhile
    // is wholly in the copy or wholly out. Throws naming why, a full disk among the reasons.
    void ExportTo(const QString &path);
    // The same copy made step by step, for a caller that does other work between the steps; the
    // copy uses this handle's connection, and the same thread must use both.
    std::unique_ptr<PageCopy> StartCopy(const QString &path);
    // Encrypts the file anew with another password, in place. Every other handle on the file
    // must be opened again with the new password.
    void Rekey(const QString &newPassword);
    // SQLite's check of the whole file: empty when it is sound, else what it found.
    QString IntegrityProblems();

    void Close();
    bool IsOpen() const;
    QString Path() const;
    // Tells this file from another put in its place, such as a backup restored or a copy: the
    // salt the file was opened with, in hexadecimal.
    QString FileIdentity() const;

private:
    friend class DBEngine;
    explicit Database(std::shared_ptr<Connection> connection);
    Connection &live() const;  // throws once the handle is closed
    // The table's name as the file spells it: an exact match first, else one that differs only
    // in letter case.
    std::optional<QString> findTable(const QString &name) const;
    QString existingTable(const QString &name) const;  // as findTable; throws when there is none

    std::shared_ptr<Connection> connection_;
    QString path_;
};

}  // namespace dao
