#include "engine/names.h"

#include "engine/db_engine.h"
#include "engine/engine_error.h"
#include "engine/refusals.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>

namespace dao::names {

namespace {

const QString kForbiddenCharacters = QStringLiteral(".!`[]\"");

bool isControl(char32_t c) { return !refusals::controlPicture(c).isNull(); }

// Zero-width spaces, joiners, direction overrides and the like: a name holding one looks the
// same as, or reads backwards from, a name without it.
bool isInvisibleFormat(char32_t c) { return QChar::category(c) == QChar::Other_Format; }

// The code point starting at index i, which moves past a surrogate pair's second half.
char32_t codePointAt(const QString &text, qsizetype &i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(++i));
    return c.unicode();
}

// Compares by the locale's dictionary rules with letter case left to the caller. The C locale
// collates by code unit, which puts every accented letter after z, so it gets English's rules,
// which are the language-neutral ones. Made once per thread: a collator is costly to make and
// not safe to share while it sets itself up.
const QCollator &dictionary()
{
    thread_local const QCollator collator = [] {
        const QLocale locale;
        QCollator made(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator;
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
    const QString subject = QStringLiteral("The %1 name ").arg(noun) + refusals::quotedName(name);
    const QString rule = QStringLiteral("a %1 name").arg(noun);
    if (name.isEmpty())
        return QStringLiteral("A %1 name cannot be empty.").arg(noun);
    if (!name.isValidUtf16())
        return subject + QStringLiteral(" contains a broken character; %1 must be valid text.").arg(rule);
    const int length = codePointCount(name);
    if (length > kMaxTableNameLength)
        return refusals::tooLong(subject, length, kMaxTableNameLength);
    if (name.front() == QLatin1Char(' '))
        return subject + QStringLiteral(" begins with a blank; %1 may not begin with a blank.").arg(rule);
    // The window trims what it is given; a name ending in a blank would be mistaken for the
    // one without it.
    if (name.back() == QLatin1Char(' '))
        return subject + QStringLiteral(" ends with a blank; %1 may not end with a blank.").arg(rule);
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char32_t c = codePointAt(name, i);
        if (isControl(c))
            return subject
                + QStringLiteral(" contains a control character such as a tab or a line break; %1 "
                                 "may not contain control characters.")
                      .arg(rule);
        if (isInvisibleFormat(c)) {
            return subject
                + QStringLiteral(" contains an invisible formatting character (%1); %2 may not "
                                 "contain invisible formatting characters.")
                      .arg(refusals::codePointName(c), rule);
        }
        if (c < 0x10000 && kForbiddenCharacters.contains(QChar(static_cast<char16_t>(c))))
            return subject
                + QStringLiteral(" contains the character %1; %2 may not contain any of these "
                                 "characters: . ! ` [ ] \"")
                      .arg(QChar(static_cast<char16_t>(c)))
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
    // One letter typed precomposed or as a base letter with a combining mark is one name.
    return QString::compare(a.normalized(QString::NormalizationForm_C),
                            b.normalized(QString::NormalizationForm_C), Qt::CaseInsensitive)
        == 0;
}

bool catalogueLess(const QString &a, const QString &b)
{
    const int order = dictionary().compare(a, b);
    if (order != 0)
        return order < 0;
    // The collator calls names alike that differ in case or in how an accent is encoded;
    // std::sort needs a strict order, and the catalogue one that is the same on every call.
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

std::optional<int> declaredLengthLimit(const QString &declaredType)
{
    // Every recordset asks for each of its columns, and a file holds few distinct declared
    // types; matching the pattern costs far more than remembering its answer. Forgotten now and
    // then, so that files full of odd types cannot make the memory grow. One memory per thread,
    // pattern included: the search worker reads recordsets too, and needs no lock this way.
    thread_local QHash<QString, std::optional<int>> known;
    if (const auto it = known.constFind(declaredType); it != known.constEnd())
        return *it;
    if (known.size() >= 256)
        known.clear();
    thread_local const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(?:N?VARCHAR|N?CHAR|TEXT)\s*\(\s*(\d{1,9})\s*\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(declaredType);
    const std::optional<int> limit =
        match.hasMatch() ? std::optional<int>(match.captured(1).toInt()) : std::nullopt;
    known.insert(declaredType, limit);
    return limit;
}

}  // namespace dao::names
