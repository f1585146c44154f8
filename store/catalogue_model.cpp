#include "store/catalogue_model.h"

#include "core/category_schema.h"
#include "core/collection.h"
#include "platform/tree_node.h"
#include "store/RecipeBas.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {
// internalPointer of the root and of a category; a recipe's is its Category.
char rootTag;
char categoryTag;

constexpr std::int64_t kBeforeFirstRow = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kAfterLastRow = std::numeric_limits<std::int64_t>::max();
}  // namespace

CatalogueModel::CatalogueModel(QString path, QString password, Icons icons, QObject *parent)
    : QAbstractItemModel(parent), path_(std::move(path)), password_(std::move(password)), icons_(std::move(icons))
{
    connect(&recipes::ChangeFeed::instance(), &recipes::ChangeFeed::changed, this, &CatalogueModel::onChange);
    recount_.setSingleShot(true);
    recount_.setInterval(kRecountAfterMs);
    connect(&recount_, &QTimer::timeout, this, [this] {
        for (const auto &category : categories_)
            if (category->estimated && !category->countRunning)
                countInBackground(*category);
    });
}

bool CatalogueModel::counting() const
{
    return std::any_of(categories_.begin(), categories_.end(), [](const auto &category) { return category->estimated; });
}

CatalogueModel::~CatalogueModel()
{
    // A count still running tells this model when it ends: it must end first. What it posted
    // goes with the model.
    for (const auto &job : counts_)
        job->thread.join();
}

std::unique_ptr<recipes::Collection> CatalogueModel::open() const
{
    return std::make_unique<recipes::Collection>(path_, password_);
}

bool CatalogueModel::isOf(const QString &path, const QString &password) const
{
    return path == path_ && password == password_;
}

void CatalogueModel::load()
{
    ++generation_;
    beginResetModel();
    categories_.clear();
    try {
        replaceCategories();
    } catch (...) {
        categories_.clear();
        endResetModel();
        throw;
    }
    endResetModel();
}

void CatalogueModel::reload()
{
    try {
        load();
    } catch (const std::exception &) {
        // An unreadable file shows the root alone, as a failed fill does.
    }
}

void CatalogueModel::replaceCategories()
{
    const std::unique_ptr<recipes::Collection> file = open();
    filePath_ = file->path();
    const QStringList names = file->categories();
    for (qsizetype i = 0; i < names.size(); ++i) {
        auto category = std::make_unique<Category>();
        category->name = names[i];
        // The first row tells whether the category shows an expander, and is its first row.
        try {
            file->readNames(category->name, kBeforeFirstRow, false, 1, [&](std::int64_t row, const QString &name) {
                category->head.push_back({row, name});
            });
            namesRead_ += static_cast<std::int64_t>(category->head.size());
            category->hasRows = !category->head.empty();
        } catch (const std::exception &) {
            // A fill fails on the first category's rows and shows a later one without recipes.
            if (i == 0)
                throw;
            category->count = 0;
        }
        categories_.push_back(std::move(category));
    }
}

int CatalogueModel::categoryRow(const QString &category) const
{
    for (std::size_t i = 0; i < categories_.size(); ++i)
        if (categories_[i]->name == category)
            return static_cast<int>(i);
    return -1;
}

QModelIndex CatalogueModel::categoryIndex(const QString &category) const
{
    const int row = categoryRow(category);
    return row < 0 ? QModelIndex() : createIndex(row, 0, &categoryTag);
}

CatalogueModel::Category *CatalogueModel::categoryOf(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalPointer() != &categoryTag)
        return nullptr;
    return categories_[static_cast<std::size_t>(index.row())].get();
}

std::int64_t CatalogueModel::countOf(Category &category) const
{
    if (category.count >= 0)
        return category.count;
    const auto read = static_cast<std::int64_t>(category.head.size() + category.tail.size());
    std::int64_t count = read;
    if (category.hasRows) {
        try {
            const std::unique_ptr<recipes::Collection> file = open();
            const std::int64_t span = file->recipeRowSpan(category.name);
            category.estimated = span >= countAtOnceBelow_;
            count = category.estimated ? span : file->recipeCount(category.name);
        } catch (const std::exception &) {
            // Shown with the rows read.
        }
    }
    category.count = std::max(count, read);
    if (category.estimated)
        countInBackground(category);
    return category.count;
}

