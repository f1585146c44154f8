#include "app/usage.h"

#include "core/scale_factor.h"
#include "exchange/format_list.h"

#include <QStringBuilder>

#include <utility>
#include <vector>

namespace cli {

namespace {

struct Command {
    QString name;
    QStringList valueOptions;
    QString synopsis;
    QString about;  // lines of at most 90 characters, each indented by ten blanks after the first
};

const QString kDatabase = QStringLiteral("database");
const QString kCategory = QStringLiteral("category");
const QString kRecipe = QStringLiteral("recipe");
const QString kFactor = QStringLiteral("factor");
const QString kServings = QStringLiteral("servings");

const std::vector<Command> &commands()
{
    static const std::vector<Command> all = {
        {QStringLiteral("import"), {kDatabase, kCategory},
         QStringLiteral("saporium import [--database FILE] [--category NAME] FILE|URL..."),
         QStringLiteral("reads schema.org JSON-LD files, web pages that carry it or schema.org microdata,\n"
                        "          MealMaster files, and folders of them (with their subfolders) into the recipe file;\n"
                        "          each file goes in whole or not at all. A recipe goes into --category, else the\n"
                        "          category the file gives it, else \"Imported\". A recipe identical to one already in\n"
                        "          its category is skipped. Only regular files are read: a device, pipe or unreadable\n"
                        "          file is reported and skipped, as is a saved page over 64 MB; a JSON-LD recipe over\n"
                        "          64 MB, or a MealMaster recipe over 4 MB, is refused and the file's others go in.\n"
                        "          An http:// or https:// URL is fetched (30 s and 20 MB at most) and read as a saved\n"
                        "          page is; a link that cannot be fetched is told like an unreadable file.")},
        {QStringLiteral("export"), {kDatabase, kCategory, QStringLiteral("format"), QStringLiteral("output")},
         QStringLiteral("saporium export [--database FILE] [--category NAME] --format %1 --output PATH")
             .arg(exchange::formats::writerChoice()),
         QStringLiteral("writes every recipe, or those of --category, as JSON-LD, MealMaster, a cookbook\n"
                        "          (a web page or a PDF) with a table of contents, or (folder) a folder per recipe\n"
                        "          with its recipe.json, which a new export into PATH updates. Exported files are not\n"
                        "          encrypted. A PATH that is a symbolic link is refused, and so is a folder PATH\n"
                        "          that belongs to another user or that others may write to.")},
        {QStringLiteral("search"), {kDatabase, kCategory},
         QStringLiteral("saporium search [--database FILE] [--category NAME] QUERY..."),
         QStringLiteral("prints the recipes the query matches, one \"Category<TAB>Recipe\" line each, in the\n"
                        "          order the window's find bar shows them; the query is read as the find bar reads it\n"
                        "          (\"-word\" leaves out what matches word; after \"--\" every argument is a word).\n"
                        "          Exits 1 when nothing matches.")},
        {QStringLiteral("backup"), {kDatabase, QStringLiteral("output")},
         QStringLiteral("saporium backup [--database FILE] [--output FILE]"),
         QStringLiteral("writes an encrypted copy of the recipe file, with its password, into the backups\n"
                        "          folder beside it (the newest 10 are kept), or to --output.")},
        {QStringLiteral("restore"), {kDatabase},
         QStringLiteral("saporium restore [--database FILE] BACKUP"),
         QStringLiteral("checks the backup and puts it in the place of the recipe file, which is backed up\n"
                        "          first. A backup made under an older password asks for that password (with\n"
                        "          --password-stdin: the second line); the restored file keeps the present one.")},
        {QStringLiteral("password"), {kDatabase},
         QStringLiteral("saporium password [--database FILE]"),
         QStringLiteral("gives the recipe file a password of its own: asks for the present one once and the\n"
                        "          new one twice, hidden at a terminal, or reads the three as lines from standard input.")},
        {QStringLiteral("scale"), {kDatabase, kCategory, kRecipe, kFactor, kServings},
         QStringLiteral("saporium scale [--database FILE] --category NAME --recipe NAME (--factor X | --servings N)"),
         QStringLiteral("prints the recipe's ingredient lines with every amount multiplied by X, or made for N\n"
                        "          servings when its ingredients say how many it serves (\"Yield: 4\", \"Serves 4\").\n"
                        "          The rest of each line, and the stored recipe, stay as they are. X is above 0 and at\n"
                        "          most %1, N at most %2. An amount that would grow too large to write exits 2.")
             .arg(recipes::kMostFactor)
             .arg(recipes::kMostServings)},
        {QStringLiteral("shopping-list"), {kDatabase, kFactor, kCategory},
         QStringLiteral("saporium shopping-list [--database FILE] [--factor X] [--category NAME] [CATEGORY/]RECIPE[*N]..."),
         QStringLiteral("prints what the recipes need together, sorted by item: lines of the same item in units\n"
                        "          of one kind added up, the others listed once each. Every recipe is scaled by X\n"
                        "          (default 1), or by N when \"*N\" follows its name; X and N are above 0 and at most\n"
                        "          %1. Each RECIPE is written CATEGORY/RECIPE, or without the category when\n"
                        "          --category names it for all; one that names a recipe of two categories (a category's\n"
                        "          name may hold a \"/\") is refused, with --category as the way out. Exits 1 when a\n"
                        "          name finds no recipe or two, or its N is refused; the others are still listed. An\n"
                        "          amount that would grow too large to write exits 2.")
             .arg(recipes::kMostFactor)},
    };
    return all;
}

const Command *find(const QString &name)
{
    for (const Command &c : commands())
        if (c.name == name)
            return &c;
    return nullptr;
}

QString optionLine(const QString &name)
{
    static const std::pair<QString, QString> lines[] = {
        {QStringLiteral("database"),
         QStringLiteral("  --database FILE     the recipe file (default: the one the window opens); a name without\n"
                        "                      an extension gets .mdb\n")},
        {QStringLiteral("category"),
         QStringLiteral("  --category NAME     the category to import into, export, search, scale or list from\n")},
        {QStringLiteral("recipe"), QStringLiteral("  --recipe NAME       the recipe to scale\n")},
        {QStringLiteral("factor"),
         QStringLiteral("  --factor X          multiply every amount by X (2, 0.5, 1,5 or 1/2; at most %1)\n")
             .arg(recipes::kMostFactor)},
        {QStringLiteral("servings"),
         QStringLiteral("  --servings N        scale to N servings (at most %1)\n").arg(recipes::kMostServings)},
        {QStringLiteral("format"), QStringLiteral("  --format FORMAT     %1\n").arg(exchange::formats::writerNames())},
        {QStringLiteral("output"), QStringLiteral("  --output PATH       the file to write\n")},
        {QStringLiteral("password-stdin"),
         QStringLiteral("  --password-stdin    read the recipe file's password from the first line of standard input\n")},
        {QStringLiteral("help"), QStringLiteral("  --help              print this usage\n")},
    };
    for (const auto &[option, line] : lines)
        if (option == name)
            return line;
    return {};
}

// Headed and laid out as help2man reads it, since the manual page is made from this text.
const QString kExitCodes = QStringLiteral(
    "Exit status:\n"
    "  0   done\n"
    "  1   some input refused or a file not read (search: nothing matched; shopping-list: a\n"
    "      recipe not found or named two ways, or its *N refused)\n"
    "  2   a usage or file error, or a recipe that cannot be scaled as asked\n");

// The command's name in the column its text starts at; a name too long for it has the text start
// on the next line, so that two blanks still part them.
QString headed(const QString &name)
{
    return name.size() < 9 ? name.leftJustified(10) : name + QStringLiteral("\n") + QString(10, u' ');
}

}  // namespace

QStringList commandNames()
{
    QStringList names;
    for (const Command &c : commands())
        names.append(c.name);
    return names;
}

QStringList valueOptionsOf(const QString &command)
{
    const Command *c = find(command);
    return c ? c->valueOptions : QStringList();
}

bool takesDashWords(const QString &command) { return command == u"search"; }

// The manual page is made from this text by help2man: "Usage:" with the program on its line and
// "or:" lines make its synopsis, a line ending in a colon heads a section, and an indented word
// followed by two blanks is an item of a list.
QString usage()
{
    QString text = QStringLiteral("Usage: saporium [FILE]\n");
    for (const Command &c : commands())
        text += QStringLiteral("  or:  ") + c.synopsis + u'\n';
    text += QStringLiteral("  or:  saporium COMMAND --help | --help | --version\n"
                           "Without a command, saporium opens the recipe window, on FILE or on the default file; with\n"
                           "one, it works on the recipe file and opens no window.\n\nCommands:\n");
    for (const Command &c : commands())
        text += QStringLiteral("  ") + QString(headed(c.name) + c.about).replace(u'\n', QLatin1String("\n  ")) + u'\n';
    text += QStringLiteral("\nOptions:\n");
    for (const QString &option : {QStringLiteral("database"), QStringLiteral("category"), QStringLiteral("format"),
                                  QStringLiteral("output"), kRecipe, kFactor, kServings, QStringLiteral("password-stdin")})
        text += optionLine(option);
    return text
        + QStringLiteral("\nA file with a password of its own asks for it at a terminal (three tries). The window's\n"
                         "FILE, like --database, gets .mdb when it has no extension; one it cannot open exits 2.\n\n")
        + kExitCodes;
}

QString commandUsage(const QString &command)
{
    const Command *c = find(command);
    if (!c)
        return usage();
    QString text = QStringLiteral("Usage: ") + c->synopsis + QStringLiteral("\n\n") + headed(c->name)
        + c->about + QStringLiteral("\n\nOptions:\n");
    for (const QString &option : c->valueOptions)
        text += optionLine(option);
    text += optionLine(QStringLiteral("password-stdin")) + optionLine(QStringLiteral("help"));
    return text + u'\n' + kExitCodes;
}

}  // namespace cli
