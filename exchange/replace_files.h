#pragma once
// Replaces a set of files with new contents as one step, written only as regular files.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace exchange {

struct NewFile {
    QString path;
    QByteArray bytes;
};

// Why a set of files was not replaced: the file that failed and the reason.
struct ReplaceFailure {
    QString path;
    QString reason;
};

// Writes each file in full to a new temporary file beside it, checks every write, flushes it to
// the disk and closes it; only when all of them are written are they renamed over the old
// files. Each path must be absent or a regular file: a link, folder or anything else at any of
// them stops the whole set before a byte is written, and no link is ever written through. A
// failure leaves the old files as they were and no temporary file behind; only a rename that
// fails after an earlier one succeeded can leave the set half replaced.
std::optional<ReplaceFailure> replaceFiles(const std::vector<NewFile> &files);

}  // namespace exchange
