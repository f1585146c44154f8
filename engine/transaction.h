#pragma once
// A transaction over many changes of one database: every change made through the database and
// its recordsets until Commit becomes lasting at once, or, when Commit is never reached (an
// error, a cancel, a crash), not at all. Holds the file's write lock while it lives.

#include <QString>

#include <memory>

namespace dao {

class Connection;
class WriteScope;

class Transaction {
public:
    ~Transaction();  // undoes everything unless committed; never fails
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void Commit();  // throws EngineError; everything is then undone
    // False once the engine has given the transaction up (a full disk, an I/O error): nothing
    // more can be written in it, and Commit would fail.
    bool IsActive() const;

private:
    friend class Database;
    Transaction(std::shared_ptr<Connection> connection, const QString &action);

    std::shared_ptr<Connection> connection_;
    std::unique_ptr<WriteScope> scope_;
};

}  // namespace dao
