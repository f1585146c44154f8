#include "core/search_index.h"

#include "core/category_schema.h"
#include "core/own_folder.h"
#include "core/translated.h"
#include "engine/full_text_index.h"
#include "engine/names.h"
#include "engine/system_reason.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace recipes {

namespace {

// The stored values a recipe was indexed from; a recipe whose fingerprint is unchanged is
// left alone by a sync.
quint64 fingerprint(const Recipe &stored)
{
    size_t seed = 0;
    for (int i = 0; i < schema::kFieldCount; ++i)
        seed = qHashMulti(seed, stored.field(i), stored.field(i).size());
    return static_cast<quint64>(seed);
}

std::array<QString, 4> shownFields(const Recipe &stored)
{
    return {schema::decode(stored.name), schema::decode(stored.author), schema::decode(stored.ingredients),
            schema::decode(stored.instructions)};
}

// Whether the folder is the user's own to write: theirs, writable to them and to no one else. In
// a folder others may write to (a shared one such as /tmp, sticky or not) someone could put a
// link where the index goes, or swap the file between a check and its use.
bool ownWritableFolder(const QString &folder)
{
    const QByteArray native = QFile::encodeName(folder);
    struct stat st {};
    return ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && notOursAlone(st).isEmpty()
        && ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) == 0;
}

// The user's cache folder, made private where missing. Throws Error unless it is a real folder
// of theirs that no one else may enter.
QString privateCacheFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty())
        throw Error(QStringLiteral("Cannot keep the search index: the recipe file's folder is not yours alone to "
                                   "write, and no cache folder of yours is known (HOME is not set)."));
    const QString action = QStringLiteral("Cannot keep the search index in ") + folder + QStringLiteral(": ");
    const QByteArray native = QFile::encodeName(folder);
    // Folders missing on the way are made private too; existing ones are left as they are.
    for (qsizetype slash = native.indexOf('/', 1);; slash = native.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? native : native.left(slash);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST) {
            const int error = errno;
            throw Error(action + QFile::decodeName(part) + QStringLiteral(" cannot be made: ")
                        + dao::systemReason(error) + QLatin1Char('.'));
        }
        if (slash < 0)
            break;
    }
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        const int error = errno;
        throw Error(action + dao::systemReason(error) + QLatin1Char('.'));
    }
    if (!S_ISDIR(st.st_mode))
        throw Error(action + QStringLiteral("it is not a folder (a link or a file has its name)."));
    if (st.st_uid != ::geteuid())
        throw Error(action + QStringLiteral("the folder belongs to another user."));
    if ((st.st_mode & 077) != 0) {
        // Ours, made under a loose umask perhaps, and holding nothing but our caches: made private
        // through a descriptor of the folder itself, so a link swapped in is never changed.
        const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        struct stat opened {};
        const bool tightened = fd >= 0 && ::fstat(fd, &opened) == 0 && opened.st_ino == st.st_ino
            && opened.st_dev == st.st_dev && ::fchmod(fd, 0700) == 0;
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        if (!tightened)
            throw Error(action + QStringLiteral("others may open the folder (its permissions are %1), and it could "
                                                "not be made yours alone: %2.")
                                     .arg(QString::number(st.st_mode & 07777, 8), dao::systemReason(error)));
    }
    return folder;
}

// A program closing while the index is built waits for no more than a recipe.
void stopIfAsked()
{
    if (QThread::currentThread()->isInterruptionRequested())
        throw Error(QStringLiteral("The search index was left unfinished: the program is closing."));
}

// The index of the file in the cache folder, named after the file so that two recipe files never
// share one.
QString cacheIndexPath(const QString &cache, const QFileInfo &file)
{
    const QByteArray key = QCryptographicHash::hash(QFile::encodeName(file.absoluteFilePath()),
                                                    QCryptographicHash::Sha256)
                               .toHex()
                               .left(16);
    return cache + QStringLiteral("/saporium-") + QString::fromLatin1(key) + QStringLiteral(".search");
}

