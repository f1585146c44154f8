#pragma once
// MealMaster text: recipes one after another in the "MMMMM" framing (mealmaster_reader.h,
// mealmaster_writer.h). Its files carry any suffix or none, so it reads what no other format
// claims.

#include "exchange/file_format.h"

namespace exchange {

class MealMasterFormat : public FileFormat {
public:
    QString name() const override { return QStringLiteral("mealmaster"); }
    QString title() const override { return QStringLiteral("MealMaster text"); }
    QStringList suffixes() const override { return {QStringLiteral("mmf"), QStringLiteral("mm"), QStringLiteral("txt")}; }
    bool reads() const override { return true; }
    bool readsAnyText() const override { return true; }
    void read(QFile &file, const QString &name, const ReadLimits &limits, const RecipeSink &onRecipe,
              const ProblemSink &onProblem) const override;

protected:
    bool writeTo(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                 const ExportProgress &progress, QString *error) const override;
};

}  // namespace exchange
