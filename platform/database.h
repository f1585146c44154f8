#pragma once
// A small DAO-shaped database engine over SQLCipher. The store speaks to it in the engine's
// own words (OpenDatabase, TableDefs, OpenRecordset, AddNew, Update, ...); every SQL statement
// of the program lives behind this header.
//
// Failure: every operation that fails throws dao::EngineError, whose message says what failed
// in words a user can act on. Nothing here shows anything to the user.

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace dao {

class EngineError : public std::runtime_error {
public:
    // What a caller may want to tell apart from an ordinary failure.
    enum class Kind {
        Failure,
        NoSuchCategory,  // the named table is not (or no longer) in the file
        RecipeChanged,   // another program changed or removed the row since it was read
        TimedOut,        // a statement ran past the time limit and was stopped
    };
    explicit EngineError(const QString &message, Kind kind = Kind::Failure);
    QString message() const;  // whole, even where what() would stop at a NUL
    Kind kind() const { return kind_; }

private:
    QString message_;
    Kind kind_;
};

// Field type codes of the engine: short text holds at most 255 characters, long text has no
// limit of its own.
enum FieldType : int { dbText = 10, dbMemo = 12 };

inline constexpr int kShortTextLimit = 255;
inline constexpr int kMaxTableNameLength = 64;

class Connection;  // one keyed SQLCipher connection, shared by the handles opened on one file
class Database;

// A field's value: std::nullopt is the engine's null.
using Value = std::optional<QString>;

// A table definition under construction: CreateTableDef, then CreateField + Append for each
// field, then Database::AppendTableDef writes it to the file.
class TableDef {
public:
    struct FieldDef {
        QString name;
        FieldType type;
    };

    const QString &Name() const { return name_; }
    FieldDef CreateField(const QString &name, FieldType type) const;
    void Append(const FieldDef &field);
    const std::vector<FieldDef> &Fields() const { return fields_; }

private:
    friend class Database;
    explicit TableDef(QString name) : name_(std::move(name)) {}
    QString name_;
    std::vector<FieldDef> fields_;
};

// All rows of one table in stored (insertion) order, read when the recordset is opened, so
// RecordCount is exact. Values other than the first field are read from the file on demand.
// Holds no lock or transaction between calls. A recordset shares its database's connection and
// stays usable after its Database handle is closed, until it is closed itself.
//
// Positions follow the engine: after opening, the first row is current (none on an empty
// table); MoveNext from the last row goes past the end, where no row is current. A row deleted
// through Delete stays current but cannot be read; moves skip it and RecordCount leaves it out.
class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    int RecordCount() const;
    void MoveFirst();   // throws on an empty table
    void MoveNext();    // throws when already past the last row; a pending AddNew/Edit is dropped

    // Field at ordinal i (0 = first column) of the current row; i past the last column throws.
    // Between AddNew/Edit and Update it reads the pending row.
    Value Fields(int i) const;
    // Only between AddNew/Edit and Update. The value is written as text, never as null.
    void SetField(int i, const QString &value);

    void AddNew();  // starts a new row; it goes to the end of the stored order
    void Edit();    // starts changing the current row
    void Update();  // writes the pending row atomically; a refused value writes nothing
    void CancelUpdate();
    void Delete();  // deletes the current row; the position stays on it until a move
    void Close();
    bool IsOpen() const;

    int FieldCount() const;
    QString FieldName(int i) const;
    // The most characters the field holds, as its declared type says (VARCHAR(255)); nothing
    // when the type sets no limit.
    std::optional<int> FieldLimit(int i) const;

private:
    friend class Database;
    struct Impl;
    explicit Recordset(std::unique_ptr<Impl> impl);
    // Reads the rows of table, whose name is spelled as the file spells it.
    static std::unique_ptr<Recordset> open(std::shared_ptr<Connection> connection,
                                           const QString &table);
    std::unique_ptr<Impl> d;
};

class Database {
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The user's tables, ascending by name without regard to letter case. The engine's own
    // tables (sqlite_*) are never listed.
    QStringList TableDefs() const;

    std::unique_ptr<Recordset> OpenRecordset(const QString &table);

    // Checks the name against the table-name rules; throws with the rule that is broken.
    TableDef CreateTableDef(const QString &name) const;
    // Creates the table in the file; throws when a table of that name exists (letter case
    // ignored), when the name is reserved, or when the definition has no fields.
    void AppendTableDef(const TableDef &def);
    // Drops a table with all its rows; throws when there is no such table.
    void DeleteTableDef(const QString &name);

    void Close();
    bool IsOpen() const;
    QString Path() const;

private:
    friend class DBEngine;
    explicit Database(std::shared_ptr<Connection> connection);
    Connection &live() const;  // throws once the handle is closed
    // The table's name as the file spells it: an exact match first, else one that differs only
    // in letter case.
    std::optional<QString> findTable(const QString &name) const;

    std::shared_ptr<Connection> connection_;
    QString path_;
};

class DBEngine {
public:
    // Opens an existing encrypted database. A name without extension gets ".mdb". The connect
    // string carries the password as ";Pwd=...". Never creates a file. Throws when the file is
    // missing, empty, not an encrypted database, opened with a wrong or absent password, or
    // locked beyond a short wait. Opening is shared only: exclusive = true is refused, because
    // a lock held for a handle's whole life could not survive the shared connection cache.
    static std::unique_ptr<Database> OpenDatabase(const QString &name, bool exclusive, bool readOnly,
                                                  const QString &connect);

    // Creates a new, empty encrypted database at path (extension as given) with the password.
    // Throws when the file exists already or cannot be created.
    static void CreateDatabase(const QString &path, const QString &password);

    // The seven table names reserved by the engine: refused for new tables.
    static const QStringList &ReservedTableNames();

    // Drops every cached connection. Tests use it to start from a cold engine.
    static void ResetCache();
};

}  // namespace dao
