#pragma once
// The cookbook as a PDF file (cookbook_pdf.h) as one of the export formats. It draws with Qt Gui,
// which the exchange library does not link, so the program adds it to the list when it starts.

#include "exchange/file_format.h"

namespace printdoc {

class PdfFormat : public exchange::FileFormat {
public:
    QString name() const override { return QStringLiteral("pdf"); }
    QString title() const override { return QStringLiteral("Cookbook PDF"); }
    QStringList suffixes() const override { return {QStringLiteral("pdf")}; }
    bool isCookbook() const override { return true; }
    bool needsGui() const override { return true; }

protected:
    bool writeTo(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                 const exchange::ExportProgress &progress, QString *error) const override;
};

// Puts the PDF cookbook on the list of formats; called once at the program's start.
void addPdfFormat();

}  // namespace printdoc
