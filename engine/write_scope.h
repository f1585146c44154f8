#pragma once
// One write on a connection, done whole or not at all. Outside a transaction it is a transaction
// of its own (BEGIN IMMEDIATE ... COMMIT); inside one it is a savepoint, so a write of the
// engine's can run within a larger transaction its caller holds and still undo only itself.

#include <QString>

namespace dao {

class Connection;

class WriteScope {
public:
    // Starts the write; throws EngineError (action first) when the file cannot be written.
    WriteScope(Connection &connection, const QString &action);
    ~WriteScope();  // undoes the write unless commit() succeeded; never fails
    WriteScope(const WriteScope &) = delete;
    WriteScope &operator=(const WriteScope &) = delete;

    void commit();  // throws when the write cannot be made lasting; the destructor then undoes it
    bool outermost() const { return outermost_; }

private:
    Connection &connection_;
    QString action_;
    bool outermost_;
    bool done_ = false;
};

}  // namespace dao
