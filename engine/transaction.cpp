#include "engine/transaction.h"

#include "engine/connection.h"
#include "engine/write_scope.h"

#include <sqlcipher/sqlite3.h>

namespace dao {

Transaction::Transaction(std::shared_ptr<Connection> connection, const QString &action)
    : connection_(std::move(connection))
{
    connection_->ensureSameFile(action);
    scope_ = std::make_unique<WriteScope>(*connection_, action);
}

Transaction::~Transaction() = default;

void Transaction::Commit() { scope_->commit(); }

bool Transaction::IsActive() const { return !sqlite3_get_autocommit(connection_->handle()); }

}  // namespace dao
