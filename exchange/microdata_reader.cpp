#include "exchange/microdata_reader.h"

#include "exchange/jsonld_reader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QStringList>

#include <gumbo.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace exchange {

namespace {

// Items inside items deeper than this (a step of a section of a recipe is two) are passed over,
// which keeps the walk from one item to the next off the call stack's limits; so are text
// properties inside as many other text properties of their item.
constexpr int kDeepestItem = 8;

// The properties the JSON-LD builder reads; others are never gathered.
bool isWanted(const QString &name)
{
    static const QStringList wanted = {
        QStringLiteral("name"),           QStringLiteral("author"),         QStringLiteral("recipeIngredient"),
        QStringLiteral("ingredients"),    QStringLiteral("recipeYield"),    QStringLiteral("recipeInstructions"),
        QStringLiteral("recipeCategory"), QStringLiteral("url"),            QStringLiteral("text"),
        QStringLiteral("itemListElement")};
    return wanted.contains(name);
}

bool isElement(const GumboNode *node) { return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE; }

const char *attribute(const GumboNode *node, const char *name)
{
    const GumboAttribute *found = gumbo_get_attribute(&node->v.element.attributes, name);
    return found ? found->value : nullptr;
}

// An attribute's space-separated tokens, as itemtype and itemprop list them.
QStringList tokens(const char *value)
{
    QString text = QString::fromUtf8(value);
    for (QChar &c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r')
            c = u' ';
    }
    return text.split(u' ', Qt::SkipEmptyParts);
}

bool isRecipeItem(const GumboNode *node)
{
    if (!isElement(node) || !attribute(node, "itemscope"))
        return false;
    const char *type = attribute(node, "itemtype");
    if (!type)
        return false;
    const QStringList types = tokens(type);
    return std::any_of(types.begin(), types.end(), [](const QString &t) {
        for (const QLatin1String scheme : {QLatin1String("http://"), QLatin1String("https://")}) {
            if (t.startsWith(scheme)) {
                const QStringView host = QStringView(t).mid(scheme.size());
                return host == QLatin1String("schema.org/Recipe") || host.endsWith(QLatin1String(".schema.org/Recipe"));
            }
        }
        return false;
    });
}

void pushChildren(const GumboNode *node, std::vector<const GumboNode *> &pending)
{
    const GumboVector &children = node->v.element.children;
    // Last first, so that they come off the stack in page order.
    for (unsigned i = children.length; i > 0; --i)
        pending.push_back(static_cast<const GumboNode *>(children.data[i - 1]));
}

// Tags that start and end a line, as the JSON-LD reader's cleaning has them.
bool endsLine(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_BR: case GUMBO_TAG_P: case GUMBO_TAG_DIV: case GUMBO_TAG_LI: case GUMBO_TAG_UL:
    case GUMBO_TAG_OL: case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4:
    case GUMBO_TAG_H5: case GUMBO_TAG_H6: case GUMBO_TAG_TR: case GUMBO_TAG_TABLE:
    case GUMBO_TAG_BLOCKQUOTE: case GUMBO_TAG_SECTION: case GUMBO_TAG_ARTICLE:
        return true;
    default:
        return false;
    }
}

// An element's text as the page shows it: a block element's edges end lines, the source's own line
// breaks are blanks, and scripts and styles are not text.
QString textContent(const GumboNode *element)
{
    QString text;
    std::vector<const GumboNode *> pending;
    pushChildren(element, pending);
    while (!pending.empty()) {
        const GumboNode *node = pending.back();
        pending.pop_back();
        if (!node) {  // a block element's end
            text += u'\n';
            continue;
        }
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE || node->type == GUMBO_NODE_CDATA) {
            QString piece = QString::fromUtf8(node->v.text.text);
            piece.replace(u'\r', u' ').replace(u'\n', u' ');
            text += piece;
            continue;
        }
        if (!isElement(node))
            continue;
        const GumboTag tag = node->v.element.tag;
        if (tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_TEMPLATE)
            continue;
        if (endsLine(tag)) {
            text += u'\n';
            pending.push_back(nullptr);
        }
        pushChildren(node, pending);
    }
    return text;
}

