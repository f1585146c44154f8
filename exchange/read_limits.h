#pragma once
// How much of a file an import holds at once, so that no file, however large, takes more memory
// than a few times one recipe. A saved web page is parsed whole, so a page file over a size is
// refused, told from its size before it is read and held to it while it is read, should it grow.
// A JSON-LD file and a MealMaster file are read as streams, a recipe at a time, so they may be of
// any size; one recipe is held to a size instead, and one over it is refused while the others go in.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

namespace exchange {

// The largest saved web page, and the largest JSON-LD recipe object, read. Each is held whole
// while it is read and takes a few times its size then; 64 MB is hundreds of times any real page
// or recipe, and keeps one file's import within a few hundred MB.
inline constexpr qint64 kLargestRead = qint64(64) << 20;

// The longest MealMaster recipe read, in bytes of text between its first line and its end line.
// A recipe is a few kilobytes and the longest ones shared are some tens; 4 MB is far past what a
// person writes, so a recipe over it has most likely lost its end line, and holding it and its
// fields still takes only some tens of MB.
inline constexpr qsizetype kLongestMealMasterRecipe = qsizetype(4) << 20;

struct ReadLimits {
    qint64 pageBytes = kLargestRead;
    qint64 jsonRecipeBytes = kLargestRead;
    qsizetype mealMasterRecipeBytes = kLongestMealMasterRecipe;
};

// Thrown by a reader given a file over its limit. size: what the file held when it was looked
// at; -1 when it grew past the limit while it was read.
struct FileTooLarge {
    qint64 size = -1;
    qint64 limit = 0;

    // "The file is too large: 1 GB, over the 64 MB this program reads."
    QString reason() const;
};

// A size in words: "64 KB", "95.4 MB", "1 GB".
QString byteSize(qint64 bytes);

// The device's bytes from its position to its end; throws FileTooLarge when they are more than
// largest, told by its size before anything is read, or once read past it.
QByteArray readWhole(QIODevice &device, qint64 largest);

}  // namespace exchange
