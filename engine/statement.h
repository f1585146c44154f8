#pragma once
// One prepared SQLite statement on a connection. Every value reaches SQL through bind*, never
// through the SQL text. A statement that has run to its end, or failed, is reset at once, so
// it holds no lock between calls; one stopped after a row must be reset by its user.

#include "engine/engine_error.h"
#include "engine/field_types.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

struct sqlite3_stmt;

namespace dao {

class Connection;

class Statement {
public:
    // Prepares sql; action says what fails, in messages ("Cannot read the category Soups").
    Statement(Connection &connection, const QString &sql, QString action);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bindText(int index, const QString &value);  // 1-based, as SQLite counts
    void bindInt64(int index, std::int64_t value);

    bool step();   // true: a row is ready; false: finished. Throws EngineError on failure.
    void reset();  // ends the current run and releases its lock; bindings stay
    void run();    // steps to the end, for statements that return no rows

    Value text(int column) const;  // null stays null; any other value reads as its text
    std::int64_t int64(int column) const;

    // The SQLite virtual-machine steps the statements of this thread have run so far: how much
    // of a table a piece of work visits, measured without a clock, for tests and the bench.
    static std::uint64_t stepsRun();

private:
    Connection &connection_;
    sqlite3_stmt *stmt_ = nullptr;
    QString action_;
    std::vector<QByteArray> bound_;  // the texts bound, by index - 1, as SQLite reads them
};

}  // namespace dao
