#include "core/change_history.h"

#include "core/recipe_session.h"

#include "core/backups.h"
#include "core/category_schema.h"
#include "core/collection.h"
#include "core/translated.h"
#include "engine/database.h"
#include "engine/names.h"
#include "engine/refusals.h"

#include <QThread>

#include <algorithm>
#include <map>

namespace recipes {

namespace {

using Rows = std::map<std::int64_t, Recipe>;  // by row number, which is the stored order

QString recipeName(const Recipe &stored) { return schema::trimBlanks(schema::decode(stored.name)); }

QString quoted(const QString &name) { return dao::refusals::quotedName(name); }

bool sameFields(const Recipe &a, const Recipe &b)
{
    // A null field reads as the empty text, and is written back as one.
    for (int i = 0; i < schema::kFieldCount; ++i)
        if (a.field(i) != b.field(i))
            return false;
    return true;
}

std::vector<QString> values(const Recipe &stored)
{
    std::vector<QString> out;
    for (int i = 0; i < schema::kFieldCount; ++i)
        out.push_back(stored.field(i));
    return out;
}

// Marks the history busy while its own changes are told, so that it does not take them as steps.
class Applying {
public:
    explicit Applying(bool &flag) : flag_(flag) { flag_ = true; }
    ~Applying() { flag_ = false; }
    Applying(const Applying &) = delete;
    Applying &operator=(const Applying &) = delete;

private:
    bool &flag_;
};

}  // namespace

ChangeHistory::ChangeHistory(const RecipeSession &session, QObject *parent)
    : QObject(parent), path_(session.collection()->path()), session_(session)
{
    // Direct: a change is taken while the file is as the change left it; one made on another
    // thread is not this window's to undo.
    connect(&ChangeFeed::instance(), &ChangeFeed::changed, this, &ChangeHistory::take, Qt::DirectConnection);
}

ChangeHistory::~ChangeHistory() = default;

QString ChangeHistory::undoText() const { return done_.empty() ? QString() : done_.back().text; }

QString ChangeHistory::redoText() const { return undone_.empty() ? QString() : undone_.back().text; }

void ChangeHistory::clear()
{
    done_.clear();
    undone_.clear();
    emit stepsChanged();
}

std::int64_t ChangeHistory::currentVersion() const { return Collection(path_, session_.password()).dataVersion(); }

void ChangeHistory::take(const Change &change)
{
    if (applying_ || change.file != path_ || QThread::currentThread() != thread())
        return;
    try {
        const std::int64_t version = currentVersion();
        if (version_ && *version_ != version)
            done_.clear();
        version_ = version;
    } catch (const Error &) {
        // The file cannot be read now: no step before or after this can be trusted.
        done_.clear();
        undone_.clear();
        version_.reset();
        emit stepsChanged();
        return;
    }
    undone_.clear();

    const bool joins = change.batch != 0 && !done_.empty() && done_.back().batch == change.batch;
    if (!joins) {
        if (change.kind == Change::Kind::ManyWritten && change.recipes.empty()) {
            emit stepsChanged();
            return;  // a batch that added nothing here
        }
        done_.push_back(Step{});
        done_.back().batch = change.batch;
    }
    Step &step = done_.back();
    switch (change.kind) {
    case Change::Kind::RecipeWritten:
        step.rows.push_back(RowChange{change.category, change.row, change.before, change.stored});
        step.text = (change.before ? QStringLiteral("edit of recipe ") : QStringLiteral("add of recipe "))
            + recipeName(change.before.value_or(change.stored));
        break;
    case Change::Kind::RecipeDeleted:
        step.rows.push_back(RowChange{change.category, change.row, change.before, std::nullopt});
        step.text = QStringLiteral("delete of recipe ") + recipeName(change.before.value_or(Recipe{}));
        break;
    case Change::Kind::CategoryAdded:
        step.created.append(change.category);
        step.text = QStringLiteral("add of category ") + change.category;
        break;
    case Change::Kind::CategoryDeleted:
        step.dropped.emplace_back(change.category, change.recipes);
        step.text = QStringLiteral("delete of category ") + change.category;
        break;
    case Change::Kind::ManyWritten:
        for (const StoredRecipe &added : change.recipes)
            step.rows.push_back(RowChange{change.category, added.row, std::nullopt, added.stored});
        break;
    }
    if (step.batch != 0) {
        const auto count = step.rows.size();
        step.text = QStringLiteral("import of %1 %2")
                        .arg(QString::number(count), count == 1 ? QStringLiteral("recipe") : QStringLiteral("recipes"));
    }
    emit stepsChanged();
}

void ChangeHistory::undo() { move(done_, undone_, false, QStringLiteral("undo")); }

void ChangeHistory::redo() { move(undone_, done_, true, QStringLiteral("redo")); }

void ChangeHistory::move(std::vector<Step> &from, std::vector<Step> &to, bool forward, const QString &verb)
{
    if (from.empty())
        throw Error(QStringLiteral("There is nothing to %1.").arg(verb));
    const QString what = QStringLiteral("Cannot %1 the %2: ").arg(verb, from.back().text);
    const std::int64_t version = currentVersion();
    if (version_ && *version_ != version) {
        clear();
        throw Error(what + QStringLiteral("another program has changed the recipe file since. Nothing was changed, and "
                                          "the earlier changes of this run can no longer be undone."));
    }
    const Step step = from.back();
    std::vector<Change> changes;
    try {
        changes = apply(step, forward, what);
    } catch (const Error &e) {
        throw Error(e.message().startsWith(what) ? e.message() : what + e.message(), e.kind());
    }
    from.pop_back();
    to.push_back(step);
    version_ = currentVersion();
    emit stepsChanged();
    // Told as any change is, so that the search index keeps in step; the step is done even when
    // telling fails.
    const Applying busy(applying_);
    const Collection collection(path_, session_.password());
    for (Change &change : changes)
        collection.tell(std::move(change));
}

std::vector<Change> ChangeHistory::apply(const Step &step, bool forward, const QString &what)
{
    // Forward, as the step was done: its categories made, its rows changed, its categories
    // dropped. Backward, the other way round.
    std::vector<std::pair<QString, std::vector<StoredRecipe>>> toCreate, toDrop;
    for (const QString &name : step.created)
        (forward ? toCreate : toDrop).emplace_back(name, std::vector<StoredRecipe>{});
    for (const auto &dropped : step.dropped)
        (forward ? toDrop : toCreate).push_back(dropped);
    std::vector<RowChange> rows = step.rows;
    if (!forward) {
        std::reverse(rows.begin(), rows.end());
        for (RowChange &change : rows)
            std::swap(change.before, change.after);
    }

    Collection collection(path_, session_.password());
    Backups::beforeChange(collection.db());
    dao::Database &db = collection.db();
    translated([&] {
        const std::unique_ptr<dao::Transaction> transaction = db.BeginTrans();
        const QStringList existing = collection.categories();
        const auto exists = [&](const QString &name) {
            return std::any_of(existing.cbegin(), existing.cend(),
                               [&](const QString &known) { return dao::names::sameName(known, name); });
        };

        // Every check first, on the rows as they will be after the step: a refusal writes nothing.
        std::map<QString, Rows> after;
        for (const auto &[name, recipes] : toCreate) {
            if (exists(name))
                throw Error(what + QStringLiteral("there is a category %1 again.").arg(quoted(name)));
            after[name];
        }
        const auto rowsOf = [&](const QString &name) -> Rows & {
            auto found = after.find(name);
            if (found != after.end())
                return found->second;
            if (!exists(name))
                throw Error(what + QStringLiteral("there is no category %1 any more.").arg(quoted(name)));
            Rows &read = after[name];
            collection.readAll(name, [&](std::int64_t row, const Recipe &stored) { read[row] = stored; });
            return read;
        };
        for (const RowChange &change : rows) {
            Rows &current = rowsOf(change.category);
            const auto found = current.find(change.row);
            const bool asLeft = change.before ? found != current.end() && sameFields(found->second, *change.before)
                                              : found == current.end();
            if (!asLeft)
                throw Error(what + QStringLiteral("the recipe %1 in the category %2 is not as this run left it.")
                                       .arg(quoted(recipeName(change.before.value_or(change.after.value_or(Recipe{})))),
                                            quoted(change.category)));
            if (change.after)
                current[change.row] = *change.after;
            else
                current.erase(change.row);
        }
        for (const auto &[name, recipes] : toDrop) {
            const Rows &current = rowsOf(name);
            bool same = current.size() == recipes.size();
            auto it = current.cbegin();
            for (std::size_t i = 0; same && i < recipes.size(); ++i, ++it)
                same = it->first == recipes[i].row && sameFields(it->second, recipes[i].stored);
            if (!same)
                throw Error(what + QStringLiteral("the recipes of the category %1 are not as this run left them.")
                                       .arg(quoted(name)));
        }

        // Then the writes, in one transaction.
        for (const auto &[name, recipes] : toCreate) {
            schema::createTable(db, name);
            if (recipes.empty())
                continue;
            const std::unique_ptr<dao::Appender> appender = db.OpenAppender(name);
            for (const StoredRecipe &recipe : recipes)
                appender->AppendAt(recipe.row, values(recipe.stored));
        }
        std::map<QString, std::vector<const RowChange *>> byCategory;
        for (const RowChange &change : rows)
            byCategory[change.category].push_back(&change);
        for (const auto &[name, changes] : byCategory) {
            std::map<std::int64_t, const RowChange *> inPlace;  // edits and deletes
            std::vector<const RowChange *> added;
            for (const RowChange *change : changes)
                (change->before ? static_cast<void>(inPlace.emplace(change->row, change))
                                : added.push_back(change));
            if (!inPlace.empty()) {
                const std::unique_ptr<dao::Recordset> recordset = db.OpenRecordset(name);
                const int count = recordset->RecordCount();
                for (int i = 0; i < count; ++i) {
                    i == 0 ? recordset->MoveFirst() : recordset->MoveNext();
                    const auto found = inPlace.find(recordset->Bookmark());
                    if (found == inPlace.end())
                        continue;
                    if (!found->second->after) {
                        recordset->Delete();
                        continue;
                    }
                    recordset->Edit();
                    for (int f = 0; f < schema::kFieldCount; ++f)
                        recordset->SetField(f, found->second->after->field(f));
                    recordset->Update();
                }
            }
            if (!added.empty()) {
                const std::unique_ptr<dao::Appender> appender = db.OpenAppender(name);
                for (const RowChange *change : added)
                    appender->AppendAt(change->row, values(*change->after));
            }
        }
        for (const auto &[name, recipes] : toDrop)
            db.DeleteTableDef(name);
        transaction->Commit();
    });

    std::vector<Change> changes;
    for (const auto &[name, recipes] : toCreate) {
        changes.push_back(Change{Change::Kind::CategoryAdded, {}, name, 0, {}, std::nullopt, {}, 0});
        if (!recipes.empty())
            changes.push_back(Change{Change::Kind::ManyWritten, {}, name, 0, {}, std::nullopt, {}, 0});
    }
    std::map<QString, std::vector<const RowChange *>> told;
    for (const RowChange &change : rows)
        told[change.category].push_back(&change);
    for (const auto &[name, touched] : told) {
        const RowChange &one = *touched.front();
        if (touched.size() > 1)
            changes.push_back(Change{Change::Kind::ManyWritten, {}, name, 0, {}, std::nullopt, {}, 0});
        else if (one.after)
            changes.push_back(Change{Change::Kind::RecipeWritten, {}, name, one.row, *one.after, one.before, {}, 0});
        else
            changes.push_back(Change{Change::Kind::RecipeDeleted, {}, name, one.row, {}, one.before, {}, 0});
    }
    for (const auto &[name, recipes] : toDrop)
        changes.push_back(Change{Change::Kind::CategoryDeleted, {}, name, 0, {}, std::nullopt, recipes, 0});
    return changes;
}

}  // namespace recipes
