#include "exchange/cookbook_html.h"

#include "core/collection.h"
#include "core/printed_recipe.h"

#include <QIODevice>

#include <vector>

namespace exchange {

namespace {

using recipes::htmlEscaped;

const QByteArray kHead = QByteArrayLiteral(
    "<!DOCTYPE html>\r\n"
    "<html>\r\n"
    "<head>\r\n"
    "<meta charset=\"utf-8\">\r\n"
    "<title>Cookbook</title>\r\n"
    "<style>\r\n"
    ".recipe { font-family: Arial, sans-serif; font-weight: bold; margin: 2em 0; }\r\n"
    "</style>\r\n"
    "</head>\r\n"
    "<body>\r\n"
    "<h1>Cookbook</h1>\r\n");
const QByteArray kTail = QByteArrayLiteral("</body>\r\n</html>\r\n");

// Anchors are made from positions, not names: names may repeat and hold any character.
QByteArray categoryAnchor(qsizetype category) { return "c" + QByteArray::number(category + 1); }

QByteArray recipeAnchor(qsizetype category, qsizetype recipe)
{
    return categoryAnchor(category) + "-r" + QByteArray::number(recipe + 1);
}

class PageWriter {
public:
    PageWriter(QIODevice &out, const std::function<bool(int, int)> &progress)
        : out_(out), progress_(progress)
    {
    }

    bool write(const QByteArray &bytes)
    {
        ok_ = ok_ && out_.write(bytes) == bytes.size();
        return ok_;
    }
    // Tells the progress; false once the device failed or the reader cancelled.
    bool tell(int done, int total)
    {
        ok_ = ok_ && (!progress_ || progress_(done, total));
        return ok_;
    }
    bool ok() const { return ok_; }

private:
    QIODevice &out_;
    const std::function<bool(int, int)> &progress_;
    bool ok_ = true;
};

// The contents: every category a heading, its recipes a list of links. Returns the number of
// recipes it listed, or -1 when the writing failed.
int writeContents(PageWriter &page, const recipes::Collection &collection,
                  const QStringList &categories)
{
    int total = 0;
    page.write("<h2>Contents</h2>\r\n");
    for (qsizetype c = 0; c < categories.size(); ++c) {
        const QStringList names = collection.recipeNames(categories[c]);
        page.write("<h3><a href=\"#" + categoryAnchor(c) + "\">" + htmlEscaped(categories[c])
                   + "</a></h3>\r\n");
        if (!names.isEmpty()) {
            QByteArray list = "<ul>\r\n";
            for (qsizetype r = 0; r < names.size(); ++r)
                list += "<li><a href=\"#" + recipeAnchor(c, r) + "\">" + htmlEscaped(names[r])
                    + "</a></li>\r\n";
            page.write(list + "</ul>\r\n");
        }
        total += int(names.size());
    }
    return page.ok() ? total : -1;
}

}  // namespace

bool writeCookbookHtml(QIODevice &out, const recipes::Collection &collection,
                       const QStringList &categories,
                       const std::function<bool(int done, int total)> &progress)
{
    PageWriter page(out, progress);
    page.write(kHead);
    const int total = writeContents(page, collection, categories);
    if (total < 0 || !page.tell(0, total))
        return false;

    int done = 0;
    for (qsizetype c = 0; c < categories.size() && page.ok(); ++c) {
        page.write("<hr>\r\n<h2 id=\"" + categoryAnchor(c) + "\">" + htmlEscaped(categories[c])
                   + "</h2>\r\n");
        qsizetype r = 0;
        // readAll cannot be stopped part-way: once the page failed, the rest is only read past.
        collection.readAll(categories[c], [&](std::int64_t, const recipes::Recipe &stored) {
            if (!page.ok())
                return;
            page.write("<div class=\"recipe\" id=\"" + recipeAnchor(c, r++) + "\">\r\n"
                       + recipes::printedHtmlLines(recipes::printedText(stored)) + "</div>\r\n");
            page.tell(++done, total);
        });
    }
    return page.ok() && page.write(kTail);
}

}  // namespace exchange
