// MealMaster text in and out: each layout a file may use, recipes that cannot be read told and
// skipped, both text encodings, and recipes written and read back unchanged.
#include "core/category_schema.h"
#include "exchange/mealmaster_reader.h"
#include "exchange/mealmaster_writer.h"

#include <QBuffer>
#include <QIODevice>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using exchange::ImportedRecipe;
using exchange::ImportProblem;

// Hands out its bytes a few at a time, as a pipe does, so that line ends fall across reads.
class Trickle : public QIODevice {
public:
    explicit Trickle(QByteArray data) : data_(std::move(data)) { open(ReadOnly | Unbuffered); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return data_.size() - pos_ + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *to, qint64 most) override
    {
        const qint64 n = std::min({most, 1 + pos_ % 5, qint64(data_.size()) - pos_});
        std::memcpy(to, data_.constData() + pos_, size_t(n));
        pos_ += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray data_;
    qint64 pos_ = 0;
};

struct Read {
    std::vector<ImportedRecipe> recipes;
    std::vector<std::string> problems;  // where each problem is
};

Read readFrom(QIODevice &device)
{
    Read read;
    exchange::readMealMaster(
        device, QStringLiteral("file.mmf"), [&](const ImportedRecipe &r) { read.recipes.push_back(r); },
        [&](const ImportProblem &p) {
            EXPECT_FALSE(p.reason.isEmpty());
            read.problems.push_back(p.where.toStdString());
        });
    return read;
}

Read readBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readFrom(buffer);
}

// "where # name # category # ingredients # instructions", a field's lines joined by " | "; a line
// break other than CR LF shows as itself.
std::string summary(const ImportedRecipe &r)
{
    const auto lines = [](QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String(" | ")); };
    return QString(r.where + QLatin1String(" # ") + r.recipe.name + QLatin1String(" # ") + r.category +
            QLatin1String(" # ") + lines(r.recipe.ingredients) + QLatin1String(" # ") +
            lines(r.recipe.instructions))
        .toStdString();
}

std::vector<std::string> summaries(const Read &read)
{
    std::vector<std::string> out;
    for (const ImportedRecipe &r : read.recipes) {
        EXPECT_TRUE(r.recipe.author.isEmpty()) << "the format has no author";
        out.push_back(summary(r));
    }
    return out;
}

