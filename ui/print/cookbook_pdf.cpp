#include "ui/print/cookbook_pdf.h"

#include "core/collection.h"
#include "core/recipe_error.h"
#include "ui/print/pdf_contents.h"
#include "ui/print/pdf_pages.h"
#include "ui/print/pdf_recipe.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <memory>
#include <vector>

namespace printdoc {

namespace {

// The pages each recipe takes, category by category, as the first pass counted them.
using PageCounts = std::vector<std::vector<int>>;

class Cookbook {
public:
    Cookbook(QPdfWriter &writer, const recipes::Collection &collection,
             const QStringList &categories, const std::function<bool(int, int)> &progress)
        : writer_(writer), collection_(collection), categories_(categories), progress_(progress)
    {
    }

    // Counts the contents' and every recipe's pages; false when cancelled.
    bool count()
    {
        int recipes = 0;
        for (const QString &category : categories_)
            recipes += collection_.openCategory(category)->count();
        total_ = 2 * recipes;
        if (!tell())
            return false;

        PdfPages pages(writer_, nullptr, 0);
        PdfContents contents(pages);
        for (const QString &category : categories_) {
            contents.category(category, 0);
            std::vector<int> &counts = counts_.emplace_back();
            collection_.readAll(category, [&](std::int64_t, const recipes::Recipe &stored) {
                if (cancelled_)
                    return;
                contents.recipe({}, 0);
                counts.push_back(PdfRecipe(stored, writer_, pages.body()).pageCount());
                ++done_;
                cancelled_ = !tell();
            });
            if (cancelled_)
                return false;
        }
        contentsPages_ = pages.page();
        return true;
    }

    // Draws the contents and the recipes; false when cancelled.
    bool draw(QPainter &painter)
    {
        int totalPages = contentsPages_;
        for (const std::vector<int> &counts : counts_)
            for (const int pages : counts)
                totalPages += pages;
        PdfPages pages(writer_, &painter, totalPages);
        drawContents(pages);
        for (qsizetype c = 0; c < categories_.size() && !cancelled_; ++c) {
            collection_.readAll(categories_[c], [&](std::int64_t, const recipes::Recipe &stored) {
                if (cancelled_)
                    return;
                const PdfRecipe recipe(stored, writer_, pages.body());
                for (int page = 0; page < recipe.pageCount(); ++page) {
                    pages.next();
                    recipe.drawPage(painter, page);
                }
                ++done_;
                cancelled_ = !tell();
            });
        }
        pages.finish();
        return !cancelled_;
    }

private:
    void drawContents(PdfPages &pages)
    {
        PdfContents contents(pages);
        int start = contentsPages_ + 1;
        for (qsizetype c = 0; c < categories_.size(); ++c) {
            const QStringList names = collection_.recipeNames(categories_[c]);
            // Only the recipes the first pass counted: those are the pages that will be drawn.
            const std::vector<int> &counts = counts_[std::size_t(c)];
            contents.category(categories_[c], counts.empty() || names.isEmpty() ? 0 : start);
            for (std::size_t r = 0; r < counts.size() && r < std::size_t(names.size()); ++r) {
                contents.recipe(names[qsizetype(r)], start);
                start += counts[r];
            }
        }
    }

    bool tell() const { return !progress_ || progress_(done_, total_); }

    QPdfWriter &writer_;
    const recipes::Collection &collection_;
    const QStringList &categories_;
    const std::function<bool(int, int)> &progress_;
    PageCounts counts_;
    int contentsPages_ = 0;
    int done_ = 0;
    int total_ = 0;
    bool cancelled_ = false;
};

void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

}  // namespace

bool writeCookbookPdf(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                      const std::function<bool(int done, int total)> &progress, QString *error)
{
    if (error)
        error->clear();
    QPdfWriter writer(&out);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 20, 20, 15), QPageLayout::Millimeter));
    writer.setTitle(QStringLiteral("Cookbook"));
    writer.setCreator(QStringLiteral("Saporium"));

    try {
        Cookbook cookbook(writer, collection, categories, progress);
        if (!cookbook.count())
            return false;
        QPainter painter;
        if (!painter.begin(&writer)) {
            setError(error, QStringLiteral("the PDF could not be started."));
            return false;
        }
        if (!cookbook.draw(painter))
            return false;
        painter.end();
    } catch (const recipes::Error &e) {
        setError(error, e.message());
        return false;
    }
    return true;
}

}  // namespace printdoc
