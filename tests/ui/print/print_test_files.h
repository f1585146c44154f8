#pragma once
// Helpers shared by the printing tests: golden files, folder listings and reading a PDF back.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace printtest {

// A golden file, kept beside the tests that read it.
inline std::string golden(const QString &caseAndFile)
{
    QFile file(qEnvironmentVariable("SAPORIUM_TEST_DATA") + QStringLiteral("/ui/print/golden/")
               + caseAndFile);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    return file.readAll().toStdString();
}

inline std::string fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
}

// Every entry of a folder, hidden ones included, sorted and joined by spaces.
inline std::string folderEntries(const QString &path)
{
    return QDir(path)
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
        .join(u' ')
        .toStdString();
}

// Every entry of a folder with what it is: a regular file with its bytes, a link with its
// target, a folder, or something else. Only regular files are opened, so a FIFO cannot block.
inline std::string entriesWithContents(const QString &path)
{
    std::string out;
    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo &entry : QDir(path).entryInfoList(filter, QDir::Name)) {
        struct stat st {};
        out += entry.fileName().toStdString();
        if (::lstat(QFile::encodeName(entry.filePath()).constData(), &st) != 0)
            out += " (gone)";
        else if (S_ISLNK(st.st_mode))
            out += " -> " + entry.symLinkTarget().toStdString();
        else if (S_ISREG(st.st_mode))
            out += " = " + fileBytes(entry.filePath());
        else
            out += S_ISDIR(st.st_mode) ? " (folder)" : " (special)";
        out += "; ";
    }
    return out;
}

// The visible text of a PDF, one entry per page: the words that lie inside their page, joined by
// single spaces. Text drawn outside the page and clipped away is left out.
inline QStringList visiblePdfPages(const QString &pdfPath)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(30000) && pdftotext.exitCode() == 0)
        << pdfPath.toStdString();
    static const QRegularExpression box(
        QStringLiteral("<(page) width=\"([-.\\d]+)\" height=\"([-.\\d]+)\">|"
                       "<word xMin=\"([-.\\d]+)\" yMin=\"([-.\\d]+)\" xMax=\"([-.\\d]+)\" "
                       "yMax=\"([-.\\d]+)\">(.*)</word>"));
    QStringList pages;
    double width = 0, height = 0;
    for (const auto &m : box.globalMatch(QString::fromUtf8(pdftotext.readAllStandardOutput()))) {
        if (!m.captured(1).isEmpty()) {
            pages << QString();
            width = m.captured(2).toDouble();
            height = m.captured(3).toDouble();
        } else if (m.captured(4).toDouble() >= 0 && m.captured(5).toDouble() >= 0
                   && m.captured(6).toDouble() <= width && m.captured(7).toDouble() <= height) {
            QString word = m.captured(8);
            word.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
                .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            pages.last() += (pages.last().isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
    }
    return pages;
}

}  // namespace printtest
