#pragma once
// What the crash child writes, shared with the test that kills it: each write of recipe `id`
// carries a stamp, and all four fields are derived from (id, stamp), so a row whose fields come
// from different writes, or are cut short, is recognised.

#include <QString>

#include <array>

namespace reliability {

inline const QString kCrashCategory = QStringLiteral("Soups");

// The four box texts of write `stamp` to recipe `id`. The long fields vary in length from a
// few bytes to five pages, so that writes span overflow pages and journal several of them.
inline std::array<QString, 4> crashFields(int id, int stamp)
{
    const QString tag = QString::number(id) + QLatin1Char(':') + QString::number(stamp) + QLatin1Char(':');
    const int ingredients = (stamp * 7919) % 3000;
    const int instructions = (stamp * 104729) % 5000;
    return {QStringLiteral("r") + QString::number(id), QStringLiteral("s") + QString::number(stamp),
            tag + QString(ingredients, QChar(u'a' + stamp % 26)),
            tag + QString(instructions, QChar(u'A' + id % 26))};
}

}  // namespace reliability
