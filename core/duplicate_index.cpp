#include "core/duplicate_index.h"

#include "core/collection.h"

namespace recipes {

DuplicateIndex::DuplicateIndex(Hash hash) : hash_(hash) {}

std::uint64_t DuplicateIndex::fingerprint(const Texts &t)
{
    // qHash of a view is as wide as size_t: where that is 32 bits, a second round fills the rest.
    const std::uint64_t low = qHashMulti(0, t[0], t[1], t[2], t[3]);
    if constexpr (sizeof(std::size_t) >= 8)
        return low;
    const std::uint64_t high = qHashMulti(0x9e3779b9U, t[3], t[2], t[1], t[0]);
    return (high << 32) ^ low;
}

void DuplicateIndex::sync(std::int64_t dataVersion)
{
    if (dataVersion_ != dataVersion)
        categories_.clear();
    dataVersion_ = dataVersion;
}

const DuplicateIndex::Rows &DuplicateIndex::rows(const Collection &collection, const QString &category, bool created)
{
    // A category the batch made is not in the index until the batch is committed.
    static const Rows none;
    if (created)
        return none;
    auto found = categories_.find(category);
    if (found != categories_.end())
        return found->second;
    Rows rows;
    collection.readAll(category, [&](std::int64_t row, const Recipe &stored) {
        Texts texts;
        for (int i = 0; i < schema::kFieldCount; ++i)
            texts[static_cast<std::size_t>(i)] = schema::trimmedView(stored.field(i));
        rows.insert(hash_(texts), row);
        ++rowsRead_;
    });
    return categories_.emplace(category, std::move(rows)).first->second;
}

void DuplicateIndex::addCommitted(const QString &category, const Rows &added)
{
    Rows &rows = categories_[category];
    for (auto it = added.cbegin(); it != added.cend(); ++it)
        rows.insert(it.key(), it.value());
}

}  // namespace recipes
