#pragma once
// A format whose export is one file. The file is written beside its target and put in place only
// when whole, so a failed or cancelled export leaves no part file and an old file of that name as
// it was. A target that is a symbolic link, a folder or a device is refused before anything is
// written; no export is ever written through a link.

#include "exchange/recipe_format.h"

class QIODevice;

namespace exchange {

class FileFormat : public RecipeFormat {
public:
    bool writes() const override { return true; }
    bool exportTo(const QString &path, const recipes::Collection &collection, const QStringList &categories,
                  const ExportProgress &progress, QString *error) const override;

protected:
    // Writes the recipes to out; false when progress cancels or out refuses a write, or when
    // the format fails of its own accord (then *error says why, without the file's name).
    virtual bool writeTo(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                         const ExportProgress &progress, QString *error) const = 0;
};

}  // namespace exchange