// The recipe file's device, inode, size and time of last change: any write to it moves the
// time. Empty, so that nothing is taken on trust, while the last change is so recent that another
// in the same tick of the file system's clock could leave the stamp as it is.
QString fileStamp(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    if (now.tv_sec - st.st_ctim.tv_sec < 2)
        return {};
    return QStringLiteral("%1:%2:%3:%4.%5")
        .arg(st.st_dev)
        .arg(st.st_ino)
        .arg(st.st_size)
        .arg(st.st_ctim.tv_sec)
        .arg(st.st_ctim.tv_nsec);
}

}  // namespace

QString SearchIndex::indexPathFor(const QString &file)
{
    const QFileInfo info(file);
    if (ownWritableFolder(info.absolutePath()))
        return info.absoluteFilePath() + QStringLiteral(".search");
    return cacheIndexPath(privateCacheFolder(), info);
}

SearchIndex::SearchIndex(const QString &file, const QString &password)
    : collection_(file, password, Collection::Reach::Private),
      index_(translated([&] { return std::make_unique<dao::FullTextIndex>(indexPathFor(collection_.path()), password); }))
{
}

SearchIndex::~SearchIndex() = default;

void SearchIndex::categoryChanged(const QString &file, const QString &password, const QString &category)
{
    // Found as indexPathFor finds it, but no cache folder is made for it: where there is none,
    // there is no index to tell.
    const QFileInfo info(file);
    QString path = info.absoluteFilePath() + QStringLiteral(".search");
    if (!ownWritableFolder(info.absolutePath())) {
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        if (cache.isEmpty() || !QFileInfo(cache).isDir())
            return;
        path = cacheIndexPath(cache, info);
    }
    try {
        translated([&] { dao::FullTextIndex::forgetMarkIn(path, password, category); });
    } catch (const Error &e) {
        throw Error(QStringLiteral("The change is saved in the recipe file, but searches may not find it until the "
                                   "search index file %1 is deleted: %2")
                        .arg(path, QString::fromUtf8(e.what())));
    }
}

void SearchIndex::setStepRows(int rows) { stepRows_ = std::max(rows, 1); }

void SearchIndex::stepDone(int recipes)
{
    if (observer_)
        observer_(recipes);
}

int SearchIndex::sync() { return bringUp(true); }

int SearchIndex::catchUp() { return bringUp(false); }

int SearchIndex::bringUp(bool everyCategory)
{
    inStep_ = false;
    int rewritten = 0;
    // Taken first: a write after it leaves the stamp kept below behind the file's.
    const QString stamp = fileStamp(collection_.path());
    const QString identity = collection_.fileIdentity();
    const dao::FullTextIndex::Source source = translated([&] { return index_->source(); });
    // Marks read from another file (a backup restored in its place, say) tell nothing of this one.
    everyCategory = everyCategory || source.identity != identity;
    // Nothing has written to the file since every kept mark was last found true: they still are,
    // and no category need be read to see it.
    const bool untouched = !everyCategory && !stamp.isEmpty() && stamp == source.stamp;
    const QStringList categories = collection_.categories();
    const QHash<QString, dao::TableMark> kept = translated([&] { return index_->marks(); });
    // The last full look removed every category gone by then, and none has gone since.
    if (!untouched)
        for (const QString &indexed : translated([&] { return index_->categories(); }))
            if (!categories.contains(indexed))
                rewritten += removeGone(indexed);
    for (const QString &category : categories) {
        const auto known = kept.find(category);
        if (untouched && known != kept.end())
            continue;
        // Taken before the recipes are read: a change made meanwhile leaves the kept mark
        // behind the file's, so the next catch-up reads the category again.
        const dao::TableMark mark = collection_.mark(category);
        if (!everyCategory && known != kept.end() && *known == mark)
            continue;
        rewritten += readCategory(category, mark);
    }
    if (source.identity != identity || source.stamp != stamp)
        translated([&] {
            index_->begin();
            try {
                index_->setSource({identity, stamp});
                index_->commit();
            } catch (...) {
                index_->rollback();
                throw;
            }
        });
    inStep_ = true;
    return rewritten;
}

