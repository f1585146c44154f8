#include "exchange/html_document.h"

#include <gumbo.h>

#include <cstddef>

namespace exchange {

HtmlDocument::HtmlDocument(const QByteArray &html)
    : output_(gumbo_parse_with_options(&kGumboDefaultOptions, html.constData(), static_cast<std::size_t>(html.size())))
{
}

HtmlDocument::~HtmlDocument()
{
    if (output_)
        gumbo_destroy_output(&kGumboDefaultOptions, output_);
}

const GumboNode *HtmlDocument::root() const { return output_ ? output_->root : nullptr; }

}  // namespace exchange
