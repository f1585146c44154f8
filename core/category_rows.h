#pragma once
// The recipes of one category as the file holds them, in stored order: the names are read when
// the rows are opened, the other fields of a row only when that row is asked for. Holds no lock
// or transaction between calls; another program may change the file meanwhile.

#include "core/recipe.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace dao {
class Recordset;
}

namespace recipes {

// How a look-up by name treats a row whose name is null: showing a recipe reads null as the
// empty name; changing or deleting one never matches it.
enum class NullName { MatchesEmpty, MatchesNothing };

// Whether a stored name is the wanted one: trimmed, it equals wanted exactly (letter case counts).
bool nameMatches(const std::optional<QString> &stored, QStringView wanted, NullName nulls);

class CategoryRows {
public:
    ~CategoryRows();
    CategoryRows(const CategoryRows &) = delete;
    CategoryRows &operator=(const CategoryRows &) = delete;

    const QString &category() const { return category_; }
    int count() const;
    // Every row's name as the tree shows it: trimmed, null as the empty text.
    QStringList names() const;
    // The first row whose trimmed name equals name exactly (letter case counts); nothing when
    // no row matches or the category is empty.
    std::optional<int> find(const QString &name, NullName nulls) const;
    // The row's four fields as stored, blanks included, null as the empty text.
    Recipe stored(int row) const;
    void close();  // never fails

private:
    friend class Collection;
    CategoryRows(QString category, std::unique_ptr<dao::Recordset> rows);
    void moveTo(int row) const;

    QString category_;
    std::unique_ptr<dao::Recordset> rows_;
    mutable int at_ = -1;  // the recordset's current row; -1 before the first move
};

}  // namespace recipes
