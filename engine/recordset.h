#pragma once
// The rows of one table, read and written one at a time.

#include "engine/field_types.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace dao {

class Connection;
class Database;

// The rows of one table in stored (insertion) order, read when the recordset is opened, so
// RecordCount is exact: all of them, none (for appending), or those whose first field matches
// (see Database::OpenRecordsetMatching); moves and RecordCount see only the rows read. Values other than the first field are read from the file on demand.
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

    // Reads every row with all its fields in one pass, in stored order, as the file holds them
    // now, and hands each to fn with its row number; the position does not move. For reading a
    // whole table at once: far cheaper than moving through it field by field.
    void ReadAll(const std::function<void(std::int64_t row, const std::vector<Value> &fields)> &fn) const;

    // The current row's number in the file (its rowid): the same row keeps it until deleted.
    std::int64_t Bookmark() const;
    // The number of the row the last Update wrote; throws when nothing was written yet.
    std::int64_t LastModified() const;

    int FieldCount() const;
    QString FieldName(int i) const;
    // The most characters the field holds, as its declared type says (VARCHAR(255)); nothing
    // when the type sets no limit.
    std::optional<int> FieldLimit(int i) const;

private:
    friend class Database;
    struct Impl;
    enum class Rows { All, None, Matching };
    explicit Recordset(std::unique_ptr<Impl> impl);
    // Reads the rows of table, whose name is spelled as the file spells it; Matching reads those
    // whose first field trimmed equals trimmed.
    static std::unique_ptr<Recordset> open(std::shared_ptr<Connection> connection, const QString &table,
                                           Rows which = Rows::All, const QString &trimmed = {});
    // What ReadAll of a recordset just opened on table gives, without reading the row numbers
    // and first values that opening reads.
    static void readTable(Connection &connection, const QString &table,
                          const std::function<void(std::int64_t row, const std::vector<Value> &fields)> &fn);
    std::unique_ptr<Impl> d_;
};

}  // namespace dao
