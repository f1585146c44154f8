// The cookbook page: its contents list every exported recipe in order and link to it, each recipe
// shows as its print page does, every text is escaped, and a cancelled or refused page fails.
#include "exchange/cookbook_html.h"

#include "core/category_schema.h"
#include "core/collection.h"
#include "core/printed_recipe.h"
#include "support/temp_db.h"

#include <QBuffer>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace {

using recipes::Recipe;
using namespace Qt::StringLiterals;

// The recipes the tests store, each category's in stored order, as they were typed.
const std::map<QString, std::vector<Recipe>> &library()
{
    static const std::map<QString, std::vector<Recipe>> recipes = {
        {u"Fish & <Chips>"_s,
         {{u"  Cod <b>battered</b> & \"crisp\" "_s, u"O'Hara & Sons"_s, u"2 fillets <cod>\r\nbeer"_s,
           u"Fry at > 180 °C.\nDrain."_s},
          {u"</div><script>alert(1)</script>"_s, {}, u"&amp; stays as typed"_s, u"<br>"_s}}},
        {u"Crème 'brûlée'"_s,
         {{u"Smørrebrød 🍞"_s, u"Zoë Ångström"_s, u"½ l Sahne\n砂糖 80 g"_s, u"Caramelise — quickly."_s},
          {u"Pea"_s, u"first"_s, u"peas"_s, u"boil"_s},
          {u"Pea"_s, u"second"_s, u"more peas"_s, u"boil longer"_s}}},
        {u"Nothing yet"_s, {}},
    };
    return recipes;
}

testsupport::Row stored(const Recipe &typed)
{
    using recipes::schema::encode;
    return testsupport::row(encode(typed.name), encode(typed.author), encode(typed.ingredients),
                            encode(typed.instructions));
}

QString unescaped(QString text)
{
    return text.replace(u"&lt;"_s, u"<"_s)
        .replace(u"&gt;"_s, u">"_s)
        .replace(u"&quot;"_s, u"\""_s)
        .replace(u"&amp;"_s, u"&"_s);
}

// The page read back: the contents as "# category" and "name -> n" lines, n counting the recipes
// from 1 in the order they follow on the page (each link resolved through the anchor it names),
// and each recipe's printed text.
struct Page {
    QStringList contents;
    QStringList bodies;
    bool anchorsUnique = false;
};

