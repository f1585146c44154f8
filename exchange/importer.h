#pragma once
// Imports recipe files into a collection: schema.org JSON-LD files, web pages carrying JSON-LD,
// and MealMaster files, one by one or a folder's worth, the folder taken with its subfolders.
//
// Each file is one transaction: it goes in whole, or, when it cannot be written or the import is
// cancelled while it is read, not at all. A recipe that cannot be read or stored is reported with
// its place in the file and left out, and the rest of the file goes in.
//
// A recipe goes into the category the import is told to use, else the one the file gives it,
// else "Imported"; a missing category is created, and a name the collection refuses falls back to
// "Imported" with a warning. A recipe identical in all four fields to one already in its category
// is skipped. Each category is read once a run for that check, however many files go into it.
//
// Only regular files are read: a device, pipe or socket, named or found in a folder (through a
// link too), is reported and never opened in a way that could wait. A file or subfolder that
// cannot be read is reported with the reason and the others go on; so is a saved page over its
// size limit (read_limits.h). A JSON-LD or MealMaster file may be of any size: a recipe in it over
// its own limit is refused with the reason, and the file's others go in.
//
// An argument that starts "http://" or "https://" (any case) is a link: its page is fetched
// (link_fetcher.h), held in memory only, and imported as a file is, in one transaction. A link that
// cannot be fetched, and an argument "scheme://..." of another scheme that names no file, is told
// with the reason and counted as a file that could not be read. A link's user name and password
// go to its server only: the report and the recipes' "Source:" lines name it without them.
//
// Failures: run() throws nothing of its own; every failure, the core's included, is a line of the
// report it returns, and its flags say which kind. Callers show report.text().

#include "core/collection.h"
#include "core/duplicate_index.h"
#include "exchange/mealmaster_reader.h"
#include "exchange/link_fetcher.h"
#include "exchange/read_limits.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace exchange {

struct ImportReport {
    int added = 0;
    int skipped = 0;   // identical to a recipe already there
    int refused = 0;   // could not be read or stored
    int unreadable = 0;  // files (or subfolders) not read: not a regular file, or the system refused; links too
    int unfetched = 0;   // of those, links whose page could not be had
    QStringList lines;  // each problem and warning, with its place: "file:12: ..."
    // A named file or folder is not there or cannot be listed, or a file could not be written.
    bool fileFailed = false;
    bool cancelled = false;

    // "3 added, 1 skipped, 0 refused." and, when some were not read, "; 2 files could not be read."
    // or "; 1 link could not be fetched." or both.
    QString countsLine() const;
    QString text() const;         // the lines, then the counts
};

// Told how far the import is, in bytes of the files read, a link counting as one; returns false to
// cancel, and is asked often while a link's page is awaited.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

class Importer {
public:
    // category: where every recipe goes; empty for each recipe's own.
    Importer(recipes::Collection &collection, const QString &category);

    // The limits each link's fetch keeps to.
    void setFetchLimits(const FetchLimits &limits) { limits_ = limits; }
    // The limits each file's reading keeps to.
    void setReadLimits(const ReadLimits &limits) { readLimits_ = limits; }

    // Imports the files, folders and links in the order given; a folder's files in name order.
    ImportReport run(const QStringList &paths, const ImportProgress &progress = {});

    // The fingerprints of the last run's categories, and how many rows it read for them.
    const recipes::DuplicateIndex &duplicates() const { return duplicates_; }

    // The fallback category.
    static QString fallbackCategory() { return QStringLiteral("Imported"); }

private:
    struct FileRun;
    using Reader = std::function<void(const RecipeSink &, const ProblemSink &)>;
    void importFile(const QString &path, qint64 doneBefore, qint64 total, const ImportProgress &progress,
                    ImportReport &report);
    void importLink(const QString &link, qint64 doneBefore, qint64 total, const ImportProgress &progress,
                    ImportReport &report);
    // Reads one file's or page's recipes into one batch. done: how far the import is meanwhile.
    // noun: "file" or "page", for the report.
    void importRead(const QString &name, const QString &noun, const Reader &read, const std::function<qint64()> &done,
                    qint64 total, const ImportProgress &progress, ImportReport &report);

    recipes::Collection &collection_;
    QString category_;
    recipes::DuplicateIndex duplicates_;
    FetchLimits limits_;
    ReadLimits readLimits_;
};

}  // namespace exchange
