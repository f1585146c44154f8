#include "engine/db_engine.h"

#include "engine/connection.h"
#include "engine/engine_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace dao {

namespace {

// The password of a connect string such as ";Pwd=secret": key letter case does not matter, the
// value runs to the next ';'.
std::optional<QString> passwordOf(const QString &connect)
{
    const QStringList parts = connect.split(QLatin1Char(';'));
    for (const QString &part : parts) {
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        if (part.left(equals).trimmed().compare(QLatin1String("pwd"), Qt::CaseInsensitive) == 0)
            return part.mid(equals + 1);
    }
    return std::nullopt;
}

}  // namespace

namespace {

// The file a name opens, absolute, with ".mdb" added when it has no extension; and the start of
// every message about opening it.
std::pair<QString, QString> fileToOpen(const QString &name)
{
    if (name.isEmpty())
        throw EngineError(QStringLiteral("Cannot open the recipe database: no file name was given."));
    const QString file = DBEngine::FileNamed(name);
    const QString path = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    return {path, QStringLiteral("Cannot open the recipe database ") + path};
}

}  // namespace

std::unique_ptr<Database> DBEngine::OpenDatabase(const QString &name, bool exclusive, bool readOnly,
                                                 const QString &connect)
{
    const auto [path, action] = fileToOpen(name);
    if (exclusive)
        throw EngineError(action
                          + QStringLiteral(": this program opens recipe databases shared with "
                                           "other programs, never for its sole use."));
    return Open(name, passwordOf(connect).value_or(QString()), readOnly);
}

std::unique_ptr<Database> DBEngine::Open(const QString &name, const QString &password, bool readOnly)
{
    const auto [path, action] = fileToOpen(name);
    // An empty key would make SQLCipher read and write the file unencrypted.
    if (password.isEmpty())
        throw EngineError(action + QStringLiteral(": no password was given."));
    return std::unique_ptr<Database>(new Database(Connection::acquire(path, password, readOnly)));
}

std::unique_ptr<Database> DBEngine::OpenPrivate(const QString &name, const QString &password, bool readOnly)
{
    const auto [path, action] = fileToOpen(name);
    if (password.isEmpty())
        throw EngineError(action + QStringLiteral(": no password was given."));
    return std::unique_ptr<Database>(new Database(Connection::acquirePrivate(path, password, readOnly)));
}

void DBEngine::CreateDatabase(const QString &path, const QString &password)
{
    Connection::create(QDir::cleanPath(QFileInfo(path).absoluteFilePath()), password);
}

const QStringList &DBEngine::ReservedTableNames()
{
    static const QStringList names = {
        QStringLiteral("MSysACEs"),          QStringLiteral("MSysModules"),
        QStringLiteral("MSysModules2"),      QStringLiteral("MSysObjects"),
        QStringLiteral("MSysQueries"),       QStringLiteral("MSysRelationships"),
        QStringLiteral("MSysAccessObjects"),
    };
    return names;
}

QString DBEngine::FileNamed(const QString &name)
{
    return QFileInfo(name).suffix().isEmpty() ? name + QStringLiteral(".mdb") : name;
}

bool DBEngine::MayBeEncrypted(const QString &path)
{
    return Connection::mayBeEncrypted(fileToOpen(path).first);
}

void DBEngine::ResetCache() { Connection::dropAll(); }

}  // namespace dao
