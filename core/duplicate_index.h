#pragma once
// Fingerprints of the recipes stored in a collection's categories, so that an import of many
// files reads each category once, not once a file. A fingerprint is a 64-bit hash of the four
// texts as the duplicate rule compares them (trimmed, a null read as empty); it only points at
// rows to compare, and a recipe counts as a duplicate only once the row's own texts match.
//
// The index holds what was committed to the file. It forgets everything when another connection
// has written to the file (Collection::dataVersion); changes made meanwhile through this program's
// own connection are not seen, so an index lives no longer than one import run.

#include "core/category_schema.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <map>
#include <optional>

namespace recipes {

class Collection;

class DuplicateIndex {
public:
    using Texts = std::array<QStringView, schema::kFieldCount>;
    using Hash = std::uint64_t (*)(const Texts &texts);
    using Rows = QMultiHash<std::uint64_t, std::int64_t>;  // fingerprint -> row numbers

    // hash: the fingerprint; tests give one that collides.
    explicit DuplicateIndex(Hash hash = &fingerprint);

    static std::uint64_t fingerprint(const Texts &texts);
    std::uint64_t hash(const Texts &texts) const { return hash_(texts); }

    // Forgets every category when the file's data version is not the one last seen.
    void sync(std::int64_t dataVersion);
    // The category's fingerprints, read in one pass the first time it is asked for; an empty
    // set, kept nowhere, for a category made by the batch that asks (created: true).
    const Rows &rows(const Collection &collection, const QString &category, bool created);
    // Rows a committed batch added.
    void addCommitted(const QString &category, const Rows &added);

    // How many stored rows have been read so far, for checking that each is read once.
    std::int64_t rowsRead() const { return rowsRead_; }

private:
    Hash hash_;
    std::optional<std::int64_t> dataVersion_;
    std::map<QString, Rows> categories_;  // by the file's spelling
    std::int64_t rowsRead_ = 0;
};

}  // namespace recipes
