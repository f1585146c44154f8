#include "exchange/shown_link.h"

namespace exchange {

QString shownLink(const QUrl &url) { return url.toString(QUrl::RemoveUserInfo); }

QString shownLink(const QString &text)
{
    QString out = text;
    for (qsizetype at = out.indexOf(QLatin1String("//")); at >= 0; at = out.indexOf(QLatin1String("//"), at + 2)) {
        if (at > 0 && out.at(at - 1) != u':')
            continue;
        // The authority runs to the path, the query or the fragment; its user information to its
        // last '@', as a password may hold one unencoded.
        const qsizetype start = at + 2;
        qsizetype end = start;
        while (end < out.size() && out.at(end) != u'/' && out.at(end) != u'?' && out.at(end) != u'#')
            ++end;
        const qsizetype userEnd = out.lastIndexOf(u'@', end - 1);
        if (userEnd >= start)
            out.remove(start, userEnd + 1 - start);
    }
    return out;
}

}  // namespace exchange
