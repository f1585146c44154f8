#pragma once
// One command's arguments, read strictly: an option that takes a value never takes the next
// option as that value, an option the command does not know is refused, and so is one given
// twice. Options are written --name VALUE or --name=VALUE (one dash will do); "--" ends them.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace cli {

// A mistake in how the program was called: the message, and the command whose usage helps.
struct UsageError {
    QString message;
};

class Arguments {
public:
    // arguments: the command's name, then what follows it. valueOptions: the names of the options
    // that take a value. Every command also takes --password-stdin and --help. dashWords: a word
    // with one dash that names no option is an argument, not a mistake (a query's "-word").
    // Throws UsageError.
    Arguments(const QStringList &arguments, const QStringList &valueOptions, bool dashWords = false);

    bool isSet(const QString &name) const { return values_.contains(name) || flags_.contains(name); }
    QString value(const QString &name) const { return values_.value(name); }
    const QStringList &positional() const { return positional_; }
    bool helpAsked() const { return flags_.contains(QStringLiteral("help")); }

private:
    QHash<QString, QString> values_;
    QSet<QString> flags_;
    QStringList positional_;
};

// True when every argument after the program's name is one of Qt's own options for a window
// (-platform offscreen, -style=fusion, ...): the window opens with them.
bool onlyWindowOptions(const QStringList &arguments);
// The arguments without the window options that lead them (the program's name kept first): a
// command after "-platform offscreen" is still the command.
QStringList withoutWindowOptions(const QStringList &arguments);

}  // namespace cli
