#include "exchange/folder_names.h"

#include <QList>
#include <QStringView>

namespace exchange {

namespace {

bool refused(uint c)
{
    // Control characters, and what Windows and macOS take for a path's parts or patterns.
    return c < 0x20 || (c >= 0x7f && c < 0xa0) || c == 0x2028 || c == 0x2029
        || QStringView(u"/\\:*?\"<>|").contains(QChar(static_cast<char16_t>(c)));
}

QString character(uint c)
{
    const char32_t one = c;
    return QString::fromUcs4(&one, 1);
}

QString trimmedEnds(QString name)
{
    name = name.trimmed();
    while (name.startsWith(u'.') || name.startsWith(u' '))
        name.remove(0, 1);
    while (name.endsWith(u'.') || name.endsWith(u' '))
        name.chop(1);
    return name;
}

// Names Windows keeps for devices, whatever follows a dot: a folder so named could not be synced
// to a Windows machine.
bool reservedOnWindows(const QString &name)
{
    const QString stem = name.section(u'.', 0, 0).trimmed().toUpper();
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                        QStringLiteral("NUL")};
    if (devices.contains(stem))
        return true;
    return stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")))
        && stem[3] >= u'1' && stem[3] <= u'9';
}

}  // namespace

QString safeFolderName(const QString &recipeName)
{
    QString cleaned;
    for (const uint c : recipeName.toUcs4()) {
        if (c < 0x20 || c == 0x2028 || c == 0x2029)
            cleaned += u' ';
        else if (refused(c))
            cleaned += u'_';
        else
            cleaned += character(c);
    }
    cleaned = trimmedEnds(cleaned.simplified());
    const bool reserved = reservedOnWindows(cleaned);
    QString cut;
    qsizetype bytes = 0;
    for (const uint c : cleaned.toUcs4()) {
        const QString one = character(c);
        bytes += one.toUtf8().size();
        if (bytes > kFolderNameBytes - (reserved ? 1 : 0))
            break;
        cut += one;
    }
    cut = trimmedEnds(cut);
    if (cut.isEmpty())
        return QStringLiteral("Recipe");
    return reserved ? cut + u'_' : cut;
}

QString numberedFolderName(const QString &base, int n) { return QStringLiteral("%1 (%2)").arg(base).arg(n); }

}  // namespace exchange