TEST(MealMasterReader, ReadsEachLayoutAndSkipsWhatItCannotRead)
{
    const struct {
        const char *what;
        const char *text;
        std::vector<std::string> recipes;
        std::vector<std::string> problems;
    } cases[] = {
        {"MMMMM framing: header lines, columns, a continuation, a section, paragraphs",
         "Mail that came with the recipe is not read.\n"
         "Subject: tarts\n"
         "\n"
         "MMMMM----- Recipe via Meal-Master (tm) v8.05\n"
         " \n"
         "      Title: Plum Tart\n"
         " Categories: Desserts, Pies\n"
         "      Yield: 1  tart\n"
         " \n"
         "  1 1/2 c  Flour\n"
         "      1    Egg; beaten\n"
         "    1/4 ts Salt\n"
         "    100 g  Cold butter, cut in small\n"
         "           -cubes,   or margarine\n"
         "           Ice water\n"
         " \n"
         "MMMMM----------------------FILLING-----------------------\n"
         "     12    Plums, halved\n"
         "      2 tb Sugar\n"
         " \n"
         "  Rub the butter into the flour and salt\n"
         "  until it looks like crumbs.\n"
         " \n"
         "  Bind with the egg and water; chill.\n"
         "\n"
         "  From: A friend of the family\n"
         " \n"
         "MMMMM\n"
         "Text after the recipe is not read either.\n",
         {"file.mmf:4 # Plum Tart # Desserts # Yield: 1 tart | 1 1/2 c Flour | 1 Egg; beaten | 1/4 ts Salt | "
          "100 g Cold butter, cut in small cubes, or margarine | Ice water | FILLING | 12 Plums, halved | "
          "2 tb Sugar # Rub the butter into the flour and salt until it looks like crumbs. | "
          "Bind with the egg and water; chill. | From: A friend of the family"},
         {}},
        {"dash framing, servings, a dash section, two recipes with text between",
         "---------- Recipe via Meal-Master (tm) v8.02\n"
         " \n"
         "      Title: Green Soup\n"
         " Categories: Soups\n"
         "   Servings:  4\n"
         " \n"
         "      1 lb Spinach\n"
         "      1 l  Stock\n"
         "-----------------------GARNISH----------------------\n"
         "      4 tb Cream\n"
         " \n"
         "  Simmer the spinach in the stock,\n"
         "  then blend.\n"
         "-----\n"
         "\n"
         "Between recipes: nothing here is read.\n"
         "\n"
         "---------- Recipe via Meal-Master (tm) v8.02\n"
         "      Title: Toast\n"
         "      1 sl Bread\n"
         "  Toast it.\n"
         "-----\n",
         {"file.mmf:1 # Green Soup # Soups # Yield: 4 | 1 lb Spinach | 1 l Stock | GARNISH | 4 tb Cream # "
          "Simmer the spinach in the stock, then blend.",
          "file.mmf:18 # Toast #  # 1 sl Bread # Toast it."},
         {}},
        {"two columns, read down the first and then the second; a section after the directions",
         "MMMMM----- Recipe via Meal-Master (tm) v8.05\n"
         "\n"
         "      Title: Spice Cake\n"
         " Categories: Cakes\n"
         "\n"
         "      1 c  Butter                              1 ts Vanilla\n"
         "      2 c  Sugar                               3 c  Flour, sifted with the\n"
         "      4    Eggs                                     -baking powder\n"
         "                                               2 ts Baking powder\n"
         "\n"
         "  Cream the butter and sugar; beat in the eggs and the vanilla, then fold in the flour.\n"
         "\n"
         "MMMMM--------------------------ICING----------------------------\n"
         "      1 c  Icing sugar\n"
         "\n"
         "  Stir with a little water and spread.\n"
         "MMMMM\n",
         {"file.mmf:1 # Spice Cake # Cakes # 1 c Butter | 2 c Sugar | 4 Eggs | 1 ts Vanilla | "
          "3 c Flour, sifted with the baking powder | 2 ts Baking powder | ICING | 1 c Icing sugar # "
          "Cream the butter and sugar; beat in the eggs and the vanilla, then fold in the flour. | "
          "Stir with a little water and spread."},
         {}},
        {"no title, no end line before the next recipe, no end line at the end of the file",
         "MMMMM----- Recipe via Meal-Master (tm) v8.05\n"
         "\n"
         " Categories: Lost\n"
         "\n"
         "      1    Thing\n"
         "\n"
         "MMMMM\n"
         "MMMMM----- Recipe via Meal-Master (tm) v8.05\n"
         "      Title: Kept\n"
         "      1    Egg\n"
         "  Boil.\n"
         "MMMMM\n"
         "MMMMM----- Recipe via Meal-Master (tm) v8.05\n"
         "      Title: Cut short\n"
         "      1    Egg\n"
         "MMMMM----- Recipe via Meal-Master (tm) v8.05\n"
         "      Title: Never ends\n"
         "\n"
         "      2    Eggs\n",
         {"file.mmf:8 # Kept #  # 1 Egg # Boil."},
         {"file.mmf:1", "file.mmf:13", "file.mmf:16"}},
    };
    for (const auto &c : cases) {
        for (const char *ending : {"\n", "\r\n", "\r"}) {
            for (const bool trickle : {false, true}) {
                SCOPED_TRACE(std::string(c.what) + (trickle ? ", a few bytes at a time" : "") + ", line end " +
                             (ending[0] == '\n' ? "LF" : ending[1] ? "CR LF" : "CR"));
                const QByteArray bytes = QByteArray(c.text).replace("\n", ending);
                Trickle pipe(bytes);
                const Read read = trickle ? readFrom(pipe) : readBytes(bytes);
                EXPECT_EQ(summaries(read), c.recipes);
                EXPECT_EQ(read.problems, c.problems);
            }
        }
    }
}