void CatalogueModel::countInBackground(Category &category) const
{
    category.countRunning = true;
    auto job = std::make_unique<CountJob>();
    CountJob *running = job.get();
    auto *self = const_cast<CatalogueModel *>(this);
    job->thread = std::thread([self, running, path = path_, password = password_, name = category.name,
                               generation = generation_, changes = category.changes] {
        std::int64_t exact = -1;
        try {
            exact = recipes::Collection(path, password, recipes::Collection::Reach::Private).recipeCount(name);
        } catch (const std::exception &) {
            // The span stays the count, as a count that fails leaves the rows read.
        }
        // Done before it is told, so that the job is joined when its count arrives.
        running->done = true;
        QMetaObject::invokeMethod(
            self, [self, name, generation, changes, exact] { self->countArrived(name, generation, changes, exact); },
            Qt::QueuedConnection);
    });
    counts_.push_back(std::move(job));
}

void CatalogueModel::countArrived(const QString &name, std::uint64_t generation, std::uint64_t changes,
                                  std::int64_t exact)
{
    for (auto job = counts_.begin(); job != counts_.end();) {
        if (!(*job)->done)
            ++job;
        else {
            (*job)->thread.join();
            job = counts_.erase(job);
        }
    }
    const int at = categoryRow(name);
    if (generation != generation_ || at < 0)
        return;
    Category &category = *categories_[static_cast<std::size_t>(at)];
    category.countRunning = false;
    if (!category.estimated)
        return;
    if (category.changes != changes) {
        recount_.start();  // overtaken by a change of this program's
        return;
    }
    category.estimated = false;
    if (exact >= 0 && exact != category.count) {
        // The rows read are the first and the last ones: the difference lies between them.
        const QModelIndex parent = createIndex(at, 0, &categoryTag);
        const int first = static_cast<int>(category.head.size());
        const int last = first + static_cast<int>(std::abs(exact - category.count)) - 1;
        if (exact < category.count) {
            beginRemoveRows(parent, first, last);
            category.count = exact;
            endRemoveRows();
        } else {
            beginInsertRows(parent, first, last);
            category.count = exact;
            endInsertRows();
        }
        category.hasRows = exact > 0;
    }
    emit counted(name);
}

void CatalogueModel::readChunk(Category &category, bool fromTheEnd, std::int64_t want) const
{
    std::vector<Recipe> read;
    const std::int64_t from = fromTheEnd ? (category.tail.empty() ? kAfterLastRow : category.tail.front().row)
                                         : (category.head.empty() ? kBeforeFirstRow : category.head.back().row);
    try {
        open()->readNames(category.name, from, fromTheEnd, static_cast<int>(want),
                          [&](std::int64_t row, const QString &name) { read.push_back({row, name}); });
    } catch (const std::exception &) {
        return;
    }
    // While the count is the span, the rows between the ends may be fewer than it says: a read
    // stops where the other end's rows begin.
    if (fromTheEnd && !category.head.empty())
        read.erase(std::find_if(read.begin(), read.end(), [&](const Recipe &r) { return r.row <= category.head.back().row; }),
                   read.end());
    if (!fromTheEnd && !category.tail.empty())
        read.erase(std::find_if(read.begin(), read.end(), [&](const Recipe &r) { return r.row >= category.tail.front().row; }),
                   read.end());
    namesRead_ += static_cast<std::int64_t>(read.size());
    if (fromTheEnd)
        category.tail.insert(category.tail.begin(), read.rbegin(), read.rend());
    else
        category.head.insert(category.head.end(), read.begin(), read.end());
}

