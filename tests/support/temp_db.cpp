#include "core/category_schema.h"
#include "core/recipe_error.h"
#include "support/temp_db.h"

#include <QFile>

// Tests act as another program on the file, through SQLCipher's own interface.
#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include <gtest/gtest.h>

#include <ostream>

namespace testsupport {

TempDb::TempDb()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot make a temporary folder");
}

QString TempDb::folder() const { return dir_.path(); }
QString TempDb::basePath() const { return dir_.path() + QStringLiteral("/Recipe"); }
QString TempDb::filePath() const { return dir_.path() + QStringLiteral("/Recipe.mdb"); }

void TempDb::create() { dao::DBEngine::CreateDatabase(filePath(), kPassword); }

std::unique_ptr<dao::Database> TempDb::open() const
{
    return dao::DBEngine::OpenDatabase(basePath(), false, false, kConnect);
}

void TempDb::addCategory(const QString &name, const std::vector<Row> &rows)
{
    auto db = open();
    recipes::schema::createTable(*db, name);
    db->Close();
    addRows(name, rows);
}

void TempDb::addRows(const QString &name, const std::vector<Row> &rows)
{
    if (rows.empty())
        return;
    auto db = open();
    auto rs = db->OpenRecordset(name);
    for (const Row &r : rows) {
        rs->AddNew();
        const dao::Value values[] = {r.name, r.author, r.ingredients, r.instructions};
        for (int i = 0; i < 4; ++i)
            if (values[i])
                rs->SetField(i, *values[i]);
        rs->Update();
    }
    rs->Close();
    db->Close();
}

std::vector<Row> TempDb::rows(const QString &table) const
{
    auto db = open();
    auto rs = db->OpenRecordset(table);
    std::vector<Row> out;
    if (rs->RecordCount() == 0)
        return out;
    rs->MoveFirst();
    for (int n = rs->RecordCount(); n > 0; --n) {
        out.push_back({rs->Fields(0), rs->Fields(1), rs->Fields(2), rs->Fields(3)});
        if (n > 1)
            rs->MoveNext();
    }
    return out;
}

QStringList TempDb::tables() const { return open()->TableDefs(); }

int TempDb::rawExec(const QString &sql, const QString &key, QStringList *rows, QString *error) const
{
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(filePath()).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK && !key.isEmpty()) {
        const QByteArray bytes = key.toUtf8();
        rc = sqlite3_key(db, bytes.constData(), static_cast<int>(bytes.size()));
    }
    if (rc == SQLITE_OK) {
        // The window's background backup may be reading the file: wait for it as another
        // program's write would, rather than fail on its lock.
        sqlite3_busy_timeout(db, 30000);
        auto collect = [](void *out, int columns, char **values, char **) {
            QStringList fields;
            for (int i = 0; i < columns; ++i)
                fields.append(values[i] ? QString::fromUtf8(values[i]) : QStringLiteral("NULL"));
            if (out)
                static_cast<QStringList *>(out)->append(fields.join(QLatin1Char('|')));
            return 0;
        };
        rc = sqlite3_exec(db, sql.toUtf8().constData(), collect, rows, nullptr);
    }
    if (error)
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    return rc;
}

QByteArray TempDb::fileBytes() const
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

Row row(const QString &name, const QString &author, const QString &ingredients,
        const QString &instructions)
{
    return {name, author, ingredients, instructions};
}

std::string engineError(const std::function<void()> &action)
{
    try {
        action();
    } catch (const dao::EngineError &error) {
        return error.what();
    } catch (const recipes::Error &error) {
        return error.what();
    }
    return "(no error)";
}

bool operator==(const Row &a, const Row &b)
{
    return a.name == b.name && a.author == b.author && a.ingredients == b.ingredients
        && a.instructions == b.instructions;
}

std::ostream &operator<<(std::ostream &os, const Row &r)
{
    auto show = [&os](const dao::Value &v) {
        if (v)
            os << '"' << v->toStdString() << '"';
        else
            os << "null";
    };
    os << "{";
    show(r.name);
    os << ", ";
    show(r.author);
    os << ", ";
    show(r.ingredients);
    os << ", ";
    show(r.instructions);
    return os << "}";
}

}  // namespace testsupport
