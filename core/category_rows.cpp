#include "core/category_rows.h"

#include "core/category_schema.h"
#include "core/translated.h"
#include "engine/recordset.h"

namespace recipes {

bool nameMatches(const std::optional<QString> &stored, QStringView wanted, NullName nulls)
{
    if (!stored)
        return nulls == NullName::MatchesEmpty && wanted.isEmpty();
    return schema::trimmedView(*stored) == wanted;
}

CategoryRows::CategoryRows(QString category, std::unique_ptr<dao::Recordset> rows)
    : category_(std::move(category)), rows_(std::move(rows))
{
}

CategoryRows::~CategoryRows() = default;

int CategoryRows::count() const
{
    return translated([&] { return rows_->RecordCount(); });
}

void CategoryRows::moveTo(int row) const
{
    if (row < at_ || at_ < 0) {
        rows_->MoveFirst();
        at_ = 0;
    }
    for (; at_ < row; ++at_)
        rows_->MoveNext();
}

QStringList CategoryRows::names() const
{
    return translated([&] {
        const int n = rows_->RecordCount();
        QStringList result;
        result.reserve(n);
        for (int i = 0; i < n; ++i) {
            moveTo(i);
            result.append(schema::decode(rows_->Fields(schema::NameField)));
        }
        return result;
    });
}

std::optional<int> CategoryRows::find(const QString &name, NullName nulls) const
{
    return translated([&]() -> std::optional<int> {
        const int n = rows_->RecordCount();
        for (int i = 0; i < n; ++i) {
            moveTo(i);
            if (nameMatches(rows_->Fields(schema::NameField), name, nulls))
                return i;
        }
        return std::nullopt;
    });
}

Recipe CategoryRows::stored(int row) const
{
    return translated([&] {
        moveTo(row);
        Recipe recipe;
        for (int i = 0; i < schema::kFieldCount; ++i)
            recipe.field(i) = rows_->Fields(i).value_or(QString());
        return recipe;
    });
}

void CategoryRows::close()
{
    try {
        rows_->Close();
    } catch (const dao::EngineError &) {
        // Closing what is already closed is no failure.
    }
}

}  // namespace recipes
