// Recipe data in JSON-LD in and out: the shapes pages use for recipes and their fields, page text
// cleaned, recipes that cannot be read told by their path, and recipes written and read back
// unchanged.
#include "exchange/jsonld_reader.h"
#include "exchange/jsonld_writer.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using exchange::ImportedRecipe;
using exchange::ImportProblem;

struct Read {
    std::vector<ImportedRecipe> recipes;
    std::vector<std::string> problems;  // where each problem is
};

Read readJson(const QByteArray &json)
{
    Read read;
    exchange::readJsonLd(
        json, QStringLiteral("file.json"), [&](const ImportedRecipe &r) { read.recipes.push_back(r); },
        [&](const ImportProblem &p) {
            EXPECT_FALSE(p.reason.isEmpty());
            read.problems.push_back(p.where.toStdString());
        });
    return read;
}

// "where # name # author # category # ingredients # instructions", a field's lines joined by " | ".
std::string summary(const ImportedRecipe &r)
{
    const auto lines = [](QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String(" | ")); };
    return QString(r.where + QLatin1String(" # ") + r.recipe.name + QLatin1String(" # ") + r.recipe.author +
            QLatin1String(" # ") + r.category + QLatin1String(" # ") + lines(r.recipe.ingredients) +
            QLatin1String(" # ") + lines(r.recipe.instructions))
        .toStdString();
}

TEST(JsonLdReader, ReadsEachShapeAndTellsWhatItCannotRead)
{
    const struct {
        const char *what;
        const char *json;
        std::vector<std::string> recipes;
        std::vector<std::string> problems;
    } cases[] = {
        {"one object: text author, texts, text yield and category",
         R"({"@context": "https://schema.org", "@type": "Recipe", "name": "Pea Soup",
             "author": "Ann Lee", "recipeYield": "4 bowls", "recipeCategory": "Soups",
             "recipeIngredient": ["1 kg peas", "1 l stock"],
             "recipeInstructions": "Simmer the peas.\nBlend.\n\n  Serve   hot. "})",
         {"file.json # Pea Soup # Ann Lee # Soups # Yield: 4 bowls | 1 kg peas | 1 l stock # "
          "Simmer the peas. | Blend. | Serve hot."},
         {}},
        {"array: Person and Organization authors, number and list yields, list category, older ingredients",
         R"([{"@type": "Recipe", "name": "Toast", "author": [{"@type": "Person", "name": "Bo"},
              {"@type": "Organization", "name": "Bakers Guild"}], "recipeYield": 2,
              "recipeCategory": ["Breakfast", "Quick"], "ingredients": ["2 slices bread"],
              "recipeInstructions": ["Toast the bread.", "Butter it."]},
             {"@type": ["Recipe", "NewsArticle"], "name": "Tea", "author": {"@type": "Person", "name": "Cy"},
              "recipeYield": [3, "3 cups", "1 pot"], "recipeIngredient": "1 tsp leaves"}])",
         {"file.json: [0] # Toast # Bo, Bakers Guild # Breakfast # Yield: 2 | 2 slices bread # "
          "Toast the bread. | Butter it.",
          "file.json: [1] # Tea # Cy #  # Yield: 3 cups | 1 tsp leaves # "},
         {}},
        {"@graph among other items; steps, sections, a step with only a name",
         R"({"@context": "https://schema.org", "@graph": [
              {"@type": "WebPage", "name": "Not a recipe"},
              {"@type": "schema:Recipe", "name": "Pie",
               "recipeInstructions": [
                 {"@type": "HowToSection", "name": "Crust", "itemListElement": [
                   {"@type": "HowToStep", "text": "Rub in the butter."},
                   {"@type": "HowToStep", "name": "Chill."}]},
                 {"@type": "HowToSection", "name": "Filling", "itemListElement":
                   {"@type": "HowToStep", "text": "Slice the apples."}},
                 {"@type": "HowToStep", "name": "Ignored name", "text": "Bake."}]},
              {"@type": "Person", "name": "Nobody"}]})",
         {"file.json: @graph[1] # Pie #  #  #  # Crust | Rub in the butter. | Chill. | Filling | "
          "Slice the apples. | Bake."},
         {}},
        {"page text: tags, block tags as line ends, entities, blanks",
         R"({"@type": "Recipe", "name": "Fish &amp; <b>Chips</b>", "author": "J&#233;r&#xF4;me&nbsp;&nbsp;Roy",
             "recipeIngredient": ["<p>1&nbsp;lb   fish</p>", "a &lt; b &quot;x&quot; &#39;y&#39; &unknown; &"],
             "recipeInstructions": "<p>Fry.</p><p>Salt <i>well</i>.<br/>Eat if 1 < 2.</p><!-- note -->"})",
         {"file.json # Fish & Chips # J\xC3\xA9r\xC3\xB4me Roy #  # 1 lb fish | "
          "a < b \"x\" 'y' &unknown; & # Fry. | Salt well. | Eat if 1 < 2."},
         {}},
        {"a recipe without a name is told by its path, the others still read",
         R"({"@graph": [{"@type": "Recipe", "name": "A"}, {"@type": "Recipe", "name": " <br> "},
                        {"@type": "Recipe"}, {"@type": "Recipe", "name": "D"}]})",
         {"file.json: @graph[0] # A #  #  #  # ", "file.json: @graph[3] # D #  #  #  # "},
         {"file.json: @graph[1]", "file.json: @graph[2]"}},
        {"JSON that does not parse is told with its offset", R"([{"@type": "Recipe", "name": "A"},, ])",
         {},
         {"file.json: offset 35"}},
        {"JSON without a recipe", R"({"@type": "WebPage", "name": "Home"})", {}, {"file.json"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Read read = readJson(QByteArray(c.json));
        std::vector<std::string> got;
        for (const ImportedRecipe &r : read.recipes)
            got.push_back(summary(r));
        EXPECT_EQ(got, c.recipes);
        EXPECT_EQ(read.problems, c.problems);
    }
}

