#pragma once
// The encrypted recipe databases the benchmark measures, each in a folder of its own as a
// program folder would be (folder/Recipe.mdb). Tables are made through the engine, so they
// carry its schema and index; rows go in through SQLCipher's C API in one transaction, which
// is many times faster than the engine's one-row writes.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct Shape {
    QString key;          // folder name and label: "small", "large", "single", "wide", "million"
    int categories;
    int recipesEach;
    QString singleName;   // the one category's name when there is one category, else empty
};

// 10 x 50, 100 x 1,000 and one category of 100,000 recipes; 100 x 10,000 and one category of
// 1,000,000, about 2 GB each.
const std::vector<Shape> &shapes();

struct GeneratedDatabase {
    Shape shape;
    QString folder;             // holds Recipe.mdb
    QStringList categories;     // in the engine's catalogue order
    QString midCategory;        // a category of recipesEach recipes, in the middle of the order
    QString firstRecipe;        // trimmed names of its first and last row
    QString lastRecipe;
    std::int64_t lastRowid = 0; // of its last generated row: later rows were added by a run

    QString basePath() const { return folder + QStringLiteral("/Recipe"); }
    QString filePath() const { return folder + QStringLiteral("/Recipe.mdb"); }
};

// Makes the database of the given shape under root, or reuses the one a former run left there
// complete. Throws std::runtime_error on failure.
GeneratedDatabase prepareDatabase(const QString &root, const Shape &shape);

// Removes rows a run added to midCategory after lastRowid, so every run sees the same shape.
void trimAddedRows(const GeneratedDatabase &db);

}  // namespace bench
