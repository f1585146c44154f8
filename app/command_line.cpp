#include "app/command_line.h"

#include "app/secret_input.h"
#include "core/backups.h"
#include "core/collection.h"
#include "core/recipe_error.h"
#include "exchange/exporter.h"
#include "exchange/importer.h"
#include "ui/print/export_file.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <optional>

namespace cli {

namespace {

const QString kImport = QStringLiteral("import");
const QString kExport = QStringLiteral("export");
const QString kBackup = QStringLiteral("backup");
const QString kRestore = QStringLiteral("restore");
const QString kPassword = QStringLiteral("password");
constexpr int kTries = 3;

QString usage()
{
    return QStringLiteral(
        "Usage:\n"
        "  saporium                       open the recipe window\n"
        "  saporium import [--database FILE] [--category NAME] FILE...\n"
        "  saporium export [--database FILE] [--category NAME] --format jsonld|mealmaster|html|pdf --output PATH\n"
        "  saporium backup [--database FILE] [--output FILE]\n"
        "  saporium restore [--database FILE] BACKUP\n"
        "  saporium password [--database FILE]\n"
        "  saporium --help | --version\n"
        "\n"
        "import    reads schema.org JSON-LD files, web pages that carry it, MealMaster files, and folders\n"
        "          of them (with their subfolders) into the recipe file; each file goes in whole or not at\n"
        "          all. A recipe goes into --category, else the category the file gives it, else\n"
        "          \"Imported\". A recipe identical to one already in its category is skipped.\n"
        "export    writes every recipe, or those of --category, as JSON-LD, MealMaster, or a cookbook\n"
        "          (a web page or a PDF) with a table of contents. Exported files are not encrypted.\n"
        "backup    writes an encrypted copy of the recipe file, with its password, into the backups\n"
        "          folder beside it (the newest 10 are kept), or to --output.\n"
        "restore   checks the backup and puts it in the place of the recipe file, which is backed up\n"
        "          first.\n"
        "password  gives the recipe file a password of its own: asks for the present one once and the\n"
        "          new one twice, hidden at a terminal, or reads the three as lines from standard input.\n"
        "\n"
        "Options:\n"
        "  --database FILE     the recipe file (default: the one the window opens)\n"
        "  --category NAME     the category to import into, or to export\n"
        "  --format FORMAT     jsonld, mealmaster, html or pdf\n"
        "  --output PATH       the file to write\n"
        "  --password-stdin    read the recipe file's password from the first line of standard input\n"
        "\n"
        "A file with a password of its own asks for it at a terminal (three tries).\n"
        "Exit codes: 0 done, 1 some input refused, 2 a usage or file error.\n");
}

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

struct UsageError {
    QString message;
};

// A subcommand's arguments: its options and the positional arguments after its name.
class Arguments {
public:
    Arguments(const QStringList &arguments, const QStringList &options)
    {
        parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        for (const QString &name : options)
            parser_.addOption(QCommandLineOption(name, QString(), QStringLiteral("VALUE")));
        parser_.addOption(QCommandLineOption(QStringLiteral("password-stdin")));
        if (!parser_.parse(arguments))
            throw UsageError{parser_.errorText()};
        positional_ = parser_.positionalArguments();
        positional_.removeFirst();  // the subcommand
    }
    bool isSet(const QString &name) const { return parser_.isSet(name); }
    QString value(const QString &name) const { return parser_.value(name); }
    const QStringList &positional() const { return positional_; }
    QString database(const QString &fallback) const { return isSet(QStringLiteral("database")) ? value(QStringLiteral("database")) : fallback; }

private:
    QCommandLineParser parser_;
    QStringList positional_;
};

// The password that opens the file: the one from standard input when asked to read it, else the
// built-in one, else, at a terminal and for a file that may have one of its own, the one typed.
QString passwordFor(const QString &file, const Arguments &args, QTextStream &err)
{
    if (args.isSet(QStringLiteral("password-stdin"))) {
        const std::optional<QString> line = readSecret(QString(), err);
        if (!line || line->isEmpty())
            throw recipes::Error(QStringLiteral("--password-stdin: standard input gave no password."));
        return *line;
    }
    try {
        recipes::Collection(file, recipes::kBuiltInPassword);
        return recipes::kBuiltInPassword;
    } catch (const recipes::Error &e) {
        if (e.kind() != recipes::Error::Kind::WrongPassword)
            throw;
        if (!stdinIsTerminal())
            throw recipes::Error(QStringLiteral("The recipe file %1 has a password of its own; give it with --password-stdin.")
                                     .arg(shown(file)));
        for (int attempt = 1; attempt <= kTries; ++attempt) {
            const std::optional<QString> typed = readSecret(QStringLiteral("Password for %1: ").arg(shown(file)), err);
            if (!typed || typed->isEmpty())
                break;
            try {
                recipes::Collection(file, *typed);
                return *typed;
            } catch (const recipes::Error &wrong) {
                if (wrong.kind() != recipes::Error::Kind::WrongPassword)
                    throw;
                err << "That password does not open the file.\n";
            }
        }
        throw;
    }
}

int runImport(const QStringList &arguments, const QString &defaultDatabase, QTextStream &err)
{
    const Arguments args(arguments, {QStringLiteral("database"), QStringLiteral("category")});
    if (args.positional().isEmpty())
        throw UsageError{QStringLiteral("import: name at least one file or folder to import.")};
    const QString database = args.database(defaultDatabase);
    const QString category = args.value(QStringLiteral("category"));
    if (args.isSet(QStringLiteral("category")) && category.trimmed().isEmpty())
        throw UsageError{QStringLiteral("import: --category needs a name.")};
    if (!QFileInfo::exists(database)) {
        recipes::Collection::create(database, recipes::kBuiltInPassword);
        err << "Made a new recipe file, " << shown(database) << ".\n";
    }
    recipes::Collection collection(database, passwordFor(database, args, err));
    const exchange::ImportReport report = exchange::Importer(collection, category).run(args.positional());
    err << report.text() << "\n";
    if (report.fileFailed)
        return Failed;
    return report.refused > 0 ? SomeRefused : Done;
}

int runExport(const QStringList &arguments, const QString &defaultDatabase, QTextStream &err)
{
    const Arguments args(arguments, {QStringLiteral("database"), QStringLiteral("category"), QStringLiteral("format"),
                                     QStringLiteral("output")});
    if (!args.positional().isEmpty())
        throw UsageError{QStringLiteral("export: unexpected argument %1.").arg(args.positional().front())};
    const QString formatName = args.value(QStringLiteral("format"));
    const std::optional<exchange::ExportFormat> format = exchange::exportFormatNamed(formatName);
    if (!format)
        throw UsageError{args.isSet(QStringLiteral("format"))
                             ? QStringLiteral("export: unknown format %1; use jsonld, mealmaster, html or pdf.").arg(formatName)
                             : QStringLiteral("export: --format is needed: jsonld, mealmaster, html or pdf.")};
    const QString output = args.value(QStringLiteral("output"));
    if (output.isEmpty())
        throw UsageError{QStringLiteral("export: --output names the file to write.")};
    const QString database = args.database(defaultDatabase);
    const recipes::Collection collection(database, passwordFor(database, args, err));
    QStringList categories = collection.categories();
    if (args.isSet(QStringLiteral("category"))) {
        const QString wanted = args.value(QStringLiteral("category"));
        const auto found = std::find_if(categories.cbegin(), categories.cend(),
                                        [&](const QString &c) { return c.compare(wanted, Qt::CaseInsensitive) == 0; });
        if (found == categories.cend())
            throw recipes::Error(QStringLiteral("There is no category named %1 in the recipe file %2.").arg(wanted, shown(database)));
        categories = QStringList{*found};
    }
    QString error;
    const int count = exchange::recipeCount(collection, categories);
    if (!printdoc::exportFile(collection, categories, *format, output, {}, &error))
        throw recipes::Error(error);
    err << "Exported " << count << (count == 1 ? " recipe" : " recipes") << " to " << shown(output)
        << ". The file is not encrypted.\n";
    return Done;
}

int runBackup(const QStringList &arguments, const QString &defaultDatabase, QTextStream &err)
{
    const Arguments args(arguments, {QStringLiteral("database"), QStringLiteral("output")});
    if (!args.positional().isEmpty())
        throw UsageError{QStringLiteral("backup: unexpected argument %1.").arg(args.positional().front())};
    const QString database = args.database(defaultDatabase);
    const QString made = recipes::Backups::make(database, passwordFor(database, args, err), args.value(QStringLiteral("output")));
    err << "Backed up " << shown(database) << " to " << shown(made) << ".\n";
    return Done;
}

int runRestore(const QStringList &arguments, const QString &defaultDatabase, QTextStream &err)
{
    const Arguments args(arguments, {QStringLiteral("database")});
    if (args.positional().size() != 1)
        throw UsageError{QStringLiteral("restore: name the one backup to restore.")};
    const QString database = args.database(defaultDatabase);
    const QString saved = recipes::Backups::restore(database, passwordFor(database, args, err), args.positional().front());
    err << "Restored " << shown(database) << " from " << shown(args.positional().front())
        << ". The file as it was is in " << shown(saved) << ".\n";
    return Done;
}

int runPassword(const QStringList &arguments, const QString &defaultDatabase, QTextStream &err)
{
    const Arguments args(arguments, {QStringLiteral("database")});
    if (!args.positional().isEmpty())
        throw UsageError{QStringLiteral("password: unexpected argument %1.").arg(args.positional().front())};
    const QString database = args.database(defaultDatabase);
    const auto ask = [&](const QString &prompt) {
        const std::optional<QString> typed = readSecret(prompt, err);
        if (!typed || typed->isEmpty())
            throw recipes::Error(QStringLiteral("No password was given, so the password was not changed."));
        return *typed;
    };
    const QString current = ask(QStringLiteral("Present password of %1: ").arg(shown(database)));
    const QString fresh = ask(QStringLiteral("New password: "));
    if (ask(QStringLiteral("New password again: ")) != fresh)
        throw recipes::Error(QStringLiteral("The two new passwords differ, so the password was not changed."));
    recipes::Collection::changePassword(database, current, fresh);
    err << "The password of " << shown(database) << " is changed. Backups made before keep the old one.\n";
    return Done;
}

}  // namespace

bool wanted(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return false;
    // Anything else, Qt's own options such as -platform among them, still opens the window.
    static const QStringList kCommands = {kImport,  kExport,  kBackup, kRestore, kPassword, QStringLiteral("--help"),
                                          QStringLiteral("-h"), QStringLiteral("-help"), QStringLiteral("--version"),
                                          QStringLiteral("-v")};
    return kCommands.contains(arguments.at(1));
}

bool needsGui(const QStringList &arguments)
{
    if (arguments.size() < 2 || arguments.at(1) != kExport)
        return false;
    const qsizetype at = arguments.indexOf(QStringLiteral("--format"));
    return arguments.contains(QStringLiteral("--format=pdf"))
        || (at >= 0 && at + 1 < arguments.size() && arguments.at(at + 1) == u"pdf");
}

int run(const QStringList &arguments, const QString &defaultDatabase, QTextStream &out, QTextStream &err)
{
    using Command = int (*)(const QStringList &, const QString &, QTextStream &);
    const std::pair<QString, Command> commands[] = {
        {kImport, runImport}, {kExport, runExport}, {kBackup, runBackup}, {kRestore, runRestore}, {kPassword, runPassword},
    };
    const QString first = arguments.value(1);
    try {
        for (const auto &[name, command] : commands)
            if (first == name)
                return command(arguments, defaultDatabase, err);
    } catch (const UsageError &e) {
        err << e.message << "\n" << "Try: saporium --help\n";
        return Failed;
    } catch (const recipes::Error &e) {
        err << e.message() << "\n";
        return Failed;
    }
    if (first == u"--help" || first == u"-h" || first == u"-help") {
        out << usage();
        return Done;
    }
    if (first == u"--version" || first == u"-v") {
        out << "saporium " << QCoreApplication::applicationVersion() << "\n";
        return Done;
    }
    err << "Unknown command " << first << ".\nTry: saporium --help\n";
    return Failed;
}

}  // namespace cli
