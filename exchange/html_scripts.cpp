#include "exchange/html_scripts.h"

#include <gumbo.h>

#include <vector>

namespace exchange {

namespace {

bool isJsonLdType(const char *type)
{
    // Compared as a media type is: letter case ignored, blanks and parameters after ';' ignored.
    QByteArray value = QByteArray(type).trimmed().toLower();
    const qsizetype semicolon = value.indexOf(';');
    if (semicolon >= 0)
        value = value.left(semicolon).trimmed();
    return value == "application/ld+json";
}

}  // namespace

QList<QByteArray> jsonLdScripts(const HtmlDocument &page)
{
    QList<QByteArray> scripts;
    if (!page.root())
        return scripts;
    // Walked with a stack of our own: a page nested deeper than the call stack allows is still read.
    std::vector<const GumboNode *> pending{page.root()};
    while (!pending.empty()) {
        const GumboNode *node = pending.back();
        pending.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE)
            continue;
        const GumboElement &element = node->v.element;
        if (element.tag == GUMBO_TAG_SCRIPT) {
            const GumboAttribute *type = gumbo_get_attribute(&element.attributes, "type");
            if (type && isJsonLdType(type->value)) {
                QByteArray text;
                for (unsigned i = 0; i < element.children.length; ++i) {
                    const auto *child = static_cast<const GumboNode *>(element.children.data[i]);
                    if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_CDATA)
                        text += child->v.text.text;
                }
                scripts.append(text);
            }
            continue;
        }
        // Children pushed last first, so they come off the stack in page order.
        for (unsigned i = element.children.length; i > 0; --i)
            pending.push_back(static_cast<const GumboNode *>(element.children.data[i - 1]));
    }
    return scripts;
}

}  // namespace exchange
