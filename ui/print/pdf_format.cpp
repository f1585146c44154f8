#include "ui/print/pdf_format.h"

#include "exchange/format_list.h"
#include "ui/print/cookbook_pdf.h"

namespace printdoc {

bool PdfFormat::writeTo(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                        const exchange::ExportProgress &progress, QString *error) const
{
    return writeCookbookPdf(out, collection, categories, progress, error);
}

void addPdfFormat() { exchange::formats::add(std::make_unique<PdfFormat>()); }

}  // namespace printdoc
