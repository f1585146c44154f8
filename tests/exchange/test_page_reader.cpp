// The recipes of a web page: JSON-LD blocks, or else schema.org microdata, both giving the same
// fields for the same recipe, every character reference decoded once, and the page's link kept.
#include "exchange/page_reader.h"
#include "support/recipe_summary.h"

#include <QUrl>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using exchange::ImportedRecipe;
using exchange::ImportProblem;

struct Read {
    std::vector<std::string> recipes;   // as summary() writes them
    std::vector<std::string> problems;  // where each problem is
};

using testsupport::summary;

Read readPage(const QByteArray &html, const char *pageUrl = "")
{
    Read read;
    exchange::readPage(
        html, QStringLiteral("page.html"), [&](const ImportedRecipe &r) { read.recipes.push_back(summary(r)); },
        [&](const ImportProblem &p) {
            EXPECT_FALSE(p.reason.isEmpty());
            read.problems.push_back(p.where.toStdString());
        },
        QUrl(QString::fromUtf8(pageUrl)));
    return read;
}

// One recipe with every field, as JSON-LD and as microdata: both must read the same.
const char kFullJsonLd[] = R"(<html><head><script type="application/ld+json">
{"@context": "https://schema.org", "@type": "Recipe", "name": "Apple Pie", "url": "/pie",
 "author": [{"@type": "Person", "name": "Ann Lee"}, "Bo"], "recipeYield": ["8", "8 slices"],
 "recipeCategory": ["Desserts", "Baking"], "recipeIngredient": ["6 apples", "1 crust"],
 "recipeInstructions": [{"@type": "HowToSection", "name": "Crust", "itemListElement": [
   {"@type": "HowToStep", "text": "Roll it out."}, {"@type": "HowToStep", "name": "Chill."}]},
   {"@type": "HowToStep", "text": "Fill and bake."}]}</script></head></html>)";
const char kFullMicrodata[] = R"(<html><body>
<article itemscope itemtype="https://schema.org/Recipe">
 <h1 itemprop="name">Apple
   Pie</h1><link itemprop="url" href="/pie">
 <p>By <span itemprop="author" itemscope itemtype="https://schema.org/Person"><span itemprop="name">Ann Lee</span></span>
  and <span itemprop="author">Bo</span></p>
 <meta itemprop="recipeYield" content="8"><span itemprop="recipeYield">8 slices</span>
 <meta itemprop="recipeCategory" content="Desserts"><meta itemprop="recipeCategory" content="Baking">
 <ul><li itemprop="recipeIngredient">6 apples</li><li itemprop="recipeIngredient">1 crust</li></ul>
 <div itemprop="recipeInstructions" itemscope itemtype="https://schema.org/HowToSection">
  <h2 itemprop="name">Crust</h2>
  <ol><li itemprop="itemListElement" itemscope itemtype="https://schema.org/HowToStep"><span itemprop="text">Roll
   it out.</span></li>
  <li itemprop="itemListElement" itemscope itemtype="https://schema.org/HowToStep"><meta itemprop="name" content="Chill."></li></ol>
 </div>
 <div itemprop="recipeInstructions" itemscope itemtype="https://schema.org/HowToStep"><p itemprop="text">Fill and bake.</p></div>
</article></body></html>)";
const char kFullRead[] = "Apple Pie # Ann Lee, Bo # Desserts # Yield: 8 | 6 apples | 1 crust # "
                         "Crust | Roll it out. | Chill. | Fill and bake. | Source: https://example.org/pie";

