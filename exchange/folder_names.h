#pragma once
// Names for the folders a folder export makes, one per recipe: safe on any system the folder may
// be shared with, and kept readable in any script.

#include <QString>

namespace exchange {

// The recipe's name made a folder name: no '/', '\' or other character a common system refuses
// in a name, no control character, no leading dot or trailing dot or blank, at most
// kFolderNameBytes bytes of UTF-8 (cut between characters); "Recipe" when nothing is left. A name
// Windows keeps for a device ("CON", "nul.txt", "COM1") gets a '_' after it.
QString safeFolderName(const QString &recipeName);

// The nth name for a recipe whose first choice is taken: "Name (2)", "Name (3)", ...
QString numberedFolderName(const QString &base, int n);

inline constexpr int kFolderNameBytes = 100;

}  // namespace exchange
