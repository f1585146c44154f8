#pragma once
// The two print files of a recipe: print.txt, the recipe as plain text, and print.htm, a small
// page made from print.txt's lines. Both are UTF-8 with CR LF after every line.

#include <QByteArray>
#include <QString>

namespace printdoc {

inline const QString kTextFileName = QStringLiteral("print.txt");
inline const QString kPageFileName = QStringLiteral("print.htm");

// The bytes of print.txt for the four boxes (name, author, ingredients, instructions). Every
// line break inside a box, whether CR LF, a lone LF or a lone CR, is written as one CR LF, so
// that every line of the file ends in CR LF.
QByteArray printText(const QString &text1, const QString &text2, const QString &text3,
                     const QString &text4);

// The bytes of print.htm, made from the lines of print.txt: a line ends at CR, and CR LF counts
// as one end. Each line becomes one line of the page ending in "<br>", with &, <, > and "
// escaped so that the recipe's text shows as written.
QByteArray printHtml(const QByteArray &printTxt);

// Writes print.txt and print.htm into folder as regular files. Each file is first written in
// full beside its target, flushed to the disk, and only then renamed into place, and neither
// replaces its old version until both are written, so a failure leaves the old files as they
// were and no temporary file behind. A link, folder or other entry that is not a regular file
// at either name is refused before anything is written; nothing is written through a link.
// Returns false and sets *errorMessage (naming the file and the reason) when a file cannot be
// written.
bool writePrintFiles(const QString &folder, const QString &text1, const QString &text2,
                     const QString &text3, const QString &text4, QString *errorMessage);

}  // namespace printdoc
