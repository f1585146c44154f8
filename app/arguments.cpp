#include "app/arguments.h"

#include "core/scale_factor.h"

#include <optional>
#include <utility>

namespace cli {

namespace {

const QStringList kFlags = {QStringLiteral("password-stdin"), QStringLiteral("help")};

// "-x", "--x" and "--x=v" are options; "-" alone (standard input, by custom) is not, nor is a
// negative number ("-1", "-0.5", "-inf"), so that "--factor -1" reaches the factor's own check.
bool looksLikeOption(const QString &argument)
{
    return argument.size() > 1 && argument.startsWith(u'-') && !recipes::looksLikeNumber(argument);
}

// The option's name and, when written with "=", its value.
std::pair<QString, std::optional<QString>> split(const QString &argument)
{
    const QString bare = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = bare.indexOf(u'=');
    if (equals < 0)
        return {bare, std::nullopt};
    return {bare.left(equals), bare.mid(equals + 1)};
}

}  // namespace

Arguments::Arguments(const QStringList &arguments, const QStringList &valueOptions, bool dashWords)
{
    const QString command = arguments.value(0);
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (optionsEnded || !looksLikeOption(argument)) {
            positional_.append(argument);
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
            continue;
        }
        auto [name, attached] = split(argument);
        if (name == u"h")
            name = QStringLiteral("help");
        const bool takesValue = valueOptions.contains(name);
        if (!takesValue && !kFlags.contains(name) && dashWords && !argument.startsWith(QLatin1String("--"))) {
            positional_.append(argument);
            continue;
        }
        if (!takesValue && !kFlags.contains(name))
            throw UsageError{QStringLiteral("%1: unknown option %2.").arg(command, argument)};
        if (isSet(name))
            throw UsageError{QStringLiteral("%1: --%2 is given more than once.").arg(command, name)};
        if (!takesValue) {
            if (attached)
                throw UsageError{QStringLiteral("%1: --%2 takes no value.").arg(command, name)};
            flags_.insert(name);
            continue;
        }
        QString value;
        if (attached) {
            value = *attached;
        } else if (i + 1 < arguments.size() && !looksLikeOption(arguments.at(i + 1))) {
            value = arguments.at(++i);
        } else {
            // A value that starts with a dash is written --name=VALUE.
            throw UsageError{QStringLiteral("%1: --%2 needs a value.").arg(command, name)};
        }
        if (value.trimmed().isEmpty())
            throw UsageError{QStringLiteral("%1: --%2 needs a value.").arg(command, name)};
        values_.insert(name, value);
    }
}

namespace {

// How many arguments from i on are one of Qt's own window options with its value: 0 when none.
qsizetype windowOptionAt(const QStringList &arguments, qsizetype i)
{
    // QGuiApplication's and QApplication's, and the X11 platform's; Qt takes them with one dash
    // or two.
    static const QStringList kWithValue = {
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"),          QStringLiteral("qwindowgeometry"),    QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("session"),            QStringLiteral("display"),
        QStringLiteral("geometry"),        QStringLiteral("style"),              QStringLiteral("stylesheet"),
        QStringLiteral("qmljsdebugger"),   QStringLiteral("name"),               QStringLiteral("title"),
        QStringLiteral("visual")};
    static const QStringList kAlone = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                       QStringLiteral("nograb"),  QStringLiteral("dograb"),
                                       QStringLiteral("sync"),    QStringLiteral("cmap")};
    const QString &argument = arguments.at(i);
    if (!looksLikeOption(argument))
        return 0;
    const auto [name, attached] = split(argument);
    if (kAlone.contains(name) && !attached)
        return 1;
    if (!kWithValue.contains(name))
        return 0;
    if (attached)
        return 1;
    return i + 1 < arguments.size() ? 2 : 0;
}

}  // namespace

bool onlyWindowOptions(const QStringList &arguments)
{
    return withoutWindowOptions(arguments).size() <= 1;
}

QStringList withoutWindowOptions(const QStringList &arguments)
{
    qsizetype i = 1;
    while (i < arguments.size()) {
        const qsizetype taken = windowOptionAt(arguments, i);
        if (taken == 0)
            break;
        i += taken;
    }
    return QStringList{arguments.value(0)} + arguments.mid(i);
}

}  // namespace cli