TEST(MealMasterReader, TakesEachRecipeAsUtf8WhenAllItsBytesAreElseAsLatin1)
{
    const QByteArray utf8 = "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n"
                            "      Title: Crème brûlée\r\n"
                            " Categories: Desserts à la française\r\n"
                            "\r\n"
                            "      4    Jaunes d'œufs\r\n"
                            "    100 g  Sucre glacé\r\n"
                            "\r\n"
                            "  Chauffer la crème à 80 °C.\r\n"
                            "MMMMM\r\n";
    // Latin-1 has no "œ": that line stays ASCII in both.
    const QByteArray ascii = QByteArray(utf8).replace("Jaunes d'œufs", "Jaunes");
    const std::string expected = "# Crème brûlée # Desserts à la française # 4 Jaunes | 100 g Sucre glacé # "
                                 "Chauffer la crème à 80 °C.";
    const QByteArray latin1 = QString::fromUtf8(ascii).toLatin1();
    ASSERT_FALSE(QByteArrayView(latin1).isValidUtf8());

    const struct {
        const char *what;
        QByteArray bytes;
        std::vector<std::string> recipes;
    } cases[] = {
        {"UTF-8", ascii, {"file.mmf:1 " + expected}},
        {"Latin-1", latin1, {"file.mmf:1 " + expected}},
        {"UTF-8 after a byte order mark", "\xEF\xBB\xBF" + ascii, {"file.mmf:1 " + expected}},
        {"a UTF-8 recipe, then a Latin-1 one", ascii + latin1, {"file.mmf:1 " + expected, "file.mmf:10 " + expected}},
        {"a Latin-1 recipe, then a UTF-8 one", latin1 + utf8,
         {"file.mmf:1 " + expected,
          "file.mmf:10 " + QString::fromUtf8(expected).replace(QLatin1String("4 Jaunes"), QStringLiteral("4 Jaunes d'œufs")).toStdString()}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Read read = readBytes(c.bytes);
        EXPECT_EQ(summaries(read), c.recipes);
        EXPECT_TRUE(read.problems.empty());
    }
}

// A recipe is held to its limit, not the file: one over it is refused with the reason, with or
// without its end line, and the recipes around it are read.
TEST(MealMasterReader, RefusesARecipeOverItsLimitAndReadsTheOthers)
{
    const auto recipe = [](const char *title, qsizetype size, bool ended) -> QByteArray {
        // Exactly size bytes of lines between the first line and the end line, line ends aside.
        QByteArray lines = QByteArray("      Title: ") + title + "\n\n";
        qsizetype left = size - (lines.size() - 2);
        const QByteArray step = "  " + QByteArray(76, 's');
        for (; left >= step.size(); left -= step.size())
            lines += step + '\n';
        lines += QByteArray(left, 't') + '\n';
        return "MMMMM----- Recipe via Meal-Master (tm) v8.05\n" + lines + (ended ? "MMMMM\n" : "");
    };
    const QByteArray before = recipe("Before", 100, true);
    const QByteArray after = recipe("After", 100, true);
    const qsizetype limit = qsizetype(4) << 20;  // the reader's own, as its message says
    const struct {
        const char *what;
        QByteArray big;
        bool read;
    } cases[] = {
        {"a recipe of the limit is read", recipe("Big", limit, true), true},
        {"one a byte longer is refused", recipe("Big", limit + 1, true), false},
        {"one without its end line is refused once over the limit", recipe("Big", limit + 1, false), false},
    };
    const std::string bigAt = "file.mmf:" + std::to_string(before.count('\n') + 1);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QBuffer file;
        file.setData(before + c.big + after);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        std::vector<std::string> names, problems;
        exchange::readMealMaster(
            file, QStringLiteral("file.mmf"),
            [&](const ImportedRecipe &r) { names.push_back(r.where.toStdString() + " " + r.recipe.name.toStdString()); },
            [&](const ImportProblem &p) { problems.push_back(p.where.toStdString() + ": " + p.reason.toStdString()); });
        const std::string afterAt = "file.mmf:" + std::to_string(before.count('\n') + c.big.count('\n') + 1);
        if (c.read) {
            EXPECT_EQ(names, (std::vector<std::string>{"file.mmf:1 Before", bigAt + " Big", afterAt + " After"}));
            EXPECT_TRUE(problems.empty());
        } else {
            EXPECT_EQ(names, (std::vector<std::string>{"file.mmf:1 Before", afterAt + " After"}));
            EXPECT_EQ(problems, std::vector<std::string>{bigAt + ": The recipe is too large: over the 4 MB this program "
                                                                 "reads of one recipe (or its end line is missing), so "
                                                                 "it was not read."});
        }
    }
}