Page readBack(const QString &html)
{
    Page page;
    QHash<QString, qsizetype> recipeAt;
    static const QRegularExpression body(
        uR"re(<div class="recipe" id="([^"]*)">\r\n((?:[^\r\n]*<br>\r\n)*)</div>)re"_s);
    for (const auto &m : body.globalMatch(html)) {
        recipeAt.insert(m.captured(1), page.bodies.size() + 1);
        page.bodies << unescaped(m.captured(2).replace(u"<br>\r\n"_s, u"\r\n"_s));
    }
    QHash<QString, QString> headingAt;
    static const QRegularExpression heading(uR"re(<h2 id="([^"]*)">(.*?)</h2>)re"_s);
    for (const auto &m : heading.globalMatch(html))
        headingAt.insert(m.captured(1), unescaped(m.captured(2)));

    const QString contents = html.left(html.indexOf(u"<hr>"_s));
    static const QRegularExpression entry(
        uR"re(<h3><a href="#([^"]*)">(.*?)</a></h3>|<li><a href="#([^"]*)">(.*?)</a></li>)re"_s);
    for (const auto &m : entry.globalMatch(contents)) {
        if (m.capturedLength(1) > 0) {
            const QString name = unescaped(m.captured(2));
            page.contents << u"# "_s + name
                    + (headingAt.value(m.captured(1)) == name ? QString() : u" (links elsewhere)"_s);
        } else {
            page.contents << unescaped(m.captured(4)) + u" -> "_s
                    + QString::number(recipeAt.value(m.captured(3), -1));
        }
    }

    static const QRegularExpression id(uR"re( id="([^"]*)")re"_s);
    QStringList ids;
    for (const auto &m : id.globalMatch(html))
        ids << m.captured(1);
    page.anchorsUnique = ids.size() == QSet<QString>(ids.cbegin(), ids.cend()).size();
    return page;
}

class CookbookHtml : public ::testing::Test {
protected:
    CookbookHtml()
    {
        db.create();
        for (const auto &[category, recipes] : library()) {
            std::vector<testsupport::Row> rows;
            for (const Recipe &r : recipes)
                rows.push_back(stored(r));
            db.addCategory(category, rows);
        }
        empty.create();
    }

    testsupport::TempDb db;
    testsupport::TempDb empty;
};

TEST_F(CookbookHtml, ListsTheRecipesInOrderLinkedToEachPrintedAsTheLibraryHoldsIt)
{
    const struct {
        const char *what;
        bool emptyCollection;
        QStringList categories;
    } cases[] = {
        {"every category, empty one included", false,
         {u"Crème 'brûlée'"_s, u"Fish & <Chips>"_s, u"Nothing yet"_s}},
        {"some, in the order given", false, {u"Fish & <Chips>"_s, u"Crème 'brûlée'"_s}},
        {"no category", false, {}},
        {"an empty collection", true, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const recipes::Collection collection((c.emptyCollection ? empty : db).filePath(),
                                             recipes::kBuiltInPassword);
        QBuffer out;
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        std::vector<std::pair<int, int>> told;
        ASSERT_TRUE(exchange::writeCookbookHtml(out, collection, c.categories, [&](int done, int total) {
            told.emplace_back(done, total);
            return true;
        }));

        QStringList contents, bodies;
        int recipes = 0;
        for (const QString &category : c.categories) {
            contents << u"# "_s + category;
            for (const Recipe &r : library().at(category)) {
                contents << recipes::schema::trimBlanks(r.name) + u" -> "_s + QString::number(++recipes);
                bodies << QString::fromUtf8(recipes::printedText(r));
            }
        }
        const QByteArray bytes = out.data();
        const Page page = readBack(QString::fromUtf8(bytes));
        EXPECT_EQ(page.contents, contents);
        EXPECT_EQ(page.bodies, bodies);
        EXPECT_TRUE(page.anchorsUnique);

        // Outside the page's own tags nothing is markup: every <, >, " and & is escaped.
        QString text = QString::fromUtf8(bytes);
        text.remove(QRegularExpression(u"<[^<>]*>"_s));
        static const QRegularExpression bare(u"[<>\"]|&(?!(amp|lt|gt|quot);)"_s);
        EXPECT_FALSE(text.contains(bare)) << text.toStdString();

        EXPECT_TRUE(bytes.startsWith("<!DOCTYPE html>\r\n") && bytes.endsWith("</html>\r\n"));
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << "every line ends in CR LF";
        EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
        ASSERT_FALSE(told.empty());
        EXPECT_EQ(told.front(), std::make_pair(0, recipes));
        EXPECT_EQ(told.back(), std::make_pair(recipes, recipes));
        EXPECT_EQ(told.size(), std::size_t(recipes + 1));
    }
}

// A buffer that takes only so many bytes, as a full disk would.
class ShortBuffer : public QBuffer {
public:
    explicit ShortBuffer(qint64 room) : room_(room) {}

protected:
    qint64 writeData(const char *data, qint64 size) override
    {
        if (pos() + size > room_)
            return -1;
        return QBuffer::writeData(data, size);
    }

private:
    qint64 room_;
};

TEST_F(CookbookHtml, StopsAndFailsWhenCancelledOrWhenTheDeviceRefuses)
{
    const recipes::Collection collection(db.filePath(), recipes::kBuiltInPassword);
    const QStringList categories = collection.categories();
    QBuffer whole;
    ASSERT_TRUE(whole.open(QIODevice::WriteOnly));
    ASSERT_TRUE(exchange::writeCookbookHtml(whole, collection, categories, {}));
    const QByteArray page = whole.data();
    const qsizetype contentsEnd = page.indexOf("<hr>");
    const qsizetype secondRecipe = page.indexOf("<div class=\"recipe\"", page.indexOf("<div class=\"recipe\"") + 1);
    ASSERT_TRUE(contentsEnd > 0 && secondRecipe > contentsEnd);

    const struct {
        const char *what;
        int cancelAt;  // the progress step that answers false; -1 for none
        qint64 room;   // the bytes the device takes
        int steps;     // the progress steps told
    } cases[] = {
        {"cancelled before the first recipe", 0, page.size(), 1},
        {"cancelled after the second recipe", 2, page.size(), 3},
        {"the device is full before the contents end", -1, contentsEnd - 1, 0},
        {"the device is full among the recipes", -1, secondRecipe, 2},
        {"the device is full at the last line", -1, page.size() - 1, 6},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ShortBuffer out(c.room);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        int steps = 0;
        EXPECT_FALSE(exchange::writeCookbookHtml(out, collection, categories, [&](int done, int) {
            ++steps;
            return done != c.cancelAt;
        }));
        EXPECT_EQ(steps, c.steps);
    }
}

}  // namespace
