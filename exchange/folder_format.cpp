#include "exchange/folder_format.h"

#include "core/category_schema.h"
#include "core/collection.h"
#include "core/own_folder.h"
#include "core/recipe_error.h"
#include "engine/system_reason.h"
#include "exchange/folder_names.h"
#include "exchange/jsonld_reader.h"
#include "exchange/jsonld_writer.h"
#include "exchange/read_limits.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>

#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exchange {

using dao::systemReason;

namespace {

// Why the export stopped, and where: a folder or file inside the export folder, or that one.
struct Failure {
    QString where;
    QString reason;
};

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }

private:
    int fd_;
};

QByteArray encoded(const QString &name) { return QFile::encodeName(name); }

QString linkRefused()
{
    return QStringLiteral("it is a symbolic link; an export is never written through a link. Remove the link or "
                          "choose another folder.");
}

// Why the folder open at fd is not one an export may write into, or nothing when it is. A folder
// someone else may write to could hold their recipe.json, or a link, put there for us to write.
QString notOurs(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return systemReason(errno);
    const QString why = recipes::notOursAlone(st);
    return why.isEmpty() ? why : why + QStringLiteral("; recipes are exported only into folders of yours.");
}

// Made for the user alone to write, so that a later export may write into them again.
constexpr mode_t kFolderMode = 0755;  // less the user's umask

// A recipe by its name and category, as the importer reads them back.
QString keyOf(const QString &name, const QString &category) { return name + QChar(0) + category; }

// What is in the export folder: the recipe folders the export wrote before, by the recipe they
// hold, and every name taken, letter case aside.
struct Scan {
    QMultiHash<QString, QString> byRecipe;  // key -> folder name; twice for two recipes of one name
    QSet<QString> taken;               // case-folded names of every entry
    QHash<QString, QString> links;     // case-folded name -> what is a link there
};

