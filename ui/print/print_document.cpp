#include "ui/print/print_document.h"

#include "core/category_schema.h"
#include "ui/print/replace_files.h"

#include <QDir>

namespace printdoc {

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// The text of a box as file bytes. The boxes break lines with LF, text from elsewhere may carry
// CR LF or a lone CR; each of them is one line break and becomes CR LF.
QByteArray boxText(const QString &text)
{
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    out.reserve(utf8.size() + utf8.size() / 8);
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8.at(i);
        if (c == '\r') {
            if (i + 1 < utf8.size() && utf8.at(i + 1) == '\n')
                ++i;
            out += kLineEnd;
        } else if (c == '\n') {
            out += kLineEnd;
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray escapeHtml(const QByteArray &line)
{
    QByteArray out;
    out.reserve(line.size());
    for (const char c : line) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace

QByteArray printText(const QString &text1, const QString &text2, const QString &text3,
                     const QString &text4)
{
    QByteArray out;
    const auto line = [&out](const QByteArray &text) { out += text + kLineEnd; };
    line("Name: " + boxText(recipes::schema::trimBlanks(text1)));
    line({});
    line("Author: " + boxText(recipes::schema::trimBlanks(text2)));
    line({});
    line("Ingredints:");
    line(boxText(recipes::schema::trimBlanks(text3)));
    line({});
    line({});
    line("Instructions:");
    line(boxText(recipes::schema::trimBlanks(text4)));
    return out;
}

QByteArray printHtml(const QByteArray &printTxt)
{
    QByteArray out;
    out += "<HTML>\r\n"
           "<HEAD>\r\n"
           "    <TITLE>This Recipes by Saporium</TITLE>\r\n"
           "</HEAD>\r\n"
           "<BODY><FONT SIZE=\"3\" FACE=\"Arial\">\r\n"
           "<U>Printed from This Recipes by <B>Saporium</B></U><br><br><B>\r\n";
    qsizetype pos = 0;
    while (pos < printTxt.size()) {
        qsizetype end = printTxt.indexOf('\r', pos);
        qsizetype next;
        if (end < 0) {
            end = printTxt.size();
            next = end;
        } else {
            next = end + 1;
            if (next < printTxt.size() && printTxt.at(next) == '\n')
                ++next;
        }
        out += escapeHtml(printTxt.mid(pos, end - pos)) + "<br>" + kLineEnd;
        pos = next;
    }
    out += "</B></FONT></BODY>\r\n"
           "</HTML>\r\n";
    return out;
}

bool writePrintFiles(const QString &folder, const QString &text1, const QString &text2,
                     const QString &text3, const QString &text4, QString *errorMessage)
{
    const QByteArray text = printText(text1, text2, text3, text4);
    const auto failure = replaceFiles({{folder + u'/' + kTextFileName, text},
                                       {folder + u'/' + kPageFileName, printHtml(text)}});
    if (failure && errorMessage)
        *errorMessage = QStringLiteral("The print file %1 could not be written: %2")
                            .arg(QDir::toNativeSeparators(failure->path), failure->reason);
    return !failure;
}

}  // namespace printdoc
