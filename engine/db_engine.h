#pragma once
// Opening and creating encrypted recipe databases, and the engine's reserved table names.

#include "engine/database.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace dao {

class DBEngine {
public:
    // Opens an existing encrypted database. A name without extension gets ".mdb". The connect
    // string carries the password as ";Pwd=...". Never creates a file. Throws when the file is
    // missing, empty, not an encrypted database, opened with a wrong or absent password, or
    // locked beyond a short wait. Opening is shared only: exclusive = true is refused, because
    // a lock held for a handle's whole life could not survive the shared connection cache.
    static std::unique_ptr<Database> OpenDatabase(const QString &name, bool exclusive, bool readOnly,
                                                  const QString &connect);

    // Opens an existing encrypted database as OpenDatabase does, shared, with the password
    // given as it is rather than inside a connect string.
    static std::unique_ptr<Database> Open(const QString &name, const QString &password,
                                          bool readOnly = false);

    // As Open, on a connection of the handle's own rather than the shared one: for a worker thread,
    // which alone may use the handle and what it opens.
    static std::unique_ptr<Database> OpenPrivate(const QString &name, const QString &password,
                                                 bool readOnly = false);

    // Creates a new, empty encrypted database at path (extension as given) with the password.
    // Throws when the file exists already or cannot be created.
    static void CreateDatabase(const QString &path, const QString &password);

    // True when the file at path may be a recipe database encrypted with a password other than
    // the one tried: an ordinary file of whole pages that is not plain SQLite. Only its
    // password can tell for sure.
    static bool MayBeEncrypted(const QString &path);
    // The file a name opens: a name without an extension gets ".mdb".
    static QString FileNamed(const QString &name);

    // The seven table names reserved by the engine: refused for new tables.
    static const QStringList &ReservedTableNames();

    // Drops every cached connection. Tests use it to start from a cold engine.
    static void ResetCache();
};

}  // namespace dao
