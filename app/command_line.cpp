#include "app/command_line.h"

#include "app/arguments.h"
#include "app/cooking_commands.h"
#include "app/failure_report.h"
#include "app/recipe_lookup.h"
#include "app/secret_input.h"
#include "app/terminal_prompt.h"
#include "app/usage.h"
#include "core/collection.h"
#include "core/recipe_error.h"
#include "core/recipe_session.h"
#include "core/search_index.h"
#include "exchange/exporter.h"
#include "exchange/format_list.h"
#include "exchange/importer.h"
#include "exchange/recipe_format.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <optional>

namespace cli {

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// Gives the session the password that opens its file: the one from standard input when asked to
// read it, else the built-in one, else, at a terminal and for a file that may have one of its
// own, the one typed.
void unlock(recipes::RecipeSession &session, const Arguments &args, QTextStream &err)
{
    if (args.isSet(QStringLiteral("password-stdin"))) {
        const std::optional<QString> line = readSecret(QString(), err);
        if (!line || line->isEmpty())
            throw recipes::Error(QStringLiteral("--password-stdin: standard input gave no password."));
        session.usePassword(*line);
        return;
    }
    if (session.opensWithBuiltIn())
        return;
    if (!stdinIsTerminal())
        throw recipes::Error(QStringLiteral("The recipe file %1 has a password of its own; give it with --password-stdin.")
                                 .arg(shown(session.path())));
    TerminalPrompt prompt(QStringLiteral("Password for %1: ").arg(shown(session.path())),
                          QStringLiteral("That password does not open the file."), err);
    session.unlock(prompt, [&] { session.collection(); });
}

// The recipe file --database names, else the default one. A name without an extension gets
// ".mdb", as the window's own file has; a folder is no recipe file.
QString databaseFile(const Arguments &args, const QString &fallback)
{
    if (!args.isSet(QStringLiteral("database")))
        return fallback;
    const QString given = args.value(QStringLiteral("database"));
    const QString file = recipes::Collection::fileNamed(given);
    for (const QString &name : {given, file})
        if (QFileInfo(name).isDir())
            throw recipes::Error(QStringLiteral("--database: %1 is a folder, not a recipe file.").arg(shown(name)));
    return file;
}

void noPositional(const Arguments &args, const QString &command)
{
    if (!args.positional().isEmpty())
        throw UsageError{QStringLiteral("%1: unexpected argument %2.").arg(command, args.positional().front())};
}

struct Context {
    const Arguments &args;
    QString database;
    recipes::RecipeSession &session;
    QTextStream &out;
    QTextStream &err;
};

int runImport(const Context &c)
{
    if (c.args.positional().isEmpty())
        throw UsageError{QStringLiteral("import: name at least one file, folder or link to import.")};
    const QString category = c.args.value(QStringLiteral("category"));
    if (!QFileInfo::exists(c.database)) {
        recipes::Collection::create(c.database, recipes::kBuiltInPassword);
        c.err << "Made a new recipe file, " << shown(c.database) << ".\n";
    }
    unlock(c.session, c.args, c.err);
    const std::unique_ptr<recipes::Collection> collection = c.session.collection();
    return reportImport(exchange::Importer(*collection, category).run(c.args.positional()), c.err);
}

int runExport(const Context &c)
{
    noPositional(c.args, QStringLiteral("export"));
    const QString formatName = c.args.value(QStringLiteral("format"));
    const exchange::RecipeFormat *format = exchange::formats::writerNamed(formatName);
    if (!format)
        throw UsageError{c.args.isSet(QStringLiteral("format"))
                             ? QStringLiteral("export: unknown format %1; use %2.").arg(formatName, exchange::formats::writerNames())
                             : QStringLiteral("export: --format is needed: %1.").arg(exchange::formats::writerNames())};
    const QString output = c.args.value(QStringLiteral("output"));
    if (output.isEmpty())
        throw UsageError{format->writesFolder() ? QStringLiteral("export: --output names the folder to write into.")
                                                : QStringLiteral("export: --output names the file to write.")};
    unlock(c.session, c.args, c.err);
    const std::unique_ptr<recipes::Collection> opened = c.session.collection();
    const recipes::Collection &collection = *opened;
    QStringList categories = collection.categories();
    if (c.args.isSet(QStringLiteral("category")))
        categories = QStringList{existingCategory(categories, c.args.value(QStringLiteral("category")), c.database)};
    QString error;
    const int count = exchange::recipeCount(collection, categories);
    if (!format->exportTo(output, collection, categories, {}, &error))
        throw recipes::Error(error.isEmpty() ? QStringLiteral("The export to %1 was stopped.").arg(shown(output)) : error);
    c.err << "Exported " << count << (count == 1 ? " recipe" : " recipes") << " to " << shown(output)
          << (format->writesFolder() ? ". The files are not encrypted.\n" : ". The file is not encrypted.\n");
    return Done;
}

int runSearch(const Context &c)
{
    const QString typed = c.args.positional().join(u' ').trimmed();
    if (typed.isEmpty())
        throw UsageError{QStringLiteral("search: give the words to look for.")};
    unlock(c.session, c.args, c.err);
    QString category;
    if (c.args.isSet(QStringLiteral("category")))
        category = existingCategory(c.session.collection()->categories(), c.args.value(QStringLiteral("category")),
                                    c.database);
    recipes::SearchIndex index(c.session.path(), c.session.password());
    index.catchUp();
    int matches = 0;
    for (const recipes::SearchHit &hit : index.find(typed)) {
        if (!category.isEmpty() && hit.category != category)
            continue;
        c.out << hit.category << '\t' << hit.name << '\n';
        ++matches;
    }
    c.out.flush();
    return matches > 0 ? Done : SomeRefused;
}

int runBackup(const Context &c)
{
    noPositional(c.args, QStringLiteral("backup"));
    unlock(c.session, c.args, c.err);
    const QString made = c.session.backUp(c.args.value(QStringLiteral("output")));
    c.err << "Backed up " << shown(c.database) << " to " << shown(made) << ".\n";
    return Done;
}

int runRestore(const Context &c)
{
    if (c.args.positional().size() != 1)
        throw UsageError{QStringLiteral("restore: name the one backup to restore.")};
    const QString backup = c.args.positional().front();
    unlock(c.session, c.args, c.err);
    const auto restore = [&](const QString &backupPassword) { return c.session.restore(backup, backupPassword); };
    QString saved;
    try {
        saved = restore({});
    } catch (const recipes::Error &e) {
        // A backup made under an older password: that one, from where the file's own came.
        if (e.kind() != recipes::Error::Kind::WrongPassword)
            throw;
        if (c.args.isSet(QStringLiteral("password-stdin"))) {
            const std::optional<QString> line = readSecret(QString(), c.err);
            if (!line || line->isEmpty())
                throw recipes::Error(e.message() + QStringLiteral(" Give its password as the second line of standard input."));
            saved = restore(*line);
        } else if (stdinIsTerminal()) {
            c.err << e.message() << "\n";
            TerminalPrompt prompt(QStringLiteral("Password of the backup %1: ").arg(shown(backup)),
                                  QStringLiteral("That password does not open the backup."), c.err);
            recipes::RecipeSession::askUntilAccepted(prompt, [&](const QString &typed) { saved = restore(typed); });
        } else {
            throw recipes::Error(e.message()
                                 + QStringLiteral(" Give it with --password-stdin: the file's password on the first line "
                                                  "of standard input, the backup's on the second."));
        }
    }
    c.err << "Restored " << shown(c.database) << " from " << shown(backup) << ". The file as it was is in "
          << shown(saved) << ".\n";
    return Done;
}

int runPassword(const Context &c)
{
    noPositional(c.args, QStringLiteral("password"));
    const auto ask = [&](const QString &prompt) {
        const std::optional<QString> typed = readSecret(prompt, c.err);
        if (!typed || typed->isEmpty())
            throw recipes::Error(QStringLiteral("No password was given, so the password was not changed."));
        return *typed;
    };
    const QString current = ask(QStringLiteral("Present password of %1: ").arg(shown(c.database)));
    const QString fresh = ask(QStringLiteral("New password: "));
    if (ask(QStringLiteral("New password again: ")) != fresh)
        throw recipes::Error(QStringLiteral("The two new passwords differ, so the password was not changed."));
    c.session.changePassword(current, fresh);
    c.err << "The password of " << shown(c.database) << " is changed. Backups made before keep the old one.\n";
    return Done;
}

int runScale(const Context &c)
{
    unlock(c.session, c.args, c.err);
    return scaleRecipe(*c.session.collection(), c.args, c.database, c.out);
}

int runShoppingList(const Context &c)
{
    unlock(c.session, c.args, c.err);
    return shoppingList(*c.session.collection(), c.args, c.database, c.out, c.err);
}

using Command = int (*)(const Context &);

Command commandNamed(const QString &name)
{
    static const std::pair<QString, Command> commands[] = {
        {QStringLiteral("import"), runImport},   {QStringLiteral("export"), runExport},
        {QStringLiteral("search"), runSearch},   {QStringLiteral("backup"), runBackup},
        {QStringLiteral("restore"), runRestore}, {QStringLiteral("password"), runPassword},
        {QStringLiteral("scale"), runScale},     {QStringLiteral("shopping-list"), runShoppingList},
    };
    for (const auto &[command, run] : commands)
        if (command == name)
            return run;
    return nullptr;
}

bool isHelp(const QString &argument)
{
    return argument == u"--help" || argument == u"-h" || argument == u"-help";
}

bool isVersion(const QString &argument) { return argument == u"--version" || argument == u"-v"; }

}  // namespace

