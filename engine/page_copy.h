#pragma once
// A copy of a database's whole file into a new file, encrypted with the same password, made by
// SQLite's online backup a bounded number of pages at a time. Between two steps the file is
// free for others; a change another connection commits meanwhile starts the copy over, so the
// finished copy is always one snapshot of the file. The copy's own connection is keyed with the
// source's password: SQLCipher copies the pages decrypted and encrypts them with the target's
// key, and an unkeyed target would get them in clear.
//
// A copy is used by one thread alone, the thread that uses the source connection. Failures
// throw EngineError naming both files and why, a full disk among the reasons.

#include <QString>

#include <memory>

struct sqlite3_backup;

namespace dao {

class Connection;
class Database;

class PageCopy {
public:
    // Pages per step that keep each step to a few milliseconds.
    static constexpr int kPagesPerStep = 256;

    // An unfinished copy is given up; its file stays for the caller to remove.
    ~PageCopy();
    PageCopy(const PageCopy &) = delete;
    PageCopy &operator=(const PageCopy &) = delete;

    // Copies at most pages more pages; true once the copy is whole and its file closed. Waits out
    // a lock another program holds on the source for a few seconds, then throws.
    bool Step(int pages = kPagesPerStep);

private:
    friend class Database;
    // Makes the new file at path (never over an existing one) and prepares the copy into it.
    PageCopy(std::shared_ptr<Connection> source, const QString &path);

    std::shared_ptr<Connection> source_;
    std::shared_ptr<Connection> target_;
    sqlite3_backup *backup_ = nullptr;
    QString action_;
};

}  // namespace dao
