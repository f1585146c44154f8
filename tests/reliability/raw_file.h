#pragma once
// The recipe file as another program sees it, read straight through SQLCipher: its integrity,
// a dump of everything in it, and the rows of one table byte for byte. Nothing here goes
// through the engine under test, so what it reports does not depend on the engine's reading.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace reliability {

// The test's own statement of the program's trimming (spaces only, at both ends), kept apart
// from the code under test so that the two can disagree.
inline QString trimSpaces(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

// One stored value: null, or its bytes as SQLite keeps them (NULs included).
using RawValue = std::optional<QByteArray>;

struct RawRow {
    std::int64_t rowid = 0;
    std::vector<RawValue> values;
};

struct RawCheck {
    int rc = 0;              // SQLite's result code of the first statement that failed, or 0
    QString error;           // its message
    QStringList integrity;   // the lines PRAGMA integrity_check returned ("ok" when sound)
};

// Opens the file read-write (a hot journal left by a killed writer is rolled back here, as
// any program opening the file would), keyed with password. Never creates the file.
class RawFile {
public:
    RawFile(const QString &path, const QString &password);
    ~RawFile();
    RawFile(const RawFile &) = delete;
    RawFile &operator=(const RawFile &) = delete;

    // PRAGMA integrity_check over the whole file; each page read also has its HMAC verified by
    // SQLCipher, so a torn or stale page shows here as an error. (SQLCipher 3.4.1 has no
    // cipher_integrity_check: it ignores that pragma and returns nothing.)
    RawCheck check();
    // Every row of table in rowid order; throws std::runtime_error when it cannot be read.
    std::vector<RawRow> rows(const QString &table);
    // Every schema entry and every row of every table, one line each, in a fixed order: two
    // files hold the same data exactly when their dumps are equal.
    std::vector<std::string> dump();

private:
    sqlite3 *db_ = nullptr;
    int openRc_ = 0;
};

// The lines only in before and the lines only in after, each cut to a readable length, for a
// failure message; empty when the dumps are equal.
std::string dumpDifference(const std::vector<std::string> &before,
                           const std::vector<std::string> &after);

}  // namespace reliability
