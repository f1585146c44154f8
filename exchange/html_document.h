#pragma once
// A web page parsed once by a real HTML parser (gumbo), for each reader that walks it: the
// JSON-LD blocks and the microdata. The tree lives as long as the document.

#include <QByteArray>

struct GumboInternalNode;
struct GumboInternalOutput;

namespace exchange {

class HtmlDocument {
public:
    explicit HtmlDocument(const QByteArray &html);
    ~HtmlDocument();
    HtmlDocument(const HtmlDocument &) = delete;
    HtmlDocument &operator=(const HtmlDocument &) = delete;

    // The document node; null when the parser gave nothing back.
    const GumboInternalNode *root() const;

private:
    GumboInternalOutput *output_;
};

}  // namespace exchange