bool wanted(const QStringList &arguments)
{
    // Qt's own options, such as -platform, still open the window; anything else is a command, or
    // a mistake the command line reports.
    return !onlyWindowOptions(arguments) && !windowFile(arguments);
}

std::optional<QString> windowFile(const QStringList &given)
{
    const QStringList arguments = withoutWindowOptions(given);
    const QString file = arguments.value(1);
    if (file.isEmpty() || file.startsWith(u'-') || commandNamed(file))
        return std::nullopt;
    // Qt takes its window options after the file too.
    if (!onlyWindowOptions(QStringList{arguments.front()} + arguments.mid(2)))
        return std::nullopt;
    return file;
}

bool needsGui(const QStringList &given)
{
    const QStringList arguments = withoutWindowOptions(given);
    if (arguments.size() < 2 || arguments.at(1) != u"export")
        return false;
    try {
        const Arguments args(arguments.mid(1), valueOptionsOf(arguments.at(1)));
        const exchange::RecipeFormat *format = exchange::formats::writerNamed(args.value(QStringLiteral("format")));
        return format && format->needsGui();
    } catch (const UsageError &) {
        return false;  // run() says what is wrong, with no window library needed
    }
}

int run(const QStringList &given, const QString &defaultDatabase, QTextStream &out, QTextStream &err)
{
    const QStringList arguments = withoutWindowOptions(given);
    const QString first = arguments.value(1);
    try {
        if (isHelp(first) || isVersion(first)) {
            if (arguments.size() > 2)
                throw UsageError{QStringLiteral("%1 takes nothing after it.").arg(first)};
            if (isHelp(first))
                out << usage();
            else
                out << "saporium " << QCoreApplication::applicationVersion() << "\n";
            return Done;
        }
        const Command command = commandNamed(first);
        if (!command)
            throw UsageError{first.startsWith(u'-') ? QStringLiteral("Unknown option %1.").arg(first)
                                                    : QStringLiteral("Unknown command %1.").arg(first)};
        const Arguments args(arguments.mid(1), valueOptionsOf(first), takesDashWords(first));
        if (args.helpAsked()) {
            out << commandUsage(first);
            return Done;
        }
        const QString database = databaseFile(args, defaultDatabase);
        recipes::RecipeSession session(database);
        return command(Context{args, database, session, out, err});
    } catch (...) {
        return reportFailure(std::current_exception(), err);
    }
}

}  // namespace cli