const CatalogueModel::Recipe *CatalogueModel::recipeAt(Category &category, std::int64_t position) const
{
    const std::int64_t count = countOf(category);
    if (position < 0 || position >= count)
        return nullptr;
    for (;;) {
        const auto head = static_cast<std::int64_t>(category.head.size());
        const std::int64_t tailStart = count - static_cast<std::int64_t>(category.tail.size());
        if (position < head)
            return &category.head[static_cast<std::size_t>(position)];
        if (position >= tailStart)
            return &category.tail[static_cast<std::size_t>(position - tailStart)];
        // From the nearer end: the rows between are not needed to show this one.
        const bool fromTheEnd = tailStart - 1 - position < position - head;
        const std::size_t before = category.head.size() + category.tail.size();
        readChunk(category, fromTheEnd, std::min<std::int64_t>(kChunk, tailStart - head));
        if (category.head.size() + category.tail.size() == before)
            return nullptr;  // unreadable, or fewer rows than counted: another program's change
    }
}

std::int64_t CatalogueModel::rowNumber(const QModelIndex &index) const
{
    const void *p = index.isValid() ? index.internalPointer() : nullptr;
    if (!p || p == &rootTag || p == &categoryTag)
        return 0;
    const Recipe *recipe = recipeAt(*static_cast<Category *>(index.internalPointer()), index.row());
    return recipe ? recipe->row : 0;
}

QModelIndex CatalogueModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, &rootTag);
    if (parent.internalPointer() == &rootTag)
        return createIndex(row, column, &categoryTag);
    return createIndex(row, column, categoryOf(parent));
}

QModelIndex CatalogueModel::parent(const QModelIndex &child) const
{
    const void *p = child.isValid() ? child.internalPointer() : nullptr;
    if (!p || p == &rootTag)
        return {};
    if (p == &categoryTag)
        return createIndex(0, 0, &rootTag);
    for (std::size_t i = 0; i < categories_.size(); ++i)
        if (categories_[i].get() == p)
            return createIndex(static_cast<int>(i), 0, &categoryTag);
    return {};
}

int CatalogueModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return 1;
    if (parent.internalPointer() == &rootTag)
        return static_cast<int>(categories_.size());
    Category *category = categoryOf(parent);
    return category ? static_cast<int>(std::min<std::int64_t>(countOf(*category), std::numeric_limits<int>::max())) : 0;
}

int CatalogueModel::columnCount(const QModelIndex &) const { return 1; }

bool CatalogueModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid() || parent.internalPointer() == &rootTag)
        return true;
    const Category *category = categoryOf(parent);
    return category && (category->count >= 0 ? category->count > 0 : category->hasRows);
}

QVariant CatalogueModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const void *p = index.internalPointer();
    const Category *category = p == &categoryTag ? categories_[static_cast<std::size_t>(index.row())].get() : nullptr;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (p == &rootTag)
            return RecipeBas::kRootText;
        if (category)
            return RecipeBas::ShownCategoryName(category->name);
        if (const Recipe *recipe = recipeAt(*static_cast<Category *>(index.internalPointer()), index.row()))
            return recipe->name;
        return QString();
    case Qt::DecorationRole:
        return p == &rootTag ? icons_.root : category ? icons_.category : icons_.recipe;
    case platform::kNodeKeyRole:
        return p == &rootTag ? RecipeBas::kRootKey : category ? category->name : QString();
    default:
        return {};
    }
}

void CatalogueModel::onChange(const recipes::Change &change)
{
    if (change.file == filePath_)
        applyChange(change);
}

