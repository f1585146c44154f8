#pragma once
// A recipe file the user names, on the command line, in a file box or from the recent list,
// looked at before anything opens it: opening a device or a pipe may wait for ever or act.

#include <QString>

#include <optional>

namespace mainform::recipefile {

// The file a name stands for, absolute and clean. A name without an extension gets ".mdb", as the
// engine opens it and as --database reads it.
QString named(const QString &given);

// Why the file cannot be opened as a recipe file, in the user's words and naming the file; nothing
// when it is a regular file this user may read. Only looks at the file, never opens it.
std::optional<QString> whyNotOpenable(const QString &file);

}  // namespace mainform::recipefile
