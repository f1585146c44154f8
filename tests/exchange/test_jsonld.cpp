// Recipe data in JSON-LD in and out: the shapes pages use for recipes and their fields, page text
// cleaned, recipes that cannot be read told by their path, and recipes written and read back
// unchanged.
#include "exchange/jsonld_reader.h"
#include "exchange/jsonld_writer.h"
#include "support/recipe_summary.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
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

using testsupport::summary;

TEST(JsonLdReader, ReadsEachShapeAndTellsWhatItCannotRead)
{
    const struct {
        const char *what;
        const char *json;
        std::vector<std::string> recipes;
        std::vector<std::string> problems;
    } cases[] = {
        {"one object: text author, texts, text yield and category; a file keeps no source line",
         R"({"@context": "https://schema.org", "@type": "Recipe", "name": "Pea Soup", "url": "https://example.org/pea",
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

// The stream reader takes exactly what Qt's parser takes: each broken document is told at the
// offset and with the words QJsonDocument::fromJson gives, and nothing of it is read.
TEST(JsonLdReader, TellsBrokenJsonWhereQtsParserDoes)
{
    const QByteArray deep = QByteArray(1025, '[') + QByteArray(1025, ']');
    const QByteArray deepEnough = "{\"@graph\": " + QByteArray(1023, '[') + R"({"@type": "Recipe", "name": "Deep"})"
        + QByteArray(1023, ']') + '}';
    const QByteArray longString = "[{\"@type\": \"Recipe\", \"name\": \"" + QByteArray(300000, 'x');
    const QByteArray cases[] = {
        "", "   ", "\xEF\xBB\xBF", "\xEF\xBB\xBF{}x", "x", "1", "\"s\"", "[", "{", "[1", "[1,", "[1,]", "[,1]", "{,}",
        R"({"a"})", R"({"a":})", R"({"a":1,})", R"({"a" 1})", R"({"a":1 "b":2})", "[1 2]", "[1;2]", "{} {}", "[]]",
        "[nul]", "[nul", "[null", "[nulx]", "[tru]", "[fals]", "[falsy]", "[-]", "[01]", "[1.]", "[1e]", "[1e999]",
        "[-1.5e+3]", "[+1]", "[.5]", "[1", "[\"a", "[\"a\"", "[\"a\\", "[\"\\u12\"]", "[\"\\u12G4\"]",
        "[\"\\uD800\"]", "[\"\\q\"]", "[\"\xC3\"]", "[\"\xC0\x80\"]", "[\"\xED\xA0\x80\"]", "[\"\xF4\x90\x80\x80\"]",
        "[\"\xF5\"]", "[\"\xE2\x82\"]", "[\"\xEF\xBF\xBF\"]", "[\"tab\there\"]", deep, deepEnough, longString,
        R"({"@graph": [{"@type": "Recipe", "name": "A"}, {"@type": "Recipe", "name": "B"},, ]})",
    };
    // And every cut and every one-byte change of a document with each kind of value in it.
    const QByteArray rich = "\xEF\xBB\xBF[{\"@type\": [\"Recipe\"], \"name\": \"N\\u00e9\\n\xC3\xA9\\\"\", \"a\": "
                            "[true, false, null, -0.5e+2, 10], \"b\": {}} , []]";
    std::vector<QByteArray> all(std::begin(cases), std::end(cases));
    for (qsizetype i = 0; i < rich.size(); ++i) {
        all.push_back(rich.left(i));
        for (const char c : {'"', '\\', '\xff', ',', '}', ']', 'u', '0', ' '})
            all.push_back(rich.left(i) + c + rich.mid(i + 1));
    }
    for (const QByteArray &json : all) {
        SCOPED_TRACE(json.left(80).toStdString());
        QJsonParseError qt;
        QJsonDocument::fromJson(json, &qt);
        const Read read = readJson(json);
        if (qt.error == QJsonParseError::NoError) {
            for (const std::string &problem : read.problems)
                EXPECT_EQ(problem.find("offset"), std::string::npos) << problem;
            continue;
        }
        EXPECT_TRUE(read.recipes.empty());
        ASSERT_EQ(read.problems.size(), 1u);
        EXPECT_EQ(read.problems[0], "file.json: offset " + std::to_string(qt.offset));
        std::string reason;
        exchange::readJsonLd(
            json, QStringLiteral("file.json"), [](const ImportedRecipe &) {},
            [&](const ImportProblem &p) { reason = p.reason.toStdString(); });
        EXPECT_NE(reason.find(qt.errorString().toStdString()), std::string::npos) << reason;
    }
}

// A NUL written raw in a string is refused where it stands, as JSON's grammar has it though Qt's
// parser takes it; escaped it is no fault. The other control characters real pages write raw in
// their texts (tabs, line breaks) are read.
TEST(JsonLdReader, RefusesANulWrittenRawInAString)
{
    using namespace std::string_view_literals;
    const struct {
        std::string_view json;
        const char *where;  // of the one problem; none when the recipe is read
        const char *character;
    } cases[] = {
        {"[{\"@type\": \"Recipe\", \"name\": \"Pea\0Soup\"}]"sv, "file.json: offset 33", "U+0000"},
        {"{\"@type\": \"Recipe\", \"na\0me\": \"A\"}"sv, "file.json: offset 23", "U+0000"},
        {"{\"@type\": \"Recipe\", \"name\": \"Two\nlines,\ta tab\x1f\"}"sv, nullptr, nullptr},
        {"\t{\"@type\":\r\n\"Recipe\", \"name\": \"Pea\\tSoup\\u0000\", \"author\": \"\x7f\"}\n"sv, nullptr, nullptr},
    };
    for (const auto &c : cases) {
        const QByteArray json(c.json.data(), static_cast<qsizetype>(c.json.size()));
        SCOPED_TRACE(json.toStdString());
        std::vector<ImportedRecipe> recipes;
        std::vector<ImportProblem> problems;
        exchange::readJsonLd(
            json, QStringLiteral("file.json"), [&](const ImportedRecipe &r) { recipes.push_back(r); },
            [&](const ImportProblem &p) { problems.push_back(p); });
        if (!c.where) {
            EXPECT_EQ(recipes.size(), 1u);
            EXPECT_TRUE(problems.empty());
            continue;
        }
        EXPECT_TRUE(recipes.empty());
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].where.toStdString(), c.where);
        EXPECT_EQ(problems[0].reason.toStdString(), std::string("The file is not valid JSON: a raw control character ")
                                                        + c.character + " in a string, where JSON allows it only escaped.");
    }
}

// Read from a device, a document far larger than what the reader holds at once: recipes at any
// depth of arrays and graphs, keys escaped or given twice, text in every script.
TEST(JsonLdReader, StreamsRecipesWhereverTheDocumentPutsThem)
{
    const struct {
        const char *what;
        QByteArray json;
        std::vector<std::string> recipes;
        std::vector<std::string> problems;
    } cases[] = {
        {"nested arrays and a graph inside an array",
         R"([[{"@type": "Recipe", "name": "A"}], {"@graph": [1, "x", null, {"@type": "Recipe", "name": "B"}]},
             {"@type": "Thing", "name": "not", "recipe": {"@type": "Recipe", "name": "Hidden"}}])",
         {"file.json: [0][0] # A #  #  #  # ", "file.json: [1].@graph[3] # B #  #  #  # "}, {}},
        {"an escaped @graph key, and a graph that wins over the object's own type",
         R"({"@type": "Recipe", "name": "Outer", "\u0040graph": [{"@type": "Recipe", "name": "Inner"}]})",
         {"file.json: @graph[0] # Inner #  #  #  # "}, {}},
        {"a key given twice counts by its last value",
         R"({"@type": "Recipe", "@type": "Thing", "name": "No"})", {}, {"file.json"}},
        {"escapes and characters of every length in a recipe, beside a huge value passed over",
         "{\"@graph\": [{\"@type\": \"Thing\", \"text\": \"" + QByteArray(200000, 'z') + "\"},"
         R"( {"@type": "Recipe", "name": "Cr\u00e8me \"br\u00fbl\u00e9e\" \ud83d\ude00 caf)" "\xC3\xA9 \xE6\x97\xA5"
         R"(", "author": "A\/B"}]})",
         {"file.json: @graph[1] # Cr\xC3\xA8me \"br\xC3\xBBl\xC3\xA9" "e\" \xF0\x9F\x98\x80 caf\xC3\xA9 \xE6\x97\xA5 # A/B #  #  # "},
         {}},
        {"a byte order mark and blanks around", "\xEF\xBB\xBF \r\n{\"@type\": \"Recipe\", \"name\": \"Bom\"}\n\t",
         {"file.json # Bom #  #  #  # "}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QBuffer device;
        device.setData(c.json);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        Read read;
        exchange::readJsonLd(
            device, QStringLiteral("file.json"), [&](const ImportedRecipe &r) { read.recipes.push_back(r); },
            [&](const ImportProblem &p) { read.problems.push_back(p.where.toStdString()); });
        std::vector<std::string> got;
        for (const ImportedRecipe &r : read.recipes)
            got.push_back(summary(r));
        EXPECT_EQ(got, c.recipes);
        EXPECT_EQ(read.problems, c.problems);
    }
    // Many recipes: each one read, the last one's path counted past the reader's window.
    QByteArray many = "{\"@graph\": [";
    for (int i = 0; i < 3000; ++i)
        many += (i ? "," : "") + QStringLiteral(R"({"@type": "Recipe", "name": "R%1", "recipeIngredient": ["%2"]})")
                                    .arg(i).arg(QString(40, u'i')).toUtf8();
    many += "]}";
    const Read read = readJson(many);
    ASSERT_EQ(read.recipes.size(), 3000u);
    EXPECT_EQ(read.recipes.back().where.toStdString(), "file.json: @graph[2999]");
    EXPECT_EQ(read.recipes.back().recipe.name.toStdString(), "R2999");
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
