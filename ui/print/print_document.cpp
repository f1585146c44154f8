#include "ui/print/print_document.h"

#include "core/printed_recipe.h"
#include "exchange/replace_files.h"

#include <QDir>

namespace printdoc {

QByteArray printText(const QString &text1, const QString &text2, const QString &text3,
                     const QString &text4)
{
    return recipes::printedText(text1, text2, text3, text4);
}

QByteArray printHtml(const QByteArray &printTxt)
{
    return "<HTML>\r\n"
           "<HEAD>\r\n"
           "    <TITLE>This Recipes by Saporium</TITLE>\r\n"
           "</HEAD>\r\n"
           "<BODY><FONT SIZE=\"3\" FACE=\"Arial\">\r\n"
           "<U>Printed from This Recipes by <B>Saporium</B></U><br><br><B>\r\n"
        + recipes::printedHtmlLines(printTxt)
        + "</B></FONT></BODY>\r\n"
          "</HTML>\r\n";
}

bool writePrintFiles(const QString &folder, const QString &text1, const QString &text2,
                     const QString &text3, const QString &text4, QString *errorMessage)
{
    const QByteArray text = printText(text1, text2, text3, text4);
    const auto failure = exchange::replaceFiles({{folder + u'/' + kTextFileName, text},
                                                 {folder + u'/' + kPageFileName, printHtml(text)}});
    if (failure && errorMessage)
        *errorMessage = QStringLiteral("The print file %1 could not be written: %2")
                            .arg(QDir::toNativeSeparators(failure->path), failure->reason);
    return !failure;
}

}  // namespace printdoc
