#include "app/command_line.h"

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

QString usage()
{
    return QStringLiteral(
        "Usage:\n"
        "  saporium                       open the recipe window\n"
        "  saporium import [--database FILE] [--category NAME] FILE...\n"
        "  saporium export [--database FILE] [--category NAME] --format jsonld|mealmaster|html|pdf --output PATH\n"
        "  saporium --help | --version\n"
        "\n"
        "import   reads schema.org JSON-LD files, web pages that carry it, MealMaster files, and folders\n"
        "         of them (with their subfolders) into the recipe file; each file goes in whole or not at\n"
        "         all. A recipe goes into --category, else the category the file gives it, else\n"
        "         \"Imported\". A recipe identical to one already in its category is skipped.\n"
        "export   writes every recipe, or those of --category, as JSON-LD, MealMaster, or a cookbook\n"
        "         (a web page or a PDF) with a table of contents. Exported files are not encrypted.\n"
        "\n"
        "Options:\n"
        "  --database FILE   the recipe file (default: the one the window opens)\n"
        "  --category NAME   the category to import into, or to export\n"
        "  --format FORMAT   jsonld, mealmaster, html or pdf\n"
        "  --output PATH     the file to write\n"
        "\n"
        "Exit codes: 0 done, 1 some input refused, 2 a usage or file error.\n");
}

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// The parser for a subcommand: its options, positional arguments after the subcommand's name.
struct Parsed {
    QCommandLineParser parser;
    QCommandLineOption database{QStringLiteral("database"), QString(), QStringLiteral("FILE")};
    QCommandLineOption category{QStringLiteral("category"), QString(), QStringLiteral("NAME")};
    QCommandLineOption format{QStringLiteral("format"), QString(), QStringLiteral("FORMAT")};
    QCommandLineOption output{QStringLiteral("output"), QString(), QStringLiteral("PATH")};

    Parsed(bool exporting)
    {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOption(database);
        parser.addOption(category);
        if (exporting) {
            parser.addOption(format);
            parser.addOption(output);
        }
    }
};

int usageError(QTextStream &err, const QString &message)
{
    err << message << "\n" << "Try: saporium --help\n";
    return Failed;
}

int runImport(const QStringList &arguments, const QString &defaultDatabase, QTextStream &err)
{
    Parsed p(false);
    if (!p.parser.parse(arguments))
        return usageError(err, p.parser.errorText());
    QStringList files = p.parser.positionalArguments();
    files.removeFirst();  // the subcommand
    if (files.isEmpty())
        return usageError(err, QStringLiteral("import: name at least one file or folder to import."));
    const QString database = p.parser.isSet(p.database) ? p.parser.value(p.database) : defaultDatabase;
    const QString category = p.parser.value(p.category);
    if (p.parser.isSet(p.category) && category.trimmed().isEmpty())
        return usageError(err, QStringLiteral("import: --category needs a name."));
    try {
        if (!QFileInfo::exists(database)) {
            recipes::Collection::create(database, recipes::kBuiltInPassword);
            err << "Made a new recipe file, " << shown(database) << ".\n";
        }
        recipes::Collection collection(database, recipes::kBuiltInPassword);
        const exchange::ImportReport report = exchange::Importer(collection, category).run(files);
        err << report.text() << "\n";
        if (report.fileFailed)
            return Failed;
        return report.refused > 0 ? SomeRefused : Done;
    } catch (const recipes::Error &e) {
        err << e.message() << "\n";
        return Failed;
    }
}

int runExport(const QStringList &arguments, const QString &defaultDatabase, QTextStream &err)
{
    Parsed p(true);
    if (!p.parser.parse(arguments))
        return usageError(err, p.parser.errorText());
    if (p.parser.positionalArguments().size() > 1)
        return usageError(err, QStringLiteral("export: unexpected argument %1.").arg(p.parser.positionalArguments().at(1)));
    const std::optional<exchange::ExportFormat> format = exchange::exportFormatNamed(p.parser.value(p.format));
    if (!format)
        return usageError(err, p.parser.isSet(p.format)
                                   ? QStringLiteral("export: unknown format %1; use jsonld, mealmaster, html or pdf.")
                                         .arg(p.parser.value(p.format))
                                   : QStringLiteral("export: --format is needed: jsonld, mealmaster, html or pdf."));
    const QString output = p.parser.value(p.output);
    if (output.isEmpty())
        return usageError(err, QStringLiteral("export: --output names the file to write."));
    const QString database = p.parser.isSet(p.database) ? p.parser.value(p.database) : defaultDatabase;
    try {
        const recipes::Collection collection(database, recipes::kBuiltInPassword);
        QStringList categories = collection.categories();
        if (p.parser.isSet(p.category)) {
            const QString wanted = p.parser.value(p.category);
            const auto found = std::find_if(categories.cbegin(), categories.cend(), [&](const QString &c) {
                return c.compare(wanted, Qt::CaseInsensitive) == 0;
            });
            if (found == categories.cend()) {
                err << "There is no category named " << wanted << " in the recipe file " << shown(database) << ".\n";
                return Failed;
            }
            categories = QStringList{*found};
        }
        QString error;
        const int count = exchange::recipeCount(collection, categories);
        if (!printdoc::exportFile(collection, categories, *format, output, {}, &error)) {
            err << error << "\n";
            return Failed;
        }
        err << "Exported " << count << (count == 1 ? " recipe" : " recipes") << " to " << shown(output)
            << ". The file is not encrypted.\n";
        return Done;
    } catch (const recipes::Error &e) {
        err << e.message() << "\n";
        return Failed;
    }
}

}  // namespace

bool wanted(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return false;
    // Anything else, Qt's own options such as -platform among them, still opens the window.
    static const QStringList kCommands = {kImport, kExport, QStringLiteral("--help"), QStringLiteral("-h"),
                                          QStringLiteral("-help"), QStringLiteral("--version"), QStringLiteral("-v")};
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
    const QString first = arguments.value(1);
    if (first == kImport)
        return runImport(arguments, defaultDatabase, err);
    if (first == kExport)
        return runExport(arguments, defaultDatabase, err);
    if (first == u"--help" || first == u"-h" || first == u"-help") {
        out << usage();
        return Done;
    }
    if (first == u"--version" || first == u"-v") {
        out << "saporium " << QCoreApplication::applicationVersion() << "\n";
        return Done;
    }
    return usageError(err, QStringLiteral("Unknown command %1.").arg(first));
}

}  // namespace cli