TEST(MealMasterWriter, WritesRecipesThatReadBackUnchanged)
{
    const QString longText = QStringLiteral("finely chopped, or minced if you have a sharp knife and the time, then "
                                            "kept cold until the very last moment");
    const QString longWord = QString(60, QLatin1Char('w'));
    const struct {
        recipes::Recipe recipe;
        QString category;
    } cases[] = {
        {{QStringLiteral("Plum Tart"), QStringLiteral("Ann"),
          QStringLiteral("Yield: 1 tart\r\n1 1/2 c flour\r\n1 egg\r\n100 g cold butter\r\nFILLING\r\n12 plums, "
                         "halved\r\nc flour, for the board"),
          QStringLiteral("Rub the butter into the flour.\r\nBake 40 minutes.")},
         QStringLiteral("Desserts")},
        {{QStringLiteral("Crème brûlée"), QString(),
          QStringLiteral("4 jaunes d'œufs\r\n1/2 l crème fraîche\r\nΣΑΛΤΣΑ\r\n2 c Σάλτσα ντομάτας"),
          QStringLiteral("Chauffer la crème à 80 °C.\r\nΑνακατεύουμε καλά.")},
         QStringLiteral("Desserts à la française")},
        {{QStringLiteral("カレーライス"), QString(), QStringLiteral("2 c ご飯\r\n1 カレールー\r\n- 福神漬け"),
          QStringLiteral("玉ねぎを炒める。\r\n煮込む。")},
         QStringLiteral("和食")},
        {{QStringLiteral("Fish & chips <\"best\">"), QString(),
          QStringLiteral("1 lb cod & <haddock>\r\n\"Chips\" as you like"),
          QStringLiteral("Fry at <180 °C> & drain on \"paper\".\r\nSalt\tto taste;  pepper too.")},
         QStringLiteral("Fish & <chips>")},
        {{QStringLiteral("A name as long as the title line holds, some sixty letters"),
          QString(),
          QStringLiteral("2 onions, ") + longText + QStringLiteral("\r\n1 1/2 1/4 c ") + longText +
              QStringLiteral("\r\nsalt ") + longWord + QStringLiteral(" pepper\r\n12345678 grains of rice"),
          QStringLiteral("1 2 3 in a row, as a first paragraph that would read as an ingredient. ") + longText +
              QStringLiteral(" ") + longText + QStringLiteral("\r\nMMMMM\r\n-----\r\nMMMMM-----SAUCE-----\r\n") +
              longWord + QStringLiteral(" ") + longWord},
         QStringLiteral("Long")},
        {{QStringLiteral("Stock"), QString(), QStringLiteral("1 l water"),
          QStringLiteral("1\tl\tof water, with tabs that read as ingredient columns at any small indent.")},
         QString()},
        {{QStringLiteral("Water"), QStringLiteral("   "), QStringLiteral("   "), QStringLiteral("  ")}, QString()},
        {{QStringLiteral("Soup for four"), QString(), QStringLiteral("Yield: 4\r\n1 l stock"), QStringLiteral("Heat.")},
         QStringLiteral("Soups")},
        {{QStringLiteral("Soup for one"), QString(), QStringLiteral("Yield: 1\r\n1 c stock"), QStringLiteral("Heat.")},
         QStringLiteral("Soups")},
        {{QStringLiteral("Only a yield"), QString(), QStringLiteral("Yield: 2 loaves"), QStringLiteral("Bake.")},
         QStringLiteral("Breads")},
    };

    QBuffer file;
    file.open(QIODevice::WriteOnly);
    for (const auto &c : cases)
        ASSERT_TRUE(exchange::writeMealMaster(file, c.recipe, c.category));
    file.close();
    const QByteArray text = file.data();

    ASSERT_TRUE(QByteArrayView(text).isValidUtf8());
    EXPECT_EQ(text.count('\n'), text.count("\r\n")) << "every line ends in CR LF";
    for (const QByteArray &line : text.split('\n')) {
        const QString shown = QString::fromUtf8(line).chopped(line.isEmpty() ? 0 : 1);
        EXPECT_TRUE(shown.size() <= 80 || shown.size() - shown.lastIndexOf(QLatin1Char(' ')) > 60)
            << "only a word that does not fit runs past the margin: " << shown.toStdString();
    }
    // Quantities and units in their columns, long text continued, sections as headers.
    for (const char *line : {"\r\n  1 1/2 c  flour\r\n", "\r\n      1    egg\r\n", "\r\n           -"})
        EXPECT_TRUE(text.contains(line)) << line;
    EXPECT_TRUE(QString::fromUtf8(text).contains(QRegularExpression(QStringLiteral("\r\nMMMMM-{5,}FILLING-{5,}\r\n"))));

    const Read read = readBytes(text);
    EXPECT_TRUE(read.problems.empty());
    ASSERT_EQ(read.recipes.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const recipes::Recipe &written = cases[i].recipe;
        SCOPED_TRACE(written.name.toStdString());
        const ImportedRecipe &back = read.recipes[i];
        EXPECT_EQ(back.recipe.name.toStdString(), recipes::schema::trimBlanks(written.name).toStdString());
        EXPECT_EQ(back.recipe.author.toStdString(), "");
        EXPECT_EQ(back.recipe.ingredients.toStdString(), recipes::schema::trimBlanks(written.ingredients).toStdString());
        EXPECT_EQ(back.recipe.instructions.toStdString(),
                  recipes::schema::trimBlanks(written.instructions).toStdString());
        EXPECT_EQ(back.category.toStdString(), cases[i].category.toStdString());
    }
}

