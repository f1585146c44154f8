#include "core/recipe_batch.h"

#include "core/backups.h"
#include "core/category_schema.h"
#include "core/change_feed.h"
#include "core/translated.h"
#include "engine/database.h"
#include "engine/names.h"

#include <atomic>
#include <vector>

namespace recipes {

namespace {

// The four texts as they are compared: trimmed, a null read as empty (as decode gives them),
// as views into the recipe.
DuplicateIndex::Texts comparable(const Recipe &recipe)
{
    DuplicateIndex::Texts texts;
    for (int i = 0; i < schema::kFieldCount; ++i)
        texts[static_cast<std::size_t>(i)] = schema::trimmedView(recipe.field(i));
    return texts;
}

}  // namespace

// A category being added to: its appender, the fingerprints of what it held when the batch
// began (owned by the index), and of the rows this batch added, each with the rows that have it,
// so a match is confirmed against the row itself.
struct RecipeBatch::Category {
    std::unique_ptr<dao::Appender> appender;
    const DuplicateIndex::Rows *stored = nullptr;
    DuplicateIndex::Rows added;
    std::vector<StoredRecipe> appended;  // the same rows in the order added, as written
};

RecipeBatch::RecipeBatch(Collection &collection, DuplicateIndex *index)
    : collection_(collection),
      ownIndex_(index ? nullptr : std::make_unique<DuplicateIndex>()),
      index_(index ? index : ownIndex_.get()),
      keepsRecipes_(ChangeFeed::instance().listened())
{
    Backups::beforeChange(collection_.db());
    translated([&] {
        transaction_ = collection_.db().BeginTrans();
        existing_ = collection_.categories();
    });
    // Read inside the transaction: no other writer can come between this and the rows read.
    index_->sync(collection_.dataVersion());
}

RecipeBatch::~RecipeBatch() = default;

QString RecipeBatch::category(const QString &name)
{
    for (const QString &known : std::as_const(existing_))
        if (known == name)
            return known;
    for (const QString &known : std::as_const(existing_))
        if (dao::names::sameName(known, name))
            return known;
    translated([&] { schema::createTable(collection_.db(), name); });
    existing_.append(name);
    created_.append(name);
    return name;
}

RecipeBatch::Category &RecipeBatch::open(const QString &category)
{
    auto found = open_.find(category);
    if (found != open_.end())
        return *found->second;
    auto added = std::make_unique<Category>();
    translated([&] { added->appender = collection_.db().OpenAppender(category); });
    added->stored = &index_->rows(collection_, category, created_.contains(category));
    return *open_.emplace(category, std::move(added)).first->second;
}

RecipeBatch::Result RecipeBatch::add(const QString &category, const Recipe &typed)
{
    Category &target = open(category);
    dao::Appender &appender = *target.appender;
    const Recipe stored = schema::encodeChecked(typed, [&](int i) { return appender.FieldLimit(i); });
    const DuplicateIndex::Texts texts = comparable(stored);
    const std::uint64_t print = index_->hash(texts);
    const auto sameAs = [&](std::int64_t rowNumber) {
        const std::vector<dao::Value> row = appender.Read(rowNumber, schema::kFieldCount);
        for (int i = 0; i < schema::kFieldCount; ++i) {
            const dao::Value &value = row[static_cast<std::size_t>(i)];
            if (schema::trimmedView(value ? QStringView(*value) : QStringView()) != texts[static_cast<std::size_t>(i)])
                return false;
        }
        return true;
    };
    return translated([&] {
        for (const DuplicateIndex::Rows *rows : {target.stored, static_cast<const DuplicateIndex::Rows *>(&target.added)}) {
            for (auto it = rows->constFind(print); it != rows->cend() && it.key() == print; ++it) {
                if (sameAs(it.value()))
                    return Result::Duplicate;
            }
        }
        std::vector<QString> values;
        for (int i = 0; i < schema::kFieldCount; ++i)
            values.push_back(stored.field(i));
        const std::int64_t row = appender.Append(values);
        target.added.insert(print, row);
        if (keepsRecipes_)
            target.appended.push_back(StoredRecipe{row, stored});
        return Result::Added;
    });
}

bool RecipeBatch::usable() const { return transaction_ && transaction_->IsActive(); }

void RecipeBatch::commit()
{
    std::vector<std::pair<QString, std::vector<StoredRecipe>>> written;
    std::vector<std::pair<QString, DuplicateIndex::Rows>> added;
    for (auto &[name, category] : open_) {
        written.emplace_back(name, std::move(category->appended));
        added.emplace_back(name, std::move(category->added));
    }
    open_.clear();  // the prepared statements end before the transaction does
    translated([&] { transaction_->Commit(); });
    transaction_.reset();
    for (const auto &[name, rows] : added)
        index_->addCommitted(name, rows);
    static std::atomic<std::uint64_t> batches{0};
    const std::uint64_t batch = ++batches;
    ChangeFeed &feed = ChangeFeed::instance();
    const QString file = collection_.path();
    for (const QString &name : std::as_const(created_))
        emit feed.changed(Change{Change::Kind::CategoryAdded, file, name, 0, {}, std::nullopt, {}, batch});
    for (auto &[name, rows] : written)
        emit feed.changed(Change{Change::Kind::ManyWritten, file, name, 0, {}, std::nullopt, std::move(rows), batch});
}

}  // namespace recipes
