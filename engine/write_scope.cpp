#include "engine/write_scope.h"

#include "engine/connection.h"

#include <sqlcipher/sqlite3.h>

namespace dao {

WriteScope::WriteScope(Connection &connection, const QString &action)
    : connection_(connection), action_(action), outermost_(sqlite3_get_autocommit(connection.handle()) != 0)
{
    connection_.exec(outermost_ ? "BEGIN IMMEDIATE" : "SAVEPOINT write_scope", action_);
}

WriteScope::~WriteScope()
{
    if (done_)
        return;
    if (outermost_)
        connection_.rollback();
    else if (!sqlite3_get_autocommit(connection_.handle()))
        sqlite3_exec(connection_.handle(), "ROLLBACK TO write_scope; RELEASE write_scope", nullptr, nullptr, nullptr);
}

void WriteScope::commit()
{
    connection_.exec(outermost_ ? "COMMIT" : "RELEASE write_scope", action_);
    done_ = true;
}

}  // namespace dao
