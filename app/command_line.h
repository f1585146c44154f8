#pragma once
// The program's command line: with a subcommand it works on a recipe file and opens no window.
//
//   saporium [FILE]      the window, on FILE or the default recipe file (no command line)
//   saporium import [--database FILE] [--category NAME] FILE|URL...
//   saporium export [--database FILE] [--category NAME] --format jsonld|mealmaster|html|pdf --output PATH
//   saporium search [--database FILE] [--category NAME] QUERY...
//   saporium backup [--database FILE] [--output FILE]
//   saporium restore [--database FILE] BACKUP
//   saporium password [--database FILE]
//   saporium scale [--database FILE] --category NAME --recipe NAME (--factor X | --servings N)
//   saporium shopping-list [--database FILE] [--factor X] CATEGORY/RECIPE[*N]...
//   saporium COMMAND --help | --help | --version
//
// Every command takes --password-stdin; a file with a password of its own is asked for at a
// terminal. Anything else but Qt's own window options is refused as a usage error.
//
// Exit codes: 0 done, 1 some input refused (search: nothing matched), 2 a usage or file error.
// Messages go to stderr; what a command finds (search, scale, shopping-list) and the usage go to stdout. A failure is
// worded, and its exit code chosen, in one place: failure_report.h.

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

namespace cli {

enum ExitCode : int { Done = 0, SomeRefused = 1, Failed = 2 };

// True when the arguments (the program's name first) are for the command line, not the window:
// anything but Qt's own window options and a recipe file to open.
bool wanted(const QStringList &arguments);
// The recipe file the window is to open: the one argument, besides Qt's window options, that is
// neither a command nor an option. Nothing when there is none.
std::optional<QString> windowFile(const QStringList &arguments);
// True when the command needs the GUI library (a PDF is laid out with fonts); no window opens.
bool needsGui(const QStringList &arguments);

// Runs the command. defaultDatabase: the Recipe.mdb the window would open.
int run(const QStringList &arguments, const QString &defaultDatabase, QTextStream &out, QTextStream &err);

}  // namespace cli
