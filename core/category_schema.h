#pragma once
// The shape of a category table, written down once: its four fields in order and their types
// (a short text field holds dao::kShortTextLimit characters, the appended blank included), and
// how a recipe's text is encoded into them. Everything that makes or fills a category (the
// store, the tools, the benchmarks, the tests) goes through this.

#include "core/recipe.h"
#include "engine/field_types.h"

#include <QString>
#include <QStringView>

#include <array>
#include <functional>
#include <optional>

namespace dao {
class Database;
}

namespace recipes::schema {

struct Field {
    QString name;   // as the file names the column
    dao::FieldType type;
    QString label;  // as the user knows it: the label beside its box
};

inline constexpr int kFieldCount = 4;
enum Ordinal : int { NameField = 0, AuthorField = 1, IngredientsField = 2, InstructionsField = 3 };

const std::array<Field, kFieldCount> &fields();
const Field &field(int ordinal);

// The program's trimming: removes leading and trailing space characters only; tabs and line
// breaks stay.
QString trimBlanks(const QString &text);
// The same, as a view into the text, without a copy.
QStringView trimmedView(QStringView text);

// A text as it is written: trimmed at both ends, then one space, so no field is ever empty.
QString encode(const QString &text);
// The typed texts as they are written, each encoded; throws Error::tooLong, counted as the user
// typed it, for a text longer than limitOf(field) allows (nothing: no limit). The limit is the
// file's, which a table made by another tool may set lower.
Recipe encodeChecked(const Recipe &typed, const std::function<std::optional<int>(int field)> &limitOf);
// A stored value as it is read: null as the empty text, trimmed at both ends.
QString decode(const dao::Value &value);

// Creates the category table name with the four fields, in one step. Throws dao::EngineError
// on a name the engine refuses.
void createTable(dao::Database &db, const QString &name);

}  // namespace recipes::schema
