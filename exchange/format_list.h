#pragma once
// The one list of recipe formats, which the window's menus and boxes, the command line's
// --format and its help, and the importer all take theirs from. The formats of the exchange
// library are on it from the start; a library above it (the PDF cookbook, which draws with Qt
// Gui) adds its own when the program starts, before anything reads the list.
//
// The list is in the command line's order: the file formats as they were added, then the folder
// formats. The window offers the cookbooks first.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace exchange {

class RecipeFormat;

namespace formats {

// Adds a format, in place of one of the same name. Not to be called while the list is in use.
void add(std::unique_ptr<RecipeFormat> format);

std::vector<const RecipeFormat *> all();
// The format of that command-line name, among those that write; null for none.
const RecipeFormat *writerNamed(const QString &name);
// The formats that write, in the window's order: the cookbooks first.
std::vector<const RecipeFormat *> offered();
// The writers' names for a sentence, "jsonld, mealmaster, html or pdf", and for a synopsis,
// "jsonld|mealmaster|html|pdf".
QString writerNames();
QString writerChoice();

// The suffixes of the files the formats read, without the dot, lower case.
QStringList readSuffixes();
// The import box's filter: every file a format reads, then all files.
QString importFilter();
// The format that reads a file: the one its first characters name (blanks and a byte order mark
// gone), else the one its suffix names, else the one that reads any text.
const RecipeFormat &readerFor(QByteArrayView head, const QString &suffix);

}  // namespace formats
}  // namespace exchange
