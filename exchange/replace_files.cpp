#include "exchange/replace_files.h"

#include "exchange/replacing_file.h"

#include <memory>

namespace exchange {

namespace {

// The print command's own words for what stands at a name it will not replace.
QString refusal(const ReplacingFile &file, const QString &path)
{
    switch (file.obstacle()) {
    case ReplacingFile::Obstacle::Link:
        return QStringLiteral("it is a symbolic link, not a regular file");
    case ReplacingFile::Obstacle::Folder:
    case ReplacingFile::Obstacle::NotRegular:
        return QStringLiteral("it is not a regular file");
    case ReplacingFile::Obstacle::WriteProtected:
        return QStringLiteral("Existing file %1 is not writable").arg(path);
    case ReplacingFile::Obstacle::None:
        break;
    }
    return file.reason();
}

}  // namespace

std::optional<ReplaceFailure> replaceFiles(const std::vector<NewFile> &files)
{
    // A file not renamed into place is removed with its ReplacingFile, whatever way this ends.
    std::vector<std::unique_ptr<ReplacingFile>> staged;
    staged.reserve(files.size());
    for (const NewFile &file : files) {
        auto replacing = std::make_unique<ReplacingFile>(file.path);
        if (!replacing->create())
            return ReplaceFailure{file.path, refusal(*replacing, file.path)};
        staged.push_back(std::move(replacing));
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        staged[i]->write(files[i].bytes);
        if (!staged[i]->finish())
            return ReplaceFailure{files[i].path, staged[i]->reason()};
    }
    // A rename replaces whatever has come to stand at the name since the check, a link
    // included, and never writes through it.
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!staged[i]->putInPlace())
            return ReplaceFailure{files[i].path, staged[i]->reason()};
    return std::nullopt;
}

}  // namespace exchange
