#include "exchange/importer.h"

#include "core/recipe_batch.h"
#include "core/recipe_error.h"
#include "engine/system_reason.h"
#include "exchange/format_list.h"
#include "exchange/jsonld_reader.h"
#include "exchange/link_fetcher.h"
#include "exchange/page_charset.h"
#include "exchange/page_reader.h"
#include "exchange/recipe_format.h"
#include "exchange/shown_link.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exchange {

using dao::systemReason;

namespace {

// Thrown through the readers when the user cancels; the file's batch then undoes itself.
struct Cancelled {};

// Thrown when the system fails a read part-way through a file; the file's batch undoes itself.
struct ReadFailed {
    QString reason;
};

// Told by the file's first characters where they say it (JSON opens with a bracket, a page with
// a tag); else by the file's suffix; else MealMaster, whose files carry any suffix or none.
const RecipeFormat &formatOf(QFile &file, const QString &path)
{
    QByteArray head = file.peek(4096);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    return formats::readerFor(head.trimmed(), QFileInfo(path).suffix().toLower());
}

// A folder's files that may hold recipes: the suffixes recipe files carry, or none at all.
bool mayHoldRecipes(const QFileInfo &info)
{
    const QStringList suffixes = formats::readSuffixes();
    const QString suffix = info.suffix().toLower();
    return suffix.isEmpty() || suffixes.contains(suffix);
}

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// An argument this program fetches: an http or https link, in any letter case.
bool isLink(const QString &argument)
{
    return argument.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || argument.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

QString notRegular(const QString &name, mode_t mode)
{
    const QString kind = S_ISDIR(mode)    ? QStringLiteral(" (it is a folder)")
        : S_ISFIFO(mode)                   ? QStringLiteral(" (it is a named pipe)")
        : S_ISSOCK(mode)                   ? QStringLiteral(" (it is a socket)")
        : S_ISCHR(mode) || S_ISBLK(mode)   ? QStringLiteral(" (it is a device)")
                                           : QString();
    return QStringLiteral("%1 is not a regular file%2, so it was not read.").arg(name, kind);
}

// Why a folder cannot be listed, if it cannot.
std::optional<QString> unlistable(const QString &path)
{
    DIR *dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return systemReason(errno);
    ::closedir(dir);
    return std::nullopt;
}

// Opens path into file when it is a regular file; else returns the report's line saying why not.
// It is looked at before it is opened, since opening a device or a pipe may wait or act; and
// looked at again once open, non-blocking, in case something else has taken its name between.
std::optional<QString> openRegular(QFile &file, const QString &path)
{
    const QString name = shown(path);
    const auto cannotRead = [&](int error) -> QString {
        return name + QStringLiteral(": The file cannot be read: ") + systemReason(error);
    };
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return cannotRead(errno);
    if (!S_ISREG(st.st_mode))
        return notRegular(name, st.st_mode);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return cannotRead(errno);
    std::optional<QString> problem;
    if (::fstat(fd, &st) != 0)
        problem = cannotRead(errno);
    else if (!S_ISREG(st.st_mode))
        problem = notRegular(name, st.st_mode);
    else if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        problem = name + QStringLiteral(": The file cannot be read: ") + file.errorString();
    else
        return std::nullopt;
    ::close(fd);
    return problem;
}

// The files in folder and its subfolders that may hold recipes, in name order, devices and pipes
// among them so that they are told. A subfolder that cannot be listed is told in report.
QStringList filesIn(const QString &folder, ImportReport &report)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        if (entry.isDir()) {
            // Links to folders are not followed.
            if (entry.isSymLink())
                continue;
            if (const auto why = unlistable(entry.filePath())) {
                report.lines.append(shown(entry.filePath()) + QStringLiteral(": The folder cannot be read: ") + *why);
                ++report.unreadable;
            }
        } else if (mayHoldRecipes(entry)) {
            found.append(entry.filePath());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

QString ImportReport::countsLine() const
{
    const QString counts = QStringLiteral("%1 added, %2 skipped, %3 refused")
                               .arg(QString::number(added), QString::number(skipped), QString::number(refused));
    QString out = counts;
    const int files = unreadable - unfetched;
    if (files > 0)
        out += files == 1 ? QStringLiteral("; 1 file could not be read") : QStringLiteral("; %1 files could not be read").arg(files);
    if (unfetched > 0)
        out += unfetched == 1 ? QStringLiteral("; 1 link could not be fetched")
                              : QStringLiteral("; %1 links could not be fetched").arg(unfetched);
    return out + u'.';
}

QString ImportReport::text() const
{
    QStringList all = lines;
    if (cancelled)
        all.append(QStringLiteral("The import was cancelled."));
    all.append(countsLine());
    return all.join(u'\n');
}

// One file's import: its batch, what it has done so far, and the categories it has settled.
struct Importer::FileRun {
    recipes::RecipeBatch batch;
    QHash<QString, QString> categories;  // asked for -> the file's spelling
    int added = 0;
    int skipped = 0;
    int refused = 0;
    int seen = 0;  // recipes read or told as unreadable
    QStringList lines;

    FileRun(recipes::Collection &collection, recipes::DuplicateIndex &duplicates) : batch(collection, &duplicates) {}

    // The category a recipe goes into; a refused name gives the fallback, with a warning.
    QString categoryFor(const QString &wanted, const QString &where)
    {
        const QString name = wanted.trimmed().isEmpty() ? Importer::fallbackCategory() : wanted;
        const auto known = categories.constFind(name);
        if (known != categories.cend())
            return *known;
        QString actual;
        try {
            actual = batch.category(name);
        } catch (const recipes::Error &e) {
            if (!batch.usable() || name == Importer::fallbackCategory())
                throw;
            lines.append(where + QStringLiteral(": The category \"%1\" cannot be made, so its recipes go into \"%2\": ")
                                     .arg(name, Importer::fallbackCategory())
                         + e.message());
            actual = categoryFor(Importer::fallbackCategory(), where);
        }
        categories.insert(name, actual);
        return actual;
    }

    void take(const ImportedRecipe &imported, const QString &forced)
    {
        ++seen;
        const QString category = categoryFor(forced.isEmpty() ? imported.category : forced, imported.where);
        try {
            if (batch.add(category, imported.recipe) == recipes::RecipeBatch::Result::Added)
                ++added;
            else
                ++skipped;
        } catch (const recipes::Error &e) {
            if (!batch.usable())
                throw;
            lines.append(imported.where + QStringLiteral(": ") + e.message() + QStringLiteral(" The recipe was not imported."));
            ++refused;
        }
    }

    void refuse(const ImportProblem &problem)
    {
        ++seen;
        lines.append(problem.where + QStringLiteral(": ") + problem.reason);
        ++refused;
    }
};

Importer::Importer(recipes::Collection &collection, const QString &category)
    : collection_(collection), category_(category)
{
}

ImportReport Importer::run(const QStringList &paths, const ImportProgress &progress)
{
    ImportReport report;
    duplicates_ = recipes::DuplicateIndex();
    QStringList files;  // and links, in the order given
    for (const QString &path : paths) {
        if (isLink(path)) {
            files.append(path);
            continue;
        }
        struct stat st {};
        const bool there = ::stat(QFile::encodeName(path).constData(), &st) == 0;
        if (!there && errno == ENOENT && LinkFetcher::looksLikeLink(path)) {
            report.lines.append(shownLink(path) + QStringLiteral(": ") + LinkFetcher::refusal(QUrl(path))
                                + QStringLiteral(" Nothing of it was imported."));
            ++report.unreadable;
            ++report.unfetched;
        } else if (!there && errno == ENOENT) {
            report.lines.append(shown(path) + QStringLiteral(": There is no such file or folder."));
            report.fileFailed = true;
        } else if (there && S_ISDIR(st.st_mode)) {
            if (const auto why = unlistable(path)) {
                report.lines.append(shown(path) + QStringLiteral(": The folder cannot be read: ") + *why);
                report.fileFailed = true;
            } else {
                files += filesIn(path, report);
            }
        } else {
            // Told by importFile when it is no regular file or cannot be read.
            files.append(path);
        }
    }
    const auto sizeOf = [](const QString &file) { return isLink(file) ? qint64(1) : QFileInfo(file).size(); };
    qint64 total = 0;
    for (const QString &file : std::as_const(files))
        total += sizeOf(file);
    qint64 done = 0;
    for (const QString &file : std::as_const(files)) {
        if (isLink(file))
            importLink(file, done, total, progress, report);
        else
            importFile(file, done, total, progress, report);
        if (report.cancelled)
            break;
        done += sizeOf(file);
        if (progress && !progress(done, total)) {
            report.cancelled = true;
            break;
        }
    }
    return report;
}

void Importer::importFile(const QString &path, qint64 doneBefore, qint64 total, const ImportProgress &progress,
                          ImportReport &report)
{
    const QString name = shown(path);
    QFile file;
    if (const auto problem = openRegular(file, path)) {
        report.lines.append(*problem);
        ++report.unreadable;
        return;
    }
    const RecipeFormat &format = formatOf(file, path);
    const Reader read = [&](const RecipeSink &onRecipe, const ProblemSink &onProblem) {
        format.read(file, name, readLimits_, onRecipe, onProblem);
        if (file.error() != QFileDevice::NoError)
            throw ReadFailed{file.errorString()};
    };
    importRead(name, QStringLiteral("file"), read, [&] { return doneBefore + file.pos(); }, total, progress, report);
}

void Importer::importLink(const QString &link, qint64 doneBefore, qint64 total, const ImportProgress &progress,
                          ImportReport &report)
{
    // Fetched with the name and password the link may carry, told and read without them.
    const QUrl url(link);
    const QString name = shownLink(link);
    const FetchedPage page = LinkFetcher(limits_).fetch(url, [&](qint64, qint64) {
        return !progress || progress(doneBefore, total);
    });
    if (page.outcome == FetchedPage::Outcome::Cancelled) {
        report.lines.append(name + QStringLiteral(": Cancelled; nothing of this page was imported."));
        report.cancelled = true;
        return;
    }
    if (page.outcome == FetchedPage::Outcome::Failed) {
        report.lines.append(name + QStringLiteral(": ") + page.reason + QStringLiteral(" Nothing of it was imported."));
        ++report.unreadable;
        ++report.unfetched;
        return;
    }
    const Reader read = [&](const RecipeSink &onRecipe, const ProblemSink &onProblem) {
        if (page.kind == FetchedPage::Kind::Json) {
            QBuffer buffer;
            buffer.setData(page.body);
            buffer.open(QIODevice::ReadOnly);
            readJsonLdBlock(buffer, name, onRecipe, onProblem, url);
        } else {
            readPage(pageAsUtf8(page.body, page.charset), name, onRecipe, onProblem, url);
        }
    };
    importRead(name, QStringLiteral("page"), read, [&] { return doneBefore; }, total, progress, report);
}

void Importer::importRead(const QString &name, const QString &noun, const Reader &read,
                          const std::function<qint64()> &done, qint64 total, const ImportProgress &progress,
                          ImportReport &report)
{
    std::unique_ptr<FileRun> run;
    try {
        run = std::make_unique<FileRun>(collection_, duplicates_);
        const RecipeSink onRecipe = [&](const ImportedRecipe &imported) {
            if (progress && !progress(done(), total))
                throw Cancelled{};
            run->take(imported, category_);
        };
        const ProblemSink onProblem = [&](const ImportProblem &problem) { run->refuse(problem); };
        read(onRecipe, onProblem);
        if (run->seen == 0)
            run->refuse({name, QStringLiteral("The %1 holds no recipe this program can read.").arg(noun)});
        run->batch.commit();
    } catch (const Cancelled &) {
        report.lines += run->lines;
        report.lines.append(name + QStringLiteral(": Cancelled; nothing of this %1 was imported.").arg(noun));
        report.cancelled = true;
        return;
    } catch (const FileTooLarge &tooLarge) {
        report.lines += run->lines;
        report.lines.append(name + QStringLiteral(": ") + tooLarge.reason()
                            + QStringLiteral(" Nothing of this %1 was imported.").arg(noun));
        ++report.unreadable;
        return;
    } catch (const ReadFailed &failure) {
        report.lines += run->lines;
        report.lines.append(name + QStringLiteral(": The file cannot be read: ") + failure.reason
                            + QStringLiteral(" Nothing of this file was imported."));
        ++report.unreadable;
        return;
    } catch (const recipes::Error &e) {
        if (run)
            report.lines += run->lines;
        report.lines.append(name + QStringLiteral(": ") + e.message()
                            + QStringLiteral(" Nothing of this %1 was imported.").arg(noun));
        report.fileFailed = true;
        return;
    }
    report.added += run->added;
    report.skipped += run->skipped;
    report.refused += run->refused;
    report.lines += run->lines;
}

}  // namespace exchange
