#pragma once
// The engine's rules for names and text: which names a table or field may have, how a name
// reaches SQL, and how long a text is as the file counts it.

#include <QString>

#include <optional>

namespace dao::names {

// The name as an SQL identifier: in double quotes, embedded quotes doubled. The only way a
// name enters a statement.
QString quoted(const QString &identifier);

// Characters as SQLite's length() counts them: Unicode code points, so a surrogate pair is one.
int codePointCount(const QString &text);

// Checks a new table (noun "category") or field (noun "field") name against the naming rules.
// Returns the message stating the broken rule, or nothing when the name is allowed.
std::optional<QString> problemWith(const QString &name, const QString &noun);

// Names compared as the engine compares them: without regard to letter case, also beyond ASCII,
// and with a precomposed letter the same as its base letter and combining marks.
bool sameName(const QString &a, const QString &b);

// The catalogue's order: a dictionary's, by the locale's collation (by English's under the C
// locale), accents counting only between otherwise equal names; names still equal are ordered
// case-sensitively by code unit, so the order is the same on every call.
bool catalogueLess(const QString &a, const QString &b);

// The length limit a declared column type carries, as in VARCHAR(255), CHAR(n) or TEXT(n);
// nothing for a type without one. Safe to call from any thread.
std::optional<int> declaredLengthLimit(const QString &declaredType);

}  // namespace dao::names
