#include "platform/database_names.h"

#include "platform/database.h"

#include <QHash>
#include <QRegularExpression>

namespace dao::names {

namespace {

const QString kForbiddenCharacters = QStringLiteral(".!`[]\"");

bool isControl(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }

// The name as a message may show it: a NUL would cut the message short and a line break would
// tear it, so control characters show as the replacement character.
QString shown(QString name)
{
    for (QChar &c : name)
        if (isControl(c))
            c = QChar::ReplacementCharacter;
    return name;
}

}  // namespace

QString quoted(const QString &identifier)
{
    QString out = identifier;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

int codePointCount(const QString &text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

std::optional<QString> problemWith(const QString &name, const QString &noun)
{
    const QString subject = QStringLiteral("The %1 name %2").arg(noun, shown(name));
    const QString rule = QStringLiteral("a %1 name").arg(noun);
    if (name.isEmpty())
        return QStringLiteral("A %1 name cannot be empty.").arg(noun);
    if (!name.isValidUtf16())
        return subject + QStringLiteral(" contains a broken character; %1 must be valid text.").arg(rule);
    const int length = codePointCount(name);
    if (length > kMaxTableNameLength)
        return subject
            + QStringLiteral(" is %1 characters long; %2 holds at most %3 characters.")
                  .arg(length)
                  .arg(rule)
                  .arg(kMaxTableNameLength);
    if (name.front() == QLatin1Char(' '))
        return subject + QStringLiteral(" begins with a blank; %1 may not begin with a blank.").arg(rule);
    for (const QChar c : name) {
        if (isControl(c))
            return subject
                + QStringLiteral(" contains a control character such as a tab or a line break; %1 "
                                 "may not contain control characters.")
                      .arg(rule);
        if (kForbiddenCharacters.contains(c))
            return subject
                + QStringLiteral(" contains the character %1; %2 may not contain any of these "
                                 "characters: . ! ` [ ] \"")
                      .arg(c)
                      .arg(rule);
    }
    // SQLite keeps every name that starts so for its own tables and refuses to create one.
    if (name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
        return subject
            + QStringLiteral(" begins with sqlite_; names beginning so are reserved for the "
                             "database itself.");
    return std::nullopt;
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

bool catalogueLess(const QString &a, const QString &b)
{
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    if (order != 0)
        return order < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

std::optional<int> declaredLengthLimit(const QString &declaredType)
{
    // Every recordset asks for each of its columns, and a file holds few distinct declared
    // types; matching the pattern costs far more than remembering its answer. Forgotten now and
    // then, so that files full of odd types cannot make the memory grow.
    static QHash<QString, std::optional<int>> known;
    if (const auto it = known.constFind(declaredType); it != known.constEnd())
        return *it;
    if (known.size() >= 256)
        known.clear();
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(?:N?VARCHAR|N?CHAR|TEXT)\s*\(\s*(\d{1,9})\s*\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(declaredType);
    const std::optional<int> limit =
        match.hasMatch() ? std::optional<int>(match.captured(1).toInt()) : std::nullopt;
    known.insert(declaredType, limit);
    return limit;
}

}  // namespace dao::names
