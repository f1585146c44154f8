#pragma once
// What the command line tells of itself: the whole usage, and each command's own.

#include <QString>
#include <QStringList>

namespace cli {

// The commands, in the order the usage lists them.
QStringList commandNames();
// The options of the command that take a value.
QStringList valueOptionsOf(const QString &command);
// True when the command's arguments may be words with one dash, such as a query's "-word".
bool takesDashWords(const QString &command);

QString usage();
// The usage of one command: its synopsis, what it does, its options and its exit codes.
QString commandUsage(const QString &command);

}  // namespace cli
