#include "engine/refusals.h"

#include <QList>

namespace dao::refusals {

namespace {

constexpr char16_t kVisibleBlank = u'\u2423';

QString visible(char32_t c)
{
    if (const QChar picture = controlPicture(c); !picture.isNull())
        return picture;
    if ((c >= 0x80 && c < 0xA0) || QChar::category(c) == QChar::Other_Format)
        return QLatin1Char('<') + codePointName(c) + QLatin1Char('>');
    return QString::fromUcs4(&c, 1);
}

}  // namespace

QString codePointName(char32_t c)
{
    return QStringLiteral("U+") + QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, u'0');
}

QChar controlPicture(char32_t c)
{
    if (c < 0x20)
        return QChar(static_cast<char16_t>(0x2400 + c));
    if (c == 0x7F)
        return QChar(u'\u2421');
    return {};
}

QString quotedName(const QString &name)
{
    const QList<uint> codePoints = name.toUcs4();
    qsizetype first = 0;
    qsizetype last = codePoints.size();
    while (first < last && codePoints[first] == u' ')
        ++first;
    while (last > first && codePoints[last - 1] == u' ')
        --last;
    QString out = QStringLiteral("\"");
    for (qsizetype i = 0; i < codePoints.size(); ++i) {
        const char32_t c = codePoints[i];
        if (c == u' ' && (i < first || i >= last))
            out += QChar(kVisibleBlank);
        else
            out += visible(c);
    }
    return out + QLatin1Char('"');
}

QString tooLong(const QString &subject, int length, int most)
{
    const int over = length - most;
    return subject
        + QStringLiteral(" is %1 characters long, but at most %2 fit. Shorten it by %3 %4.")
              .arg(length)
              .arg(most)
              .arg(over)
              .arg(over == 1 ? QStringLiteral("character") : QStringLiteral("characters"));
}

}  // namespace dao::refusals
