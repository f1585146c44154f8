#pragma once
// Schema.org Recipe data in JSON-LD: one array of Recipe objects written, one object, an array or
// a graph read (jsonld_reader.h, jsonld_writer.h).

#include "exchange/file_format.h"

namespace exchange {

class JsonLdFormat : public FileFormat {
public:
    QString name() const override { return QStringLiteral("jsonld"); }
    QString title() const override { return QStringLiteral("Schema.org recipes, JSON-LD"); }
    QStringList suffixes() const override { return {QStringLiteral("json"), QStringLiteral("jsonld")}; }
    bool reads() const override { return true; }
    bool claims(QByteArrayView head) const override;
    void read(QFile &file, const QString &name, const ReadLimits &limits, const RecipeSink &onRecipe,
              const ProblemSink &onProblem) const override;

protected:
    bool writeTo(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                 const ExportProgress &progress, QString *error) const override;
};

}  // namespace exchange
