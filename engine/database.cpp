#include "engine/database.h"

#include "engine/connection.h"
#include "engine/db_engine.h"
#include "engine/engine_error.h"
#include "engine/field_check.h"
#include "engine/name_slice.h"
#include "engine/names.h"
#include "engine/refusals.h"
#include "engine/statement.h"
#include "engine/write_scope.h"


#include <sqlcipher/sqlite3.h>

#include <algorithm>

namespace dao {

namespace {

// A short text column carries its limit twice: in its declared type, where readers of the file
// find it, and in a CHECK, which keeps other tools from storing more.
QString columnDefinition(const TableDef::FieldDef &field)
{
    const QString column = names::quoted(field.name);
    if (field.type == dbMemo)
        return column + QStringLiteral(" TEXT");
    const QString limit = QString::number(kShortTextLimit);
    return column + QStringLiteral(" VARCHAR(") + limit + QStringLiteral(") CHECK (length(") + column
        + QStringLiteral(") <= ") + limit + QLatin1Char(')');
}

}  // namespace

Database::Database(std::shared_ptr<Connection> connection)
    : connection_(std::move(connection)), path_(connection_->path())
{
}

Database::~Database() = default;

Connection &Database::live() const
{
    if (!connection_)
        throw EngineError(QStringLiteral("The recipe database %1 is closed.").arg(path_));
    return *connection_;
}

QStringList Database::TableDefs() const
{
    Connection &conn = live();
    Statement listing(conn, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"),
                      QStringLiteral("Cannot list the categories"));
    QStringList tables;
    while (listing.step()) {
        const QString name = listing.text(0).value_or(QString());
        // SQLite's own tables; it reserves the prefix in any letter case.
        if (!name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
            tables.append(name);
    }
    std::sort(tables.begin(), tables.end(), names::catalogueLess);
    return tables;
}

std::optional<QString> Database::findTable(const QString &name) const
{
    // Nearly every caller spells the name as the file does, and one query answers that; reading
    // and sorting the whole catalogue for every recordset made filling the tree grow with the
    // square of the number of categories.
    if (!name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)) {
        Statement exact(live(),
                        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1"),
                        QStringLiteral("Cannot list the categories"));
        exact.bindText(1, name);
        // Compared again here: the text reaches SQL as UTF-8, which a broken character in the
        // name would not survive unchanged.
        const bool found = exact.step() && exact.text(0) == name;
        exact.reset();
        if (found)
            return name;
    }
    const QStringList tables = TableDefs();
    for (const QString &table : tables)
        if (names::sameName(table, name))
            return table;
    return std::nullopt;
}

QString Database::existingTable(const QString &name) const
{
    live();
    const std::optional<QString> actual = findTable(name);
    if (!actual)
        throw EngineError(QStringLiteral("There is no category named %1 in the recipe database %2.")
                              .arg(name, path_),
                          EngineError::Kind::NoSuchCategory);
    return *actual;
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString &table)
{
    return Recordset::open(connection_, existingTable(table));
}

std::unique_ptr<Recordset> Database::OpenRecordsetForAppend(const QString &table)
{
    return Recordset::open(connection_, existingTable(table), Recordset::Rows::None);
}

std::unique_ptr<Recordset> Database::OpenRecordsetMatching(const QString &table, const QString &trimmed)
{
    return Recordset::open(connection_, existingTable(table), Recordset::Rows::Matching, trimmed);
}

void Database::ReadAll(const QString &table,
                       const std::function<void(std::int64_t, const std::vector<Value> &)> &fn)
{
    const QString actual = existingTable(table);
    Recordset::readTable(live(), actual, fn);
}

int Database::ReadSlice(const QString &table, std::int64_t after, int limit,
                        const std::function<void(std::int64_t, const std::vector<Value> &)> &fn)
{
    return TableMark::readSlice(live(), existingTable(table), after, limit, fn);
}

int Database::ReadNames(const QString &table, std::int64_t from, bool backwards, int limit,
                        const std::function<void(std::int64_t, const Value &)> &fn)
{
    return name_slice::read(live(), existingTable(table), from, backwards, limit, fn);
}

std::int64_t Database::CountRows(const QString &table) { return name_slice::count(live(), existingTable(table)); }

std::int64_t Database::RowSpan(const QString &table) { return name_slice::span(live(), existingTable(table)); }

TableMark Database::Mark(const QString &table) { return TableMark::of(live(), existingTable(table)); }

std::unique_ptr<Transaction> Database::BeginTrans()
{
    Connection &conn = live();
    const QString action = QStringLiteral("Cannot change the recipe database ") + path_;
    if (!sqlite3_get_autocommit(conn.handle()))
        throw EngineError(action + QStringLiteral(": a transaction is open already."));
    return std::unique_ptr<Transaction>(new Transaction(connection_, action));
}

std::unique_ptr<Appender> Database::OpenAppender(const QString &table)
{
    const QString actual = existingTable(table);
    return std::unique_ptr<Appender>(new Appender(connection_, actual));
}

TableDef Database::CreateTableDef(const QString &name) const
{
    live();
    if (const auto problem = names::problemWith(name, QStringLiteral("category")))
        throw EngineError(*problem);
    return TableDef(name);
}

void Database::AppendTableDef(const TableDef &def)
{
    Connection &conn = live();
    const QString &name = def.Name();
    const QString action = QStringLiteral("Cannot create the category ") + name;
    for (const QString &reserved : DBEngine::ReservedTableNames())
        if (names::sameName(reserved, name))
            throw EngineError(QStringLiteral("The name %1 is reserved for the database engine's own "
                                             "tables; choose another name for the category.")
                                  .arg(refusals::quotedName(name)));
    if (def.Fields().empty())
        throw EngineError(QStringLiteral("The category %1 has no fields; it needs at least one.")
                              .arg(name));

    QStringList columns;
    for (const TableDef::FieldDef &field : def.Fields())
        columns.append(columnDefinition(field));
    const QString createTable = QStringLiteral("CREATE TABLE ") + names::quoted(name)
        + QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + QLatin1Char(')');
    // Lets a recordset read the first column of every row without reading the long texts.
    // Table names never hold '.', so this name cannot be taken by any table of ours.
    const QString &firstField = def.Fields().front().name;
    const QString createIndex = QStringLiteral("CREATE INDEX ")
        + names::quoted(name + QLatin1Char('.') + firstField) + QStringLiteral(" ON ")
        + names::quoted(name) + QStringLiteral(" (") + names::quoted(firstField) + QLatin1Char(')');

    conn.ensureSameFile(action);
    // One write transaction: the name check and the creation cannot be split by another program,
    // and a table never exists without its index.
    WriteScope scope(conn, action);
    {
        Statement taken(conn,
                        QStringLiteral("SELECT type, name FROM sqlite_master "
                                       "WHERE type IN ('table', 'view', 'index')"),
                        action);
        while (taken.step()) {
            const QString existing = taken.text(1).value_or(QString());
            if (!names::sameName(existing, name))
                continue;
            const bool isTable = taken.text(0) == QStringLiteral("table");
            taken.reset();
            if (isTable)
                throw EngineError(QStringLiteral("A category named %1 already exists.")
                                      .arg(refusals::quotedName(existing)));
            throw EngineError(QStringLiteral("The name %1 is already used for something "
                                             "else in the recipe database; choose another "
                                             "name for the category.")
                                  .arg(refusals::quotedName(name)));
        }
    }
    Statement(conn, createTable, action).run();
    Statement(conn, createIndex, action).run();
    scope.commit();
}

void Database::DeleteTableDef(const QString &name)
{
    Connection &conn = live();
    const QString action = QStringLiteral("Cannot delete the category ") + name;
    const std::optional<QString> actual = findTable(name);
    if (!actual)
        throw EngineError(QStringLiteral("There is no category named %1 in the recipe database %2.")
                              .arg(name, path_),
                          EngineError::Kind::NoSuchCategory);
    conn.ensureSameFile(action);
    Statement(conn, QStringLiteral("DROP TABLE ") + names::quoted(*actual), action).run();
}

std::int64_t Database::DataVersion() const
{
    Statement version(live(), QStringLiteral("PRAGMA data_version"), QStringLiteral("Cannot read the recipe database"));
    return version.step() ? version.int64(0) : 0;
}

void Database::ExportTo(const QString &path)
{
    const std::unique_ptr<PageCopy> copy = StartCopy(path);
    while (!copy->Step()) {
    }
}

std::unique_ptr<PageCopy> Database::StartCopy(const QString &path)
{
    live();
    return std::unique_ptr<PageCopy>(new PageCopy(connection_, path));
}

void Database::Rekey(const QString &newPassword)
{
    Connection &conn = live();
    const QString action = QStringLiteral("Cannot change the password of the recipe database ") + path_;
    if (newPassword.isEmpty())
        throw EngineError(action + QStringLiteral(": the new password is empty."));
    conn.ensureSameFile(action);
    const QByteArray key = newPassword.toUtf8();
    const int rc = sqlite3_rekey(conn.handle(), key.constData(), static_cast<int>(key.size()));
    if (rc != SQLITE_OK)
        conn.fail(rc, action);
    conn.rekeyed(newPassword);
    // Cached connections hold the old password; none of them can read the file now.
    connection_.reset();
    Connection::dropAll();
}

QString Database::IntegrityProblems()
{
    Connection &conn = live();
    QStringList problems =
        conn.execLong(QStringLiteral("PRAGMA integrity_check"), {}, QStringLiteral("Cannot check the recipe database ") + path_);
    problems.removeAll(QStringLiteral("ok"));
    return problems.join(u'\n');
}

void Database::Close() { connection_.reset(); }

bool Database::IsOpen() const { return connection_ != nullptr; }

QString Database::Path() const { return path_; }

QString Database::FileIdentity() const { return QString::fromLatin1(live().salt().toHex()); }

}  // namespace dao