// A property's value by HTML's microdata rules, for an element that is not an item itself.
QString propertyValue(const GumboNode *node)
{
    if (const char *content = attribute(node, "content"))
        return QString::fromUtf8(content);
    const char *from = nullptr;
    switch (node->v.element.tag) {
    case GUMBO_TAG_AUDIO: case GUMBO_TAG_EMBED: case GUMBO_TAG_IFRAME: case GUMBO_TAG_IMG:
    case GUMBO_TAG_SOURCE: case GUMBO_TAG_TRACK: case GUMBO_TAG_VIDEO:
        from = "src";
        break;
    case GUMBO_TAG_A: case GUMBO_TAG_AREA: case GUMBO_TAG_LINK:
        from = "href";
        break;
    case GUMBO_TAG_OBJECT:
        from = "data";
        break;
    case GUMBO_TAG_DATA: case GUMBO_TAG_METER:
        from = "value";
        break;
    case GUMBO_TAG_TIME:
        if (const char *datetime = attribute(node, "datetime"))
            return QString::fromUtf8(datetime);
        return textContent(node);
    default:
        return textContent(node);
    }
    return QString::fromUtf8(attribute(node, from));
}

// Text as the JSON-LD builder's cleaning gives it back unchanged: gumbo has decoded the page's
// references already, and they must be decoded once only.
QString escaped(QString text)
{
    return text.replace(u'&', QLatin1String("&amp;")).replace(u'<', QLatin1String("&lt;"));
}

// The item's properties as a JSON-LD object: a property given once as a value, given more often
// as a list in page order, except its name and link, of which the first counts.
QJsonObject itemObject(const GumboNode *item, int depth)
{
    QMap<QString, QJsonArray> properties;
    // Each element with how many text properties of this item enclose it: each such property's
    // text holds the text of those inside, so a page nesting thousands of them would cost their
    // square; past a few, the inner ones are passed over.
    std::vector<std::pair<const GumboNode *, int>> pending;
    const auto pushChildrenOf = [&](const GumboNode *node, int inside) {
        const GumboVector &children = node->v.element.children;
        for (unsigned i = children.length; i > 0; --i)
            pending.emplace_back(static_cast<const GumboNode *>(children.data[i - 1]), inside);
    };
    pushChildrenOf(item, 0);
    while (!pending.empty()) {
        auto [node, inside] = pending.back();
        pending.pop_back();
        if (!isElement(node))
            continue;
        const bool scope = attribute(node, "itemscope") != nullptr;
        if (const char *itemprop = attribute(node, "itemprop")) {
            QStringList names = tokens(itemprop);
            names.removeIf([](const QString &name) { return !isWanted(name); });
            if (!names.isEmpty() && (scope ? depth < kDeepestItem : inside < kDeepestItem)) {
                const QString text = scope ? QString() : propertyValue(node);
                const QJsonValue value = scope ? QJsonValue(itemObject(node, depth + 1)) : QJsonValue(escaped(text));
                for (const QString &name : names)
                    properties[name].append(name == u"url" && !scope ? QJsonValue(text) : value);
                if (!scope)
                    ++inside;
            }
        }
        // An item inside holds its own properties.
        if (!scope)
            pushChildrenOf(node, inside);
    }
    QJsonObject object;
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        const bool first = it.key() == u"name" || it.key() == u"url" || it.value().size() == 1;
        object.insert(it.key(), first ? it.value().first() : QJsonValue(it.value()));
    }
    return object;
}

}  // namespace

int readMicrodata(const HtmlDocument &page, const QString &sourceName, const QUrl &pageUrl, const RecipeSink &onRecipe,
                  const ProblemSink &onProblem)
{
    if (!page.root())
        return 0;
    // Walked with a stack of our own: a page nested deeper than the call stack allows is still read.
    int found = 0;
    std::vector<const GumboNode *> pending{page.root()};
    while (!pending.empty()) {
        const GumboNode *node = pending.back();
        pending.pop_back();
        if (!isElement(node))
            continue;
        if (isRecipeItem(node)) {
            ++found;
            ImportedRecipe imported = pageRecipeFromJsonLd(itemObject(node, 0), pageUrl);
            imported.where = sourceName + QStringLiteral(", microdata recipe %1").arg(found);
            if (imported.recipe.name.isEmpty())
                onProblem({imported.where, QStringLiteral("The recipe has no name, so it was not read.")});
            else
                onRecipe(imported);
        }
        pushChildren(node, pending);
    }
    return found;
}

}  // namespace exchange