// The key of the one recipe the recipe folder's recipe.json holds, if it holds one; *link names
// the recipe.json when it is a link.
std::optional<QString> recipeKeyIn(int folder, const QString &entry, QString *link)
{
    Fd sub(::openat(folder, encoded(entry).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!sub.ok())
        return std::nullopt;
    Fd file(::openat(sub.get(), "recipe.json", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.ok()) {
        if (errno == ELOOP)
            *link = entry + u'/' + FolderFormat::recipeFileName();
        return std::nullopt;
    }
    struct stat st {};
    // One larger than a recipe the importer reads is no recipe of ours: it is not read.
    if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kLargestRead)
        return std::nullopt;
    QFile in;
    if (!in.open(file.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return std::nullopt;
    std::vector<ImportedRecipe> found;
    readJsonLd(in, entry, [&](const ImportedRecipe &r) { found.push_back(r); }, [](const ImportProblem &) {});
    if (found.size() != 1)
        return std::nullopt;
    return keyOf(found.front().recipe.name, found.front().category);
}

std::optional<Failure> scan(int folder, Scan &out)
{
    // The listing owns a copy of the folder's descriptor, which closedir closes.
    const int copy = ::dup(folder);
    DIR *dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!dir) {
        const int error = errno;
        if (copy >= 0)
            ::close(copy);
        return Failure{{}, systemReason(error)};
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name == u"." || name == u"..")
            continue;
        const QString folded = name.toCaseFolded();
        out.taken.insert(folded);
        struct stat st {};
        if (::fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            out.links.insert(folded, name);
        } else if (S_ISDIR(st.st_mode)) {
            QString link;
            if (const auto key = recipeKeyIn(folder, name, &link))
                out.byRecipe.insert(*key, name);
            else if (!link.isEmpty())
                out.links.insert(folded, link);
        }
    }
    ::closedir(dir);
    return std::nullopt;
}

// Writes bytes as folder/recipe.json: a new file beside it renamed over it when whole.
std::optional<Failure> writeRecipeFile(int top, const QString &folderName, const QByteArray &bytes)
{
    const QString where = folderName + u'/' + FolderFormat::recipeFileName();
    Fd folder(::openat(top, encoded(folderName).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.ok())
        return Failure{folderName, errno == ELOOP ? linkRefused() : systemReason(errno)};
    if (const QString why = notOurs(folder.get()); !why.isEmpty())
        return Failure{folderName, why};
    struct stat st {};
    bool oldFile = false;
    if (::fstatat(folder.get(), "recipe.json", &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(st.st_mode))
            return Failure{where, linkRefused()};
        if (!S_ISREG(st.st_mode))
            return Failure{where, QStringLiteral("it is not a regular file.")};
        oldFile = true;
    } else if (errno != ENOENT) {
        return Failure{where, systemReason(errno)};
    }
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temp = ".recipe.json." + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        // O_EXCL never opens an entry that is already there, a link included. The file gets the
        // permissions of any new file of the user's, never the old one's: those may not be ours.
        fd = ::openat(folder.get(), temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return Failure{where, systemReason(errno)};
    std::optional<Failure> failed;
    const char *next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0 && !failed) {
        const ssize_t done = ::write(fd, next, static_cast<size_t>(left));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            failed = Failure{where, systemReason(done < 0 ? errno : EIO)};
        else {
            next += done;
            left -= done;
        }
    }
    // Only a file that takes an old one's place must be on the disk before the rename, or a crash
    // could leave neither; new files are made safe at once when the export is done.
    if (!failed && oldFile && ::fsync(fd) != 0)
        failed = Failure{where, systemReason(errno)};
    if (::close(fd) != 0 && !failed)
        failed = Failure{where, systemReason(errno)};
    // The rename replaces whatever stands at the name by now, a link included, never its target.
    if (!failed && ::renameat(folder.get(), temp.constData(), folder.get(), "recipe.json") != 0)
        failed = Failure{where, systemReason(errno)};
    if (failed)
        ::unlinkat(folder.get(), temp.constData(), 0);
    return failed;
}

class FolderExport {
public:
    FolderExport(int top, Scan scan) : top_(top), scan_(std::move(scan)) {}

    std::optional<Failure> put(const recipes::Recipe &recipe, const QString &category)
    {
        // Of several folders for one name, the first made ("Toast" before "Toast (2)") goes to the
        // first such recipe, so that each keeps its folder from one export to the next.
        QString folder;
        const QString key = keyOf(recipe.name, category);
        for (auto it = scan_.byRecipe.constFind(key); it != scan_.byRecipe.cend() && it.key() == key; ++it) {
            if (folder.isEmpty() || it->size() < folder.size() || (it->size() == folder.size() && *it < folder))
                folder = *it;
        }
        if (!folder.isEmpty())
            scan_.byRecipe.remove(key, folder);
        if (folder.isEmpty()) {
            const QString base = safeFolderName(recipe.name);
            for (int n = 1; folder.isEmpty(); ++n) {
                const QString candidate = n == 1 ? base : numberedFolderName(base, n);
                const QString folded = candidate.toCaseFolded();
                if (const auto link = scan_.links.constFind(folded); link != scan_.links.cend())
                    return Failure{*link, linkRefused()};
                if (scan_.taken.contains(folded))
                    continue;
                scan_.taken.insert(folded);
                if (::mkdirat(top_, encoded(candidate).constData(), kFolderMode) == 0)
                    folder = candidate;
                else if (errno != EEXIST)
                    return Failure{candidate, systemReason(errno)};
            }
        }
        QByteArray bytes = jsonLdObjectText(recipe, category);
        if (!bytes.endsWith('\n'))
            bytes += '\n';
        return writeRecipeFile(top_, folder, bytes);
    }

private:
    int top_;
    Scan scan_;
};

// Stops the walk through the collection.
struct Stopped {};

}  // namespace

bool FolderFormat::exportTo(const QString &path, const recipes::Collection &collection, const QStringList &categories,
                            const ExportProgress &progress, QString *error) const
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto failed = [&](const Failure &failure) {
        if (error)
            *error = QStringLiteral("The folder %1 could not be written: %2")
                         .arg(shown, failure.where.isEmpty()
                                         ? failure.reason
                                         : QDir::toNativeSeparators(failure.where) + QStringLiteral(": ") + failure.reason);
        return false;
    };
    if (error)
        error->clear();
    const QByteArray native = encoded(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) == 0) {
        if (S_ISLNK(st.st_mode))
            return failed({{}, linkRefused()});
        if (!S_ISDIR(st.st_mode))
            return failed({{}, QStringLiteral("it is not a folder.")});
    } else if (errno != ENOENT || ::mkdir(native.constData(), kFolderMode) != 0) {
        return failed({{}, systemReason(errno)});
    }
    Fd top(::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!top.ok())
        return failed({{}, errno == ELOOP ? linkRefused() : systemReason(errno)});
    if (const QString why = notOurs(top.get()); !why.isEmpty())
        return failed({{}, why});
    Scan found;
    if (const auto failure = scan(top.get(), found))
        return failed(*failure);
    FolderExport out(top.get(), std::move(found));
    const int total = progress ? recipeCount(collection, categories) : 0;
    int done = 0;
    std::optional<Failure> failure;
    try {
        for (const QString &category : categories) {
            collection.readAll(category, [&](std::int64_t, const recipes::Recipe &stored) {
                if (progress && !progress(done, total))
                    throw Stopped{};
                recipes::Recipe recipe;
                for (int i = 0; i < recipes::schema::kFieldCount; ++i)
                    recipe.field(i) = recipes::schema::decode(stored.field(i));
                failure = out.put(recipe, category);
                if (failure)
                    throw Stopped{};
                ++done;
            });
        }
    } catch (const Stopped &) {
        return failure ? failed(*failure) : false;
    } catch (const recipes::Error &e) {
        return failed({{}, e.message()});
    }
    if (::syncfs(top.get()) != 0)
        return failed({{}, systemReason(errno)});
    return !progress || progress(done, total);
}

}  // namespace exchange