void CatalogueModel::applyChange(const recipes::Change &change)
{
    using Kind = recipes::Change::Kind;
    if (change.kind == Kind::CategoryAdded || change.kind == Kind::CategoryDeleted) {
        QStringList now;
        try {
            now = open()->categories();
        } catch (const std::exception &) {
            return;
        }
        if (change.kind == Kind::CategoryAdded) {
            const auto at = now.indexOf(change.category);
            if (at < 0 || categoryRow(change.category) >= 0)
                return;
            const int row = std::min(static_cast<int>(at), static_cast<int>(categories_.size()));
            beginInsertRows(index(0, 0), row, row);
            auto added = std::make_unique<Category>();
            added->name = change.category;
            added->count = 0;
            categories_.insert(categories_.begin() + row, std::move(added));
            endInsertRows();
        } else if (const int row = categoryRow(change.category); row >= 0) {
            beginRemoveRows(index(0, 0), row, row);
            categories_.erase(categories_.begin() + row);
            endRemoveRows();
        }
        return;
    }
    const int at = categoryRow(change.category);
    if (at < 0)
        return;
    Category &category = *categories_[static_cast<std::size_t>(at)];
    ++category.changes;
    if (category.estimated)
        recount_.start();
    const QModelIndex parent = createIndex(at, 0, &categoryTag);
    if (category.count < 0) {
        // No view has asked for the rows (the change is in the file already, so the count read
        // now would not tell what changed): only whether there are any may need telling.
        const bool had = category.hasRows;
        category.head.clear();
        category.tail.clear();
        try {
            open()->readNames(category.name, kBeforeFirstRow, false, 1,
                              [&](std::int64_t row, const QString &name) { category.head.push_back({row, name}); });
            namesRead_ += static_cast<std::int64_t>(category.head.size());
        } catch (const std::exception &) {
            return;  // shown as it was
        }
        category.hasRows = !category.head.empty();
        if (category.hasRows != had)
            emit dataChanged(parent, parent);
        return;
    }
    const std::int64_t count = category.count;
    const auto countNow = [&]() -> std::int64_t {
        try {
            return open()->recipeCount(category.name);
        } catch (const std::exception &) {
            return count;
        }
    };
    if (change.kind == Kind::ManyWritten) {
        const std::int64_t now = countNow();
        category.estimated = false;
        category.head.clear();
        category.tail.clear();
        if (now > count) {
            beginInsertRows(parent, static_cast<int>(count), static_cast<int>(now - 1));
            category.count = now;
            endInsertRows();
        } else if (now < count) {
            beginRemoveRows(parent, static_cast<int>(now), static_cast<int>(count - 1));
            category.count = now;
            endRemoveRows();
        }
        category.hasRows = now > 0;
        if (const std::int64_t kept = std::min(now, count); kept > 0)
            emit dataChanged(index(0, 0, parent), index(static_cast<int>(kept - 1), 0, parent));
        return;
    }

    const auto byRow = [](const Recipe &r, std::int64_t row) { return r.row < row; };
    std::vector<Recipe> &head = category.head;
    std::vector<Recipe> &tail = category.tail;
    const auto inHead = std::lower_bound(head.begin(), head.end(), change.row, byRow);
    const auto inTail = std::lower_bound(tail.begin(), tail.end(), change.row, byRow);
    const bool headHas = inHead != head.end() && inHead->row == change.row;
    const bool tailHas = inTail != tail.end() && inTail->row == change.row;
    const std::int64_t tailStart = count - static_cast<std::int64_t>(tail.size());
    const bool gap = static_cast<std::int64_t>(head.size()) < tailStart;
    const bool inGap = !headHas && !tailHas && gap && (head.empty() || change.row > head.back().row)
        && (tail.empty() || change.row < tail.front().row);
    const int position = headHas ? static_cast<int>(inHead - head.begin())
        : tailHas                ? static_cast<int>(tailStart + (inTail - tail.begin()))
                                 : static_cast<int>(head.size());

    if (change.kind == Kind::RecipeDeleted) {
        if (!headHas && !tailHas && !inGap)
            return;
        // A row in the gap was never shown: any row of the gap may go in its place.
        beginRemoveRows(parent, position, position);
        if (headHas)
            head.erase(inHead);
        else if (tailHas)
            tail.erase(inTail);
        category.count = count - 1;
        category.hasRows = category.count > 0;
        endRemoveRows();
        return;
    }
    const QString name = recipes::schema::trimBlanks(change.stored.name);
    if (headHas || tailHas) {
        (headHas ? inHead : inTail)->name = name;
        const QModelIndex changed = index(position, 0, parent);
        emit dataChanged(changed, changed);
        return;
    }
    // Written and not read: a row of the gap changed (its name is read when it is shown), or a
    // recipe was added, after every row there is. A write that took nothing away is an add.
    const bool afterAll = tail.empty() ? (head.empty() || change.row > head.back().row) : change.row > tail.back().row;
    if (!afterAll || (inGap && change.before))
        return;
    beginInsertRows(parent, static_cast<int>(count), static_cast<int>(count));
    if (!tail.empty())
        tail.push_back({change.row, name});
    else if (!gap)
        head.push_back({change.row, name});
    category.count = count + 1;
    category.hasRows = true;
    endInsertRows();
}