int SearchIndex::readCategory(const QString &category, const dao::TableMark &mark)
{
    int rewritten = 0;
    QHash<std::int64_t, quint64> left = translated([&] { return index_->rowsOf(category); });
    const auto inStep = [&](const std::function<void()> &work) {
        stopIfAsked();
        translated([&] {
            index_->begin();
            try {
                work();
                index_->commit();
            } catch (...) {
                index_->rollback();
                throw;
            }
        });
    };
    // The recipes in slices of row numbers; the mark is dropped in the first step and kept
    // again in the last, so a category half read is never taken for finished.
    std::int64_t after = std::numeric_limits<std::int64_t>::min();
    for (bool first = true, more = true; more; first = false) {
        int read = 0;
        inStep([&] {
            if (first)
                index_->forgetMark(category);
            read = collection_.readSlice(category, after, stepRows_, [&](std::int64_t row, const Recipe &stored) {
                stopIfAsked();
                after = row;
                ++recipesRead_;
                const quint64 print = fingerprint(stored);
                const auto known = left.find(row);
                const bool same = known != left.end() && *known == print;
                if (known != left.end())
                    left.erase(known);
                if (same)
                    return;
                index_->put(category, row, print, shownFields(stored));
                ++rewritten;
            });
            more = read == stepRows_;
            if (!more && left.isEmpty())
                index_->setMark(category, mark);
        });
        stepDone(read);
    }
    // What the index holds of recipes no longer in the file.
    while (!left.isEmpty()) {
        int removed = 0;
        inStep([&] {
            for (auto it = left.begin(); it != left.end() && removed < stepRows_; ++removed) {
                index_->remove(category, it.key());
                it = left.erase(it);
            }
            if (left.isEmpty())
                index_->setMark(category, mark);
        });
        rewritten += removed;
        stepDone(removed);
    }
    return rewritten;
}

int SearchIndex::removeGone(const QString &category)
{
    int removed = 0;
    for (int step = stepRows_; step == stepRows_;) {
        stopIfAsked();
        step = translated([&] {
            index_->begin();
            try {
                const int gone = index_->removeCategory(category, stepRows_);
                index_->commit();
                return gone;
            } catch (...) {
                index_->rollback();
                throw;
            }
        });
        removed += step;
        stepDone(step);
    }
    return removed;
}

void SearchIndex::forgetMarks(const QString &category)
{
    // The name as a change gives it may differ from the file's spelling in letter case.
    const QHash<QString, dao::TableMark> kept = index_->marks();
    for (auto it = kept.cbegin(); it != kept.cend(); ++it)
        if (dao::names::sameName(it.key(), category))
            index_->forgetMark(it.key());
}

void SearchIndex::apply(const Change &change)
{
    switch (change.kind) {
    case Change::Kind::ManyWritten:
        translated([&] { forgetMarks(change.category); });
        catchUp();
        return;
    case Change::Kind::CategoryDeleted:
        for (const QString &indexed : translated([&] { return index_->categories(); }))
            if (dao::names::sameName(indexed, change.category))
                removeGone(indexed);
        return;
    case Change::Kind::CategoryAdded:
        return;  // an empty category: the next catch-up marks it
    case Change::Kind::RecipeWritten:
    case Change::Kind::RecipeDeleted:
        break;
    }
    translated([&] {
        index_->begin();
        try {
            // The kept mark is the file's before this change: the category is read again at the
            // next catch-up, since a mark read now could take in another program's change too.
            forgetMarks(change.category);
            if (change.kind == Change::Kind::RecipeWritten)
                index_->put(change.category, change.row, fingerprint(change.stored), shownFields(change.stored));
            else
                index_->remove(change.category, change.row);
            index_->commit();
        } catch (...) {
            index_->rollback();
            throw;
        }
    });
}

std::vector<SearchHit> SearchIndex::find(const SearchQuery &query) const
{
    if (query.isEmpty())
        return {};
    if (!inStep_)
        throw Error(QStringLiteral("The search index is not ready: it has not yet been brought up to date with the "
                                   "recipe file, or its last update was stopped."));
    std::vector<SearchHit> hits;
    translated([&] {
        for (const dao::FullTextIndex::Hit &hit : index_->match(query.include, query.exclude))
            hits.push_back({hit.category, hit.name, hit.row});
    });
    std::sort(hits.begin(), hits.end(), [](const SearchHit &a, const SearchHit &b) {
        if (a.category != b.category)
            return dao::names::catalogueLess(a.category, b.category);
        return a.row < b.row;
    });
    return hits;
}

int SearchIndex::count() const
{
    return translated([&] { return index_->count(); });
}

}  // namespace recipes
