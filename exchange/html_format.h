#pragma once
// Web pages: read for the recipes they carry (page_reader.h), written as a cookbook with a table
// of contents (cookbook_html.h).

#include "exchange/file_format.h"

namespace exchange {

class HtmlFormat : public FileFormat {
public:
    QString name() const override { return QStringLiteral("html"); }
    QString title() const override { return QStringLiteral("Cookbook web page"); }
    QStringList suffixes() const override
    {
        return {QStringLiteral("html"), QStringLiteral("htm"), QStringLiteral("xhtml")};
    }
    bool isCookbook() const override { return true; }
    bool reads() const override { return true; }
    bool claims(QByteArrayView head) const override { return head.startsWith('<'); }
    void read(QFile &file, const QString &name, const ReadLimits &limits, const RecipeSink &onRecipe,
              const ProblemSink &onProblem) const override;

protected:
    bool writeTo(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                 const ExportProgress &progress, QString *error) const override;
};

}  // namespace exchange
