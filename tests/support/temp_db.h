#pragma once
// Real encrypted recipe databases in a private temporary folder, built through the engine.

#include "engine/db_engine.h"
#include "engine/engine_error.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

inline const QString kPassword = QStringLiteral("qmtrwz47195306");
inline const QString kConnect = QStringLiteral(";Pwd=qmtrwz47195306");

// One row as the four stored values, each possibly null.
struct Row {
    dao::Value name, author, ingredients, instructions;
};

class TempDb {
public:
    TempDb();                        // an empty folder; no database yet
    QString folder() const;          // the folder, as a program folder would be
    QString basePath() const;        // folder + "/Recipe", the store's DbPath
    QString filePath() const;        // folder + "/Recipe.mdb"

    void create();                   // an empty encrypted Recipe.mdb
    // Adds a category table with the four recipe fields and the given rows, in order.
    void addCategory(const QString &name, const std::vector<Row> &rows = {});
    void addRows(const QString &name, const std::vector<Row> &rows);
    // Every row of a table as stored, in stored order.
    std::vector<Row> rows(const QString &table) const;
    QStringList tables() const;
    std::unique_ptr<dao::Database> open() const;

    // Another program's view of the file: SQL run through the SQLCipher C API on a connection
    // of its own, keyed with key (no key when empty: a missing file is then made as plain
    // SQLite), without
    // a busy timeout, so a lock held by anyone shows at once. Returns SQLite's result code; the
    // rows of a query are appended to rows, each as its columns' texts joined by '|' (null as
    // "NULL"), and SQLite's error text to error.
    int rawExec(const QString &sql, const QString &key = kPassword, QStringList *rows = nullptr,
                QString *error = nullptr) const;
    QByteArray fileBytes() const;

private:
    QTemporaryDir dir_;
};

// A row whose four values are the given texts (stored verbatim, no encoding applied).
Row row(const QString &name, const QString &author = {}, const QString &ingredients = {},
        const QString &instructions = {});

// The message of the dao::EngineError or recipes::Error that action throws, or "(no error)" when it throws none.
std::string engineError(const std::function<void()> &action);

bool operator==(const Row &a, const Row &b);
std::ostream &operator<<(std::ostream &os, const Row &r);

}  // namespace testsupport
