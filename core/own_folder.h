#pragma once
// Whether a folder is the user's alone to write. Anyone else who may write in it could put a link
// or a file of theirs where ours goes, or swap one between a check and its use.

#include <QString>

#include <sys/stat.h>

namespace recipes {

// Why the folder these attributes describe is not the user's alone to write, in words, or nothing
// when it is: it must be theirs, and neither its group nor anyone else may write to it.
QString notOursAlone(const struct stat &st);

}  // namespace recipes
