#pragma once
// Recipe folders, as other programs share them: one folder per recipe, named after it (made
// safe and unique, letter case aside: "Name", "Name (2)", ...), each holding a recipe.json with
// the recipe as one schema.org Recipe object, its category in recipeCategory. The importer reads
// such a folder back, subfolders and all.
//
// An export into a folder that holds such recipes already updates them in place: the folder whose
// recipe.json has the same name and category gets a new recipe.json, written beside it and
// renamed over it when whole. New recipes get new folders; nothing is ever removed, so files the
// export did not write (a picture beside a recipe.json) stay. A cancel leaves the recipes
// written so far, each whole.
//
// No link is followed: the export folder, a recipe folder or a recipe.json that is a symbolic
// link is refused, and the export stops there. So is a folder to be written into that belongs to
// another user or that others may write to: what is in it may not be ours. Folders are made
// when missing, for the user alone to write; a recipe.json gets the permissions of any new file
// of the user's, never those of the file it replaces.

#include "exchange/recipe_format.h"

namespace exchange {

class FolderFormat : public RecipeFormat {
public:
    static QString recipeFileName() { return QStringLiteral("recipe.json"); }

    QString name() const override { return QStringLiteral("folder"); }
    QString title() const override { return QStringLiteral("Recipe folders, one per recipe"); }
    QStringList suffixes() const override { return {}; }
    QString filter() const override { return title() + QStringLiteral(" (recipe.json)"); }
    bool writesFolder() const override { return true; }
    bool writes() const override { return true; }
    bool exportTo(const QString &path, const recipes::Collection &collection, const QStringList &categories,
                  const ExportProgress &progress, QString *error) const override;
};

}  // namespace exchange
