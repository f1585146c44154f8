#include "core/collection.h"

#include "core/category_schema.h"
#include "core/translated.h"
#include "engine/database.h"
#include "engine/db_engine.h"
#include "engine/names.h"
#include "engine/recordset.h"

namespace recipes {

namespace {

// Writes the typed texts into the pending row, each encoded; a text too long for its field is
// refused before anything is written, counted as the user typed it.
void writeFields(dao::Recordset &rows, const Recipe &typed)
{
    QString values[schema::kFieldCount];
    for (int i = 0; i < schema::kFieldCount; ++i) {
        values[i] = schema::encode(typed.field(i));
        // The limit is the file's, which a table made by another tool may set lower.
        const std::optional<int> limit = rows.FieldLimit(i);
        const int stored = dao::names::codePointCount(values[i]);
        if (limit && stored > *limit)
            throw Error::tooLong(i, stored - 1, std::max(*limit - 1, 0));
    }
    for (int i = 0; i < schema::kFieldCount; ++i)
        rows.SetField(i, values[i]);
}

// Positions rows on the first row whose trimmed name is wanted (a null name matches nothing).
bool moveToMatch(dao::Recordset &rows, const QString &wanted)
{
    const int n = rows.RecordCount();
    for (int i = 0; i < n; ++i) {
        if (i == 0)
            rows.MoveFirst();
        else
            rows.MoveNext();
        const dao::Value value = rows.Fields(schema::NameField);
        if (value && schema::trimmedView(*value) == wanted)
            return true;
    }
    return false;
}

}  // namespace

Collection::Collection(const QString &path, const QString &password)
    : db_(translated([&] { return dao::DBEngine::Open(path, password); }))
{
}

Collection::~Collection() = default;

void Collection::create(const QString &path, const QString &password)
{
    translated([&] { dao::DBEngine::CreateDatabase(path, password); });
}

dao::Database &Collection::db() const
{
    if (!db_)
        throw Error(QStringLiteral("The recipe file is not open."));
    return *db_;
}

QString Collection::path() const { return db_ ? db_->Path() : QString(); }

void Collection::close()
{
    if (db_)
        db_->Close();
    db_.reset();
}

QStringList Collection::categories() const
{
    return translated([&] {
        QStringList tables = db().TableDefs();
        tables.removeIf([](const QString &name) {
            return dao::DBEngine::ReservedTableNames().contains(name, Qt::CaseSensitive);
        });
        return tables;
    });
}

std::unique_ptr<CategoryRows> Collection::openCategory(const QString &category) const
{
    return translated([&] {
        return std::unique_ptr<CategoryRows>(new CategoryRows(category, db().OpenRecordset(category)));
    });
}

QStringList Collection::recipeNames(const QString &category) const { return openCategory(category)->names(); }

std::optional<Recipe> Collection::recipe(const QString &category, const QString &name) const
{
    const std::unique_ptr<CategoryRows> rows = openCategory(category);
    const std::optional<int> row = rows->find(name, NullName::MatchesEmpty);
    if (!row)
        return std::nullopt;
    Recipe recipe = rows->stored(*row);
    for (int i = 0; i < schema::kFieldCount; ++i)
        recipe.field(i) = schema::decode(recipe.field(i));
    return recipe;
}

void Collection::addRecipe(const QString &category, const Recipe &typed)
{
    translated([&] {
        const std::unique_ptr<dao::Recordset> rows = db().OpenRecordset(category);
        rows->AddNew();
        writeFields(*rows, typed);
        rows->Update();
    });
}

bool Collection::updateRecipe(const QString &category, const QString &name, const Recipe &typed)
{
    return translated([&] {
        const std::unique_ptr<dao::Recordset> rows = db().OpenRecordset(category);
        if (!moveToMatch(*rows, schema::trimBlanks(name)))
            return false;
        rows->Edit();
        try {
            writeFields(*rows, typed);
            // Checks, in the same transaction, that the row still holds the name it was found by.
            rows->Update();
        } catch (...) {
            rows->CancelUpdate();
            throw;
        }
        return true;
    });
}

bool Collection::deleteRecipe(const QString &category, const QString &name)
{
    return translated([&] {
        const std::unique_ptr<dao::Recordset> rows = db().OpenRecordset(category);
        if (!moveToMatch(*rows, schema::trimBlanks(name)))
            return false;
        rows->Delete();
        return true;
    });
}

void Collection::addCategory(const QString &name)
{
    translated([&] { schema::createTable(db(), name); });
}

void Collection::deleteCategory(const QString &name)
{
    translated([&] { db().DeleteTableDef(name); });
}

}  // namespace recipes