// Other programs want the classic header: title, one category line of at most 80 columns, and a
// servings or yield line in every recipe.
TEST(MealMasterWriter, WritesTheClassicHeader)
{
    const QString longCategory = QString(70, QLatin1Char('c'));
    const struct {
        const char *what;
        QString ingredients;
        QString category;
        QStringList header;  // the lines after the first and the blank line under it
    } cases[] = {
        {"no yield", QStringLiteral("1 egg"), QStringLiteral("Breakfast"),
         {QStringLiteral("      Title: Dish"), QStringLiteral(" Categories: Breakfast"), QStringLiteral("   Servings: 1")}},
        {"servings", QStringLiteral("Yield:  12\r\n1 egg"), QStringLiteral("Breakfast"),
         {QStringLiteral("      Title: Dish"), QStringLiteral(" Categories: Breakfast"), QStringLiteral("   Servings: 12")}},
        {"a yield of one", QStringLiteral("Yield: 1"), QStringLiteral("Breakfast"),
         {QStringLiteral("      Title: Dish"), QStringLiteral(" Categories: Breakfast"), QStringLiteral("      Yield: 1")}},
        {"a yield in words", QStringLiteral("Yield: 1 tart (8 slices)\r\n1 egg"), QStringLiteral("Pies"),
         {QStringLiteral("      Title: Dish"), QStringLiteral(" Categories: Pies"),
          QStringLiteral("      Yield: 1 tart (8 slices)")}},
        {"a yield not first", QStringLiteral("1 egg\r\nYield: 2"), QStringLiteral("Pies"),
         {QStringLiteral("      Title: Dish"), QStringLiteral(" Categories: Pies"), QStringLiteral("   Servings: 1")}},
        {"a comma in the category", QString(), QStringLiteral("Soups, cold"),
         {QStringLiteral("      Title: Dish"), QStringLiteral(" Categories: Soups; cold"), QStringLiteral("   Servings: 1")}},
        {"a long category", QString(), longCategory,
         {QStringLiteral("      Title: Dish"), QStringLiteral(" Categories: ") + longCategory.first(67),
          QStringLiteral("   Servings: 1")}},
        {"a long category cut before a surrogate pair", QString(), QString(66, QLatin1Char('c')) + QStringLiteral("𝄞𝄞"),
         {QStringLiteral("      Title: Dish"), QStringLiteral(" Categories: ") + QString(66, QLatin1Char('c')),
          QStringLiteral("   Servings: 1")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray text =
            exchange::mealMasterText({QStringLiteral("Dish"), QString(), c.ingredients, QStringLiteral("Cook.")}, c.category);
        const QStringList lines = QString::fromUtf8(text).split(QStringLiteral("\r\n"));
        ASSERT_GE(lines.size(), 6);
        EXPECT_EQ(lines[0], QStringLiteral("MMMMM----- Recipe via Meal-Master (tm) v8.05"));
        EXPECT_EQ(lines[1], QString());
        EXPECT_EQ(lines.mid(2, 3), c.header) << lines.mid(2, 3).join(u'|').toStdString();
        EXPECT_EQ(lines[5], QString()) << "a blank line ends the header";
    }
}

}  // namespace