TEST(PageReader, ReadsMicrodataRecipesAsJsonLdWouldGiveThem)
{
    const std::string full = kFullRead;
    const struct {
        const char *what;
        const char *html;
        const char *pageUrl;
        std::vector<std::string> recipes;
        std::vector<std::string> problems;
    } cases[] = {
        {"a whole recipe as JSON-LD", kFullJsonLd, "https://example.org/recipes/",
         {"page.html, script 1 # " + full}, {}},
        {"the same recipe as microdata", kFullMicrodata, "https://example.org/recipes/",
         {"page.html, microdata recipe 1 # " + full}, {}},
        {"plain: text properties, an http type, instructions as the page shows them, no link known",
         R"(<div itemscope itemtype="http://schema.org/Recipe"><span itemprop="name">Tea</span>
            <span itemprop="ingredients">1 tsp leaves</span>
            <div itemprop="recipeInstructions"><p>Boil   the water.</p>Pour.<br>Wait<ul><li>3 min</li></ul></div></div>)",
         "", {"page.html, microdata recipe 1 # Tea #  #  # 1 tsp leaves # Boil the water. | Pour. | Wait | 3 min"}, {}},
        {"two types, one of them Recipe; the value of each kind of element; the recipe's own link",
         R"(<div itemscope itemtype="https://schema.org/HowTo  http://www.schema.org/Recipe">
            <meta itemprop="name" content="Soup"><a itemprop="author" href="https://example.org/ann">Ann</a>
            <data itemprop="recipeYield" value="4">four</data><time itemprop="recipeCategory" datetime="PT1H">Hour</time>
            <img itemprop="recipeIngredient" src="leek.png"><a itemprop="url" href="https://other.org/soup">x</a></div>)",
         "https://example.org/",
         {"page.html, microdata recipe 1 # Soup # https://example.org/ann # PT1H # Yield: 4 | leek.png # "
          "Source: https://other.org/soup"}, {}},
        {"a recipe inside another item; a nested item whose properties stay its own; the page's link as source",
         R"(<body itemscope itemtype="https://schema.org/WebPage"><span itemprop="name">Site</span>
            <div itemprop="mainEntity" itemscope itemtype="https://schema.org/Recipe"><h1 itemprop="name">Stew</h1>
             <div itemprop="nutrition" itemscope itemtype="https://schema.org/NutritionInformation">
              <span itemprop="name">Not the name</span><span itemprop="recipeIngredient">Not an ingredient</span></div>
             <span itemprop="recipeIngredient">1 kg beef</span>
             <p itemprop="recipeInstructions">Stew it.<br>Source: https://example.org/stew</p></div></body>)",
         "https://example.org/stew",
         {"page.html, microdata recipe 1 # Stew #  #  # 1 kg beef # Stew it. | Source: https://example.org/stew"}, {}},
        {"JSON-LD wins over microdata, with no doubles",
         R"(<script type="application/ld+json">{"@type": "Recipe", "name": "Cake"}</script>
            <div itemscope itemtype="https://schema.org/Recipe"><span itemprop="name">Cake</span></div>)",
         "", {"page.html, script 1 # Cake #  #  #  # "}, {}},
        {"no name: told, the next one still read; other types and look-alikes passed over",
         R"(<div itemscope itemtype="https://schema.org/Recipe"><span itemprop="recipeIngredient">salt</span></div>
            <div itemscope itemtype="https://schema.org/Recipes"><span itemprop="name">No</span></div>
            <div itemscope itemtype="https://notschema.org/Recipe"><span itemprop="name">No</span></div>
            <div itemtype="https://schema.org/Recipe"><span itemprop="name">No scope</span></div>
            <div itemscope itemtype="https://schema.org/Recipe"><span itemprop="name">Bread</span></div>)",
         "", {"page.html, microdata recipe 2 # Bread #  #  #  # "}, {"page.html, microdata recipe 1"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Read read = readPage(QByteArray(c.html), c.pageUrl);
        EXPECT_EQ(read.recipes, c.recipes);
        EXPECT_EQ(read.problems, c.problems);
    }
    // Nested far deeper than the call stack would allow.
    const QByteArray deep = "<div itemscope itemtype=\"https://schema.org/Recipe\">"
        + QByteArray("<span>").repeated(100000) + "<b itemprop=\"name\">Deep</b>"
        + QByteArray("</span>").repeated(100000) + "</div>";
    EXPECT_EQ(readPage(deep).recipes, std::vector<std::string>{"page.html, microdata recipe 1 # Deep #  #  #  # "});
}

// A page's text, written the same in a JSON-LD string and in the page's own markup, must read the
// same from both, in every field.
TEST(PageReader, DecodesEveryCharacterReferenceOnce)
{
    const struct {
        const char *what;
        const char *text;
        const char *read;
        bool inMarkupToo;  // a browser reads some references in a page's text as no reader of strings should
    } cases[] = {
        {"common names", "Fish &amp; Chips &eacute;t&eacute;&hellip; &quot;x&quot;",
         "Fish & Chips \xC3\xA9t\xC3\xA9\xE2\x80\xA6 \"x\"", true},
        {"rare and long names", "&CounterClockwiseContourIntegral;&Rfr;&ohm;",
         "\xE2\x88\xB3\xE2\x84\x9C\xCE\xA9", true},
        {"names of two characters", "&NotEqualTilde; &nvlt; &fjlig;",
         "\xE2\x89\x82\xCC\xB8 <\xE2\x83\x92 fj", true},
        {"old names without ';'", "&frac12 cup &copy 2020 &amp, &lt;", "\xC2\xBD cup \xC2\xA9 2020 &, <", true},
        {"decimal and hex", "caf&#233; &#x1F600;&#X41;", "caf\xC3\xA9 \xF0\x9F\x98\x80" "A", true},
        {"written twice, read once", "&amp;frac12; &amp;amp; &amp;#233;", "&frac12; &amp; &#233;", true},
        {"markup written as references stays text", "&lt;b&gt;bold&lt;/b&gt;", "<b>bold</b>", true},
        {"unknown names, a lone '&'", "&bogus; salt & pepper &", "&bogus; salt & pepper &", true},
        {"blanks", "1&nbsp;&nbsp;lb", "1 lb", true},
        {"old names before a letter or '=' stay text in strings", "&copyright ?a=1&copy=2",
         "&copyright ?a=1&copy=2", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray text(c.text);
        const QByteArray jsonLd = R"(<script type="application/ld+json">{"@type": "Recipe", "name": "N )" + text
            + R"(", "author": ")" + text + R"(", "recipeIngredient": [")" + text + R"("], "recipeInstructions": ")"
            + text + R"("}</script>)";
        const QByteArray markup = R"(<div itemscope itemtype="https://schema.org/Recipe"><h1 itemprop="name">N )" + text
            + R"(</h1><i itemprop="author">)" + text + R"(</i><p itemprop="recipeIngredient">)" + text
            + R"(</p><p itemprop="recipeInstructions">)" + text + "</p></div>";
        const std::string read = c.read;
        const std::string fields = "N " + read + " # " + read + " #  # " + read + " # " + read;
        EXPECT_EQ(readPage(jsonLd).recipes, std::vector<std::string>{"page.html, script 1 # " + fields});
        if (c.inMarkupToo) {
            EXPECT_EQ(readPage(markup).recipes, std::vector<std::string>{"page.html, microdata recipe 1 # " + fields});
        }
    }
}

}  // namespace
