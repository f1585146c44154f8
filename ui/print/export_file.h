#pragma once
// An export to a file in any of the program's formats: the recipe formats other programs read
// (JSON-LD, MealMaster) and the cookbooks (a web page, a PDF). The file is written beside its
// target and put in place only when whole, so a failed or cancelled export leaves no part file
// and an old file of that name as it was. A target that is a symbolic link, a folder or a device
// is refused before anything is written; no export is ever written through a link.

#include "core/collection.h"
#include "exchange/exporter.h"

#include <QString>
#include <QStringList>

namespace printdoc {

// False when cancelled (error left empty) or when the file cannot be written (error names the
// file and says why).
bool exportFile(const recipes::Collection &collection, const QStringList &categories, exchange::ExportFormat format,
                const QString &path, const exchange::ExportProgress &progress, QString *error);

}  // namespace printdoc
