#include "bench/bench_databases.h"

#include "bench/raw_sqlcipher.h"
#include "bench/recipe_corpus.h"
#include "core/category_schema.h"
#include "engine/db_engine.h"
#include "engine/engine_error.h"
#include "platform/text_box.h"
#include "store/RecipeBas.h"

#include <QDir>
#include <QFile>

#include <sqlcipher/sqlite3.h>

#include <stdexcept>

namespace bench {

namespace {

// Written last: a folder without it holds a database whose generation did not finish, or one
// made by an older version of the generator. It holds the last generated row number of the
// middle category.
const QString kCompleteMarker = QStringLiteral("complete-v1");

void createTables(const QString &file, const QString &basePath, const std::vector<std::string> &names)
{
    dao::DBEngine::CreateDatabase(file, RecipeBas::kPassword);
    auto db = dao::DBEngine::OpenDatabase(basePath, false, false, QStringLiteral(";Pwd=") + RecipeBas::kPassword);
    for (const std::string &name : names) {
        recipes::schema::createTable(*db, QString::fromStdString(name));
    }
    db->Close();
}

void insertRows(const QString &file, const std::vector<std::string> &names, int recipesEach)
{
    RawConnection raw(file, RecipeBas::kPassword);
    RecipeCorpus corpus(20240611);
    raw.exec("BEGIN");
    for (const std::string &table : names) {
        sqlite3_stmt *insert = raw.prepare("INSERT INTO " + quoted(table)
                                           + " (Name, Author, Ingredients, Instructions) VALUES (?1, ?2, ?3, ?4)");
        corpus.startCategory();
        for (int i = 0; i < recipesEach; ++i) {
            const RecipeText r = corpus.next();
            int column = 1;
            for (const std::string *value : {&r.name, &r.author, &r.ingredients, &r.instructions})
                sqlite3_bind_text(insert, column++, value->data(), static_cast<int>(value->size()),
                                  SQLITE_STATIC);
            if (sqlite3_step(insert) != SQLITE_DONE) {
                sqlite3_finalize(insert);
                raw.fail("cannot insert into " + table);
            }
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    raw.exec("COMMIT");
}

// Name and rowid of the first (ascending) or last row of a table in stored order.
std::pair<QString, std::int64_t> endRow(RawConnection &raw, const QString &table, bool last)
{
    sqlite3_stmt *query = raw.prepare("SELECT Name, rowid FROM " + quoted(table.toStdString())
                                      + (last ? " ORDER BY rowid DESC LIMIT 1" : " ORDER BY rowid LIMIT 1"));
    if (sqlite3_step(query) != SQLITE_ROW) {
        sqlite3_finalize(query);
        raw.fail("no rows in " + table.toStdString());
    }
    const QString name =
        recipes::schema::trimBlanks(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(query, 0))));
    const std::int64_t rowid = sqlite3_column_int64(query, 1);
    sqlite3_finalize(query);
    return {name, rowid};
}

}  // namespace

const std::vector<Shape> &shapes()
{
    static const std::vector<Shape> all = {
        {QStringLiteral("small"), 10, 50, {}},
        {QStringLiteral("large"), 100, 1000, {}},
        {QStringLiteral("single"), 1, 100000, QStringLiteral("Everything")},
        {QStringLiteral("wide"), 100, 10000, {}},
        {QStringLiteral("million"), 1, 1000000, QStringLiteral("Everything")},
    };
    return all;
}

GeneratedDatabase prepareDatabase(const QString &root, const Shape &shape)
{
    GeneratedDatabase db;
    db.shape = shape;
    db.folder = QDir(root).filePath(shape.key);
    const QString marker = QDir(db.folder).filePath(kCompleteMarker);

    std::vector<std::string> names;
    if (shape.singleName.isEmpty())
        names = RecipeCorpus::categoryNames(shape.categories);
    else
        names = {shape.singleName.toStdString()};

    if (!QFile::exists(marker)) {
        QDir(db.folder).removeRecursively();
        if (!QDir().mkpath(db.folder))
            throw std::runtime_error("cannot make the folder " + db.folder.toStdString());
        createTables(db.filePath(), db.basePath(), names);
        insertRows(db.filePath(), names, shape.recipesEach);
    }
    // The engine's own catalogue order, so "the middle category" is the one the tree shows there.
    dao::DBEngine::ResetCache();
    db.categories = dao::DBEngine::OpenDatabase(db.basePath(), false, false,
                                                QStringLiteral(";Pwd=") + RecipeBas::kPassword)
                        ->TableDefs();
    dao::DBEngine::ResetCache();
    db.midCategory = db.categories.at(db.categories.size() / 2);

    RawConnection raw(db.filePath(), RecipeBas::kPassword);
    db.firstRecipe = endRow(raw, db.midCategory, false).first;
    if (QFile::exists(marker)) {
        QFile file(marker);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read " + marker.toStdString());
        db.lastRowid = file.readAll().trimmed().toLongLong();
        trimAddedRows(db);
    } else {
        db.lastRowid = endRow(raw, db.midCategory, true).second;
        QFile file(marker);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::number(db.lastRowid)) < 0)
            throw std::runtime_error("cannot write " + marker.toStdString());
    }
    db.lastRecipe = endRow(raw, db.midCategory, true).first;
    return db;
}

void trimAddedRows(const GeneratedDatabase &db)
{
    RawConnection raw(db.filePath(), RecipeBas::kPassword);
    raw.exec("DELETE FROM " + quoted(db.midCategory.toStdString())
             + " WHERE rowid > " + std::to_string(db.lastRowid));
}

}  // namespace bench