TEST(JsonLdWriter, WrittenRecipesReadBackUnchanged)
{
    const auto text = [](const char *utf8) { return QString::fromUtf8(utf8); };
    const std::vector<std::pair<recipes::Recipe, QString>> written = {
        {{text("Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e <b>best</b>"), text("Zo\xC3\xAB & \"Max\""),
          text("Yield: 4 ramekins\r\n500 ml cream & milk\r\n4 yolks\r\nsugar: a < b, b > c"),
          text("Heat the cream; do not boil.\r\nWrite &amp; as it is, and &lt;i&gt; too.\r\n"
               "Tags <p>stay</p> text: 'quoted' \"twice\"")},
         text("Desserts & Sweets")},
        {{text("Plain"), QString(), text("1 egg"), text("Boil it.")}, QString()},
        {{text("Blanks"), text("A\tB"), text("Yield:  2  big \xC2\xA0 ones\r\nx  y  \r\n&nbsp;"),
          text("  lead and trail  \r\n\xE2\x82\xAC 5 \xE6\x97\xA5\xE6\x9C\xAC")},
         text("Mains")},
    };
    const QByteArray json = exchange::jsonLdText(written);
    const Read read = readJson(json);
    EXPECT_TRUE(read.problems.empty());
    ASSERT_EQ(read.recipes.size(), written.size()) << json.toStdString();
    for (size_t i = 0; i < written.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read.recipes[i].recipe, written[i].first) << json.toStdString();
        EXPECT_EQ(read.recipes[i].category, written[i].second);
        EXPECT_EQ(read.recipes[i].where.toStdString(), "file.json: [" + std::to_string(i) + "]");
    }
    // What pages hold: the fields by their usual names, an author as a Person, steps as HowToSteps.
    for (const char *expected : {"\"@context\": \"https://schema.org\"", "\"@type\": \"Person\"",
                                 "\"recipeYield\": \"4 ramekins\"", "\"@type\": \"HowToStep\"",
                                 "\"recipeIngredient\": [", "\"recipeCategory\": \"Desserts &amp; Sweets\""}) {
        EXPECT_TRUE(json.contains(expected)) << expected;
    }
}

// The writer lays its text out itself; it must be the text Qt's own serializer gives for the
// same object, escapes included, so readers and people see what they always saw.
TEST(JsonLdWriter, WritesTheLayoutQtGivesTheSameObject)
{
    const auto text = [](const char16_t *utf16) { return QString::fromUtf16(utf16); };
    const struct {
        const char *what;
        recipes::Recipe recipe;
        QString category;
    } cases[] = {
        {"every field", {text(u"Soup"), text(u"Ann"), text(u"Yield: 4\r\n1 c peas\r\n2 leeks"), text(u"Boil.\r\nServe.")},
         text(u"Soups")},
        {"no author, category, ingredients or steps", {text(u"Bare"), {}, {}, {}}, {}},
        {"only empty lines", {text(u"\r\n\r\n"), text(u"\r\n"), text(u"\r\n\r\n"), text(u"\r\n")}, text(u"\r\n")},
        {"a yield alone, and one with nothing after it",
         {text(u"Y"), {}, text(u"Yield: 2"), {}}, {}},
        {"an empty yield stays an ingredient", {text(u"Y"), {}, text(u"Yield: \r\nsalt"), {}}, {}},
        {"JSON escapes", {text(u"\"q\" \\ back/slash"), text(u"\x01\x1f\x7f\b\f"), text(u"a\rb\nc"), text(u"\t tab")},
         text(u"C\"at")},
        {"blanks and markup as entities",
         {text(u" lead  and trail "), text(u"A\u00a0B"), text(u"x & y < z > w"), text(u"\u3000wide\u2028line")}, text(u"a  b")},
        {"characters of every UTF-8 length",
         {text(u"caf\u00e9 \u20ac \U0001F600"), text(u"\u65e5\u672c"), text(u"\uFEFF\uFFFE\uFFFF"), text(u"\u0800\u07ff")},
         text(u"\U00010000")},
        {"broken surrogates", {text(u"\xD800x"), text(u"y\xDC00"), text(u"\xDBFF"), text(u"\xDC00\xD800")}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray written = exchange::jsonLdObjectText(c.recipe, c.category);
        QJsonParseError error;
        const QJsonDocument parsed = QJsonDocument::fromJson(written, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << written.toStdString();
        EXPECT_EQ(parsed.toJson(QJsonDocument::Indented).trimmed().toStdString(), written.toStdString());
    }
}

}  // namespace
