#pragma once
// Exports a collection's recipes as files other programs read: schema.org JSON-LD (one array of
// Recipe objects, recipeCategory set) or MealMaster text. The recipes are read and written one at
// a time, so a collection of any size is exported in little memory.
//
// Failures: a collection that cannot be read throws the core's recipes::Error, passed on as it
// is; a refused write or a cancel is the false the writers return. The formats on the list
// (format_list.h) write their files through these.

#include "core/collection.h"

#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

namespace exchange {

// Told how many recipes are done of how many; returns false to cancel.
using ExportProgress = std::function<bool(int done, int total)>;

// How many recipes the categories hold, for progress.
int recipeCount(const recipes::Collection &collection, const QStringList &categories);

// Write the recipes of the categories, in catalogue and stored order, to out as one JSON-LD array
// or as MealMaster text. False when cancelled or when out refuses a write.
bool writeJsonLdRecipes(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                        const ExportProgress &progress = {});
bool writeMealMasterRecipes(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                            const ExportProgress &progress = {});

}  // namespace exchange
