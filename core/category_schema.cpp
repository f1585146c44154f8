#include "core/category_schema.h"

#include "core/recipe_error.h"
#include "engine/database.h"
#include "engine/names.h"
#include "engine/table_def.h"

namespace recipes::schema {

const std::array<Field, kFieldCount> &fields()
{
    static const std::array<Field, kFieldCount> all = {{
        {QStringLiteral("Name"), dao::dbText, QStringLiteral("Recipe Name")},
        {QStringLiteral("Author"), dao::dbText, QStringLiteral("Author")},
        {QStringLiteral("Ingredients"), dao::dbMemo, QStringLiteral("Ingredients")},
        {QStringLiteral("Instructions"), dao::dbMemo, QStringLiteral("Preparation Instructions")},
    }};
    return all;
}

const Field &field(int ordinal) { return fields().at(static_cast<std::size_t>(ordinal)); }

QStringView trimmedView(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.sliced(begin, end - begin);
}

QString trimBlanks(const QString &text)
{
    const QStringView trimmed = trimmedView(text);
    // The whole text comes back shared, not copied.
    return trimmed.size() == text.size() ? text : trimmed.toString();
}

QString encode(const QString &text) { return trimBlanks(text) + QLatin1Char(' '); }

Recipe encodeChecked(const Recipe &typed, const std::function<std::optional<int>(int)> &limitOf)
{
    Recipe stored;
    for (int i = 0; i < kFieldCount; ++i) {
        stored.field(i) = encode(typed.field(i));
        const std::optional<int> limit = limitOf(i);
        // A text holds no more characters than UTF-16 units: only a long one is counted.
        if (!limit || stored.field(i).size() <= *limit)
            continue;
        const int length = dao::names::codePointCount(stored.field(i));
        if (length > *limit)
            throw Error::tooLong(i, length - 1, std::max(*limit - 1, 0));
    }
    return stored;
}

QString decode(const dao::Value &value)
{
    // The empty text, never a null one, for a null or blank value.
    const QString trimmed = value ? trimBlanks(*value) : QString();
    return trimmed.isNull() ? QStringLiteral("") : trimmed;
}

void createTable(dao::Database &db, const QString &name)
{
    dao::TableDef def = db.CreateTableDef(name);
    for (const Field &f : fields())
        def.Append(def.CreateField(f.name, f.type));
    db.AppendTableDef(def);
}

}  // namespace recipes::schema
