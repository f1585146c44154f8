#include "core/recipe_batch.h"

#include "core/backups.h"
#include "core/category_schema.h"
#include "core/change_feed.h"
#include "core/translated.h"
#include "engine/database.h"
#include "engine/names.h"

#include <vector>

namespace recipes {

namespace {

// The four texts as they are compared: trimmed, a null read as empty (as decode gives them),
// as views into the recipe.
using Comparable = std::array<QStringView, schema::kFieldCount>;

Comparable comparable(const Recipe &recipe)
{
    Comparable texts;
    for (int i = 0; i < schema::kFieldCount; ++i)
        texts[static_cast<std::size_t>(i)] = schema::trimmedView(recipe.field(i));
    return texts;
}

std::size_t fingerprint(const Comparable &t)
{
    return qHashMulti(0, t[0], t[1], t[2], t[3]);
}

}  // namespace

// A category being added to: its appender, and the fingerprints of its recipes, each with the
// rows that have it, so a match is confirmed against the row itself.
struct RecipeBatch::Category {
    std::unique_ptr<dao::Appender> appender;
    QMultiHash<std::size_t, std::int64_t> rows;
};

RecipeBatch::RecipeBatch(Collection &collection) : collection_(collection)
{
    Backups::beforeChange(collection_.db());
    translated([&] {
        transaction_ = collection_.db().BeginTrans();
        existing_ = collection_.categories();
    });
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
    // A category this batch made is empty: nothing to read.
    if (!created_.contains(category)) {
        collection_.readAll(category, [&](std::int64_t row, const Recipe &stored) {
            added->rows.insert(fingerprint(comparable(stored)), row);
        });
    }
    return *open_.emplace(category, std::move(added)).first->second;
}

RecipeBatch::Result RecipeBatch::add(const QString &category, const Recipe &typed)
{
    Category &target = open(category);
    dao::Appender &appender = *target.appender;
    const Recipe stored = schema::encodeChecked(typed, [&](int i) { return appender.FieldLimit(i); });
    const Comparable texts = comparable(stored);
    const std::size_t print = fingerprint(texts);
    return translated([&] {
        for (auto it = target.rows.constFind(print); it != target.rows.cend() && it.key() == print; ++it) {
            const std::vector<dao::Value> row = appender.Read(it.value(), schema::kFieldCount);
            bool same = true;
            for (int i = 0; i < schema::kFieldCount && same; ++i) {
                const dao::Value &value = row[static_cast<std::size_t>(i)];
                same = schema::trimmedView(value ? QStringView(*value) : QStringView()) == texts[static_cast<std::size_t>(i)];
            }
            if (same)
                return Result::Duplicate;
        }
        std::vector<QString> values;
        for (int i = 0; i < schema::kFieldCount; ++i)
            values.push_back(stored.field(i));
        target.rows.insert(print, appender.Append(values));
        return Result::Added;
    });
}

bool RecipeBatch::usable() const { return transaction_ && transaction_->IsActive(); }

void RecipeBatch::commit()
{
    QStringList written;
    for (const auto &[name, category] : open_)
        written.append(name);
    open_.clear();  // the prepared statements end before the transaction does
    translated([&] { transaction_->Commit(); });
    transaction_.reset();
    ChangeFeed &feed = ChangeFeed::instance();
    const QString file = collection_.path();
    for (const QString &name : std::as_const(created_))
        emit feed.changed(Change{Change::Kind::CategoryAdded, file, name, 0, {}});
    for (const QString &name : std::as_const(written))
        emit feed.changed(Change{Change::Kind::ManyWritten, file, name, 0, {}});
}

}  // namespace recipes
