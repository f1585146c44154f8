#include "core/collection.h"

#include "core/backups.h"
#include "core/category_schema.h"
#include "core/change_feed.h"
#include "core/search_index.h"
#include "core/translated.h"
#include "engine/database.h"
#include "engine/db_engine.h"
#include "engine/names.h"
#include "engine/recordset.h"

namespace recipes {

namespace {

// Writes the typed texts into the pending row, each encoded, and returns them as written; a text
// too long for its field is refused before anything is written.
Recipe writeFields(dao::Recordset &rows, const Recipe &typed)
{
    const Recipe stored = schema::encodeChecked(typed, [&](int i) { return rows.FieldLimit(i); });
    for (int i = 0; i < schema::kFieldCount; ++i)
        rows.SetField(i, stored.field(i));
    return stored;
}

// Positions rows on the first row whose trimmed name is wanted (a null name matches nothing).
// The rows are the engine's candidates; the check here keeps the core's own rule.
bool moveToMatch(dao::Recordset &rows, const QString &wanted)
{
    const int n = rows.RecordCount();
    for (int i = 0; i < n; ++i) {
        if (i == 0)
            rows.MoveFirst();
        else
            rows.MoveNext();
        if (nameMatches(rows.Fields(schema::NameField), wanted, NullName::MatchesNothing))
            return true;
    }
    return false;
}

// The current row's four fields as stored, null as the empty text.
Recipe storedFields(const dao::Recordset &rows)
{
    Recipe stored;
    for (int i = 0; i < schema::kFieldCount; ++i)
        stored.field(i) = rows.Fields(i).value_or(QString());
    return stored;
}

}  // namespace

Collection::Collection(const QString &path, const QString &password, Reach reach)
    : db_(translated([&] {
          return reach == Reach::Shared ? dao::DBEngine::Open(path, password) : dao::DBEngine::OpenPrivate(path, password);
      })),
      password_(password)
{
}

Collection::~Collection() = default;

void Collection::create(const QString &path, const QString &password)
{
    translated([&] { dao::DBEngine::CreateDatabase(path, password); });
    Backups::madeNew(path);
}

bool Collection::mayBeEncrypted(const QString &path) { return dao::DBEngine::MayBeEncrypted(path); }

QString Collection::fileNamed(const QString &path) { return dao::DBEngine::FileNamed(path); }

void Collection::changePassword(const QString &path, const QString &oldPassword, const QString &newPassword)
{
    const std::unique_ptr<dao::Database> db = translated([&] { return dao::DBEngine::Open(path, oldPassword); });
    Backups::beforeChange(*db);
    translated([&] { db->Rekey(newPassword); });
}

dao::Database &Collection::db() const
{
    if (!db_)
        throw Error(QStringLiteral("The recipe file is not open."));
    return *db_;
}

QString Collection::path() const { return db_ ? db_->Path() : QString(); }

QString Collection::fileIdentity() const
{
    return translated([&] { return db().FileIdentity(); });
}

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

void Collection::readAll(const QString &category,
                         const std::function<void(std::int64_t, const Recipe &)> &fn) const
{
    translated([&] {
        Recipe stored;
        db().ReadAll(category, [&](std::int64_t row, const std::vector<dao::Value> &fields) {
            for (int i = 0; i < schema::kFieldCount; ++i)
                stored.field(i) = i < static_cast<int>(fields.size()) ? fields[static_cast<std::size_t>(i)].value_or(QString())
                                                                      : QString();
            fn(row, stored);
        });
    });
}

int Collection::readSlice(const QString &category, std::int64_t after, int limit,
                          const std::function<void(std::int64_t, const Recipe &)> &fn) const
{
    return translated([&] {
        Recipe stored;
        return db().ReadSlice(category, after, limit, [&](std::int64_t row, const std::vector<dao::Value> &fields) {
            for (int i = 0; i < schema::kFieldCount; ++i)
                stored.field(i) = i < static_cast<int>(fields.size()) ? fields[static_cast<std::size_t>(i)].value_or(QString())
                                                                      : QString();
            fn(row, stored);
        });
    });
}

int Collection::readNames(const QString &category, std::int64_t from, bool backwards, int limit,
                          const std::function<void(std::int64_t, const QString &)> &fn) const
{
    return translated([&] {
        return db().ReadNames(category, from, backwards, limit, [&](std::int64_t row, const dao::Value &name) {
            fn(row, schema::decode(name));
        });
    });
}

std::int64_t Collection::recipeCount(const QString &category) const
{
    return translated([&] { return db().CountRows(category); });
}

std::int64_t Collection::recipeRowSpan(const QString &category) const
{
    return translated([&] { return db().RowSpan(category); });
}

dao::TableMark Collection::mark(const QString &category) const
{
    return translated([&] { return db().Mark(category); });
}

std::int64_t Collection::dataVersion() const
{
    return translated([&] { return db().DataVersion(); });
}

void Collection::tell(Change change) const
{
    change.file = path();
    const bool recipes = change.kind != Change::Kind::CategoryAdded && change.kind != Change::Kind::CategoryDeleted;
    const QString category = change.category;
    emit ChangeFeed::instance().changed(change);
    if (recipes)
        SearchIndex::categoryChanged(path(), password_, category);
}

void Collection::addRecipe(const QString &category, const Recipe &typed)
{
    Backups::beforeChange(db());
    Recipe stored;
    const std::int64_t row = translated([&] {
        const std::unique_ptr<dao::Recordset> rows = db().OpenRecordsetForAppend(category);
        rows->AddNew();
        stored = writeFields(*rows, typed);
        rows->Update();
        return rows->LastModified();
    });
    tell(Change{Change::Kind::RecipeWritten, {}, category, row, stored, std::nullopt, {}, 0});
}

bool Collection::updateRecipe(const QString &category, const QString &name, const Recipe &typed)
{
    Backups::beforeChange(db());
    Recipe stored;
    Recipe before;
    const std::optional<std::int64_t> row = translated([&]() -> std::optional<std::int64_t> {
        const QString wanted = schema::trimBlanks(name);
        const std::unique_ptr<dao::Recordset> rows = db().OpenRecordsetMatching(category, wanted);
        if (!moveToMatch(*rows, wanted))
            return std::nullopt;
        before = storedFields(*rows);
        rows->Edit();
        try {
            stored = writeFields(*rows, typed);
            // Checks, in the same transaction, that the row still holds the name it was found by.
            rows->Update();
        } catch (...) {
            rows->CancelUpdate();
            throw;
        }
        return rows->LastModified();
    });
    if (row)
        tell(Change{Change::Kind::RecipeWritten, {}, category, *row, stored, before, {}, 0});
    return row.has_value();
}

bool Collection::deleteRecipe(const QString &category, const QString &name)
{
    Backups::beforeChange(db());
    Recipe before;
    const std::optional<std::int64_t> row = translated([&]() -> std::optional<std::int64_t> {
        const QString wanted = schema::trimBlanks(name);
        const std::unique_ptr<dao::Recordset> rows = db().OpenRecordsetMatching(category, wanted);
        if (!moveToMatch(*rows, wanted))
            return std::nullopt;
        before = storedFields(*rows);
        const std::int64_t bookmark = rows->Bookmark();
        rows->Delete();
        return bookmark;
    });
    if (row)
        tell(Change{Change::Kind::RecipeDeleted, {}, category, *row, {}, before, {}, 0});
    return row.has_value();
}

void Collection::addCategory(const QString &name)
{
    Backups::beforeChange(db());
    translated([&] { schema::createTable(db(), name); });
    tell(Change{Change::Kind::CategoryAdded, {}, name, 0, {}, std::nullopt, {}, 0});
}

void Collection::deleteCategory(const QString &name)
{
    Backups::beforeChange(db());
    std::vector<StoredRecipe> held;
    translated([&] {
        // Read and dropped in one transaction, so that what is told is what went.
        const std::unique_ptr<dao::Transaction> transaction = db().BeginTrans();
        try {
            readAll(name, [&](std::int64_t row, const Recipe &stored) { held.push_back(StoredRecipe{row, stored}); });
        } catch (...) {
            db().DeleteTableDef(name);  // says why when there is no such category
            throw;
        }
        db().DeleteTableDef(name);
        transaction->Commit();
    });
    tell(Change{Change::Kind::CategoryDeleted, {}, name, 0, {}, std::nullopt, std::move(held), 0});
}

}  // namespace recipes
