#pragma once
// Exports a collection's recipes as files other programs read: schema.org JSON-LD (one array of
// Recipe objects, recipeCategory set) or MealMaster text. The recipes are read and written one at
// a time, so a collection of any size is exported in little memory.
//
// Failures: a collection that cannot be read throws the core's recipes::Error, passed on as it
// is; a refused write or a cancel is the false writeRecipes returns.

#include "core/collection.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QIODevice;

namespace exchange {

enum class ExportFormat { JsonLd, MealMaster, Html, Pdf };

// The format by its command-line name ("jsonld", "mealmaster", "html", "pdf").
std::optional<ExportFormat> exportFormatNamed(const QString &name);
QString exportFormatName(ExportFormat format);
// The suffix a file of the format carries, without the dot.
QString exportSuffix(ExportFormat format);

// Told how many recipes are done of how many; returns false to cancel.
using ExportProgress = std::function<bool(int done, int total)>;

// How many recipes the categories hold, for progress.
int recipeCount(const recipes::Collection &collection, const QStringList &categories);

// Writes the recipes of the categories, in catalogue and stored order, to out as JSON-LD or
// MealMaster (not the cookbook formats). False when cancelled or when out refuses a write.
bool writeRecipes(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                  ExportFormat format, const ExportProgress &progress = {});

}  // namespace exchange
