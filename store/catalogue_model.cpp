#include "store/catalogue_model.h"

#include "core/category_schema.h"
#include "core/collection.h"
#include "platform/tree_node.h"
#include "store/RecipeBas.h"

#include <algorithm>

namespace {
// internalPointer of the root and of a category; a recipe's is its Category.
char rootTag;
char categoryTag;
}  // namespace

CatalogueModel::CatalogueModel(QString path, QString password, Icons icons, QObject *parent)
    : QAbstractItemModel(parent), path_(std::move(path)), password_(std::move(password)), icons_(std::move(icons))
{
    connect(&recipes::ChangeFeed::instance(), &recipes::ChangeFeed::changed, this, &CatalogueModel::onChange);
    reload();
}

CatalogueModel::~CatalogueModel() = default;

std::unique_ptr<recipes::Collection> CatalogueModel::open() const
{
    return std::make_unique<recipes::Collection>(path_, password_);
}

void CatalogueModel::reload()
{
    changing_ = true;
    beginResetModel();
    categories_.clear();
    try {
        const std::unique_ptr<recipes::Collection> file = open();
        filePath_ = file->path();
        for (const QString &name : file->categories())
            categories_.push_back(std::make_unique<Category>(Category{name, {}, 0, false}));
    } catch (const std::exception &) {
        // An unreadable file shows the root alone, as a failed fill does.
    }
    endResetModel();
    changing_ = false;
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

std::int64_t CatalogueModel::rowNumber(const QModelIndex &index) const
{
    const void *p = index.internalPointer();
    if (!index.isValid() || p == &rootTag || p == &categoryTag)
        return 0;
    return static_cast<const Category *>(p)->recipes[static_cast<std::size_t>(index.row())].row;
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
    const Category *category = categoryOf(parent);
    return category ? static_cast<int>(category->recipes.size()) : 0;
}

int CatalogueModel::columnCount(const QModelIndex &) const { return 1; }

bool CatalogueModel::hasChildren(const QModelIndex &parent) const
{
    if (!parent.isValid() || parent.internalPointer() == &rootTag)
        return true;
    const Category *category = categoryOf(parent);
    return category && (!category->recipes.empty() || !category->complete);
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
        return static_cast<const Category *>(p)->recipes[static_cast<std::size_t>(index.row())].name;
    case Qt::DecorationRole:
        return p == &rootTag ? icons_.root : category ? icons_.category : icons_.recipe;
    case platform::kNodeKeyRole:
        return p == &rootTag ? RecipeBas::kRootKey : category ? category->name : QString();
    default:
        return {};
    }
}

bool CatalogueModel::canFetchMore(const QModelIndex &parent) const
{
    const Category *category = categoryOf(parent);
    return category && !category->complete;
}

void CatalogueModel::fetchMore(const QModelIndex &parent)
{
    Category *category = categoryOf(parent);
    // Asked for from within a change's signals (a view looking at the new rows): the rows are
    // read at the next ask instead, so that changes do not nest.
    if (!category || category->complete || changing_)
        return;
    std::vector<Recipe> read;
    try {
        const int n = open()->readSlice(category->name, category->readUpTo, kChunk,
                                        [&](std::int64_t row, const recipes::Recipe &stored) {
                                            read.push_back({row, recipes::schema::trimBlanks(stored.name)});
                                        });
        category->complete = n < kChunk;
    } catch (const std::exception &) {
        // Unreadable: shown without recipes, as a fill shows it.
        category->complete = true;
    }
    if (read.empty())
        return;
    category->readUpTo = read.back().row;
    const int first = static_cast<int>(category->recipes.size());
    beginInsertRows(parent, first, first + static_cast<int>(read.size()) - 1);
    category->recipes.insert(category->recipes.end(), read.begin(), read.end());
    endInsertRows();
}

void CatalogueModel::onChange(const recipes::Change &change)
{
    changing_ = true;
    applyChange(change);
    changing_ = false;
}

void CatalogueModel::applyChange(const recipes::Change &change)
{
    if (change.file != filePath_)
        return;
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
            categories_.insert(categories_.begin() + row, std::make_unique<Category>(Category{change.category, {}, 0, true}));
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
    const QModelIndex parent = createIndex(at, 0, &categoryTag);
    if (change.kind == Kind::ManyWritten) {
        if (!category.recipes.empty()) {
            beginRemoveRows(parent, 0, static_cast<int>(category.recipes.size()) - 1);
            category.recipes.clear();
            endRemoveRows();
        }
        category.readUpTo = 0;
        category.complete = false;
        return;
    }
    const auto found = std::lower_bound(category.recipes.begin(), category.recipes.end(), change.row,
                                        [](const Recipe &r, std::int64_t row) { return r.row < row; });
    const int row = static_cast<int>(found - category.recipes.begin());
    const bool present = found != category.recipes.end() && found->row == change.row;
    if (change.kind == Kind::RecipeDeleted) {
        if (!present)
            return;
        beginRemoveRows(parent, row, row);
        category.recipes.erase(found);
        endRemoveRows();
    } else if (present) {
        found->name = recipes::schema::trimBlanks(change.stored.name);
        const QModelIndex changed = index(row, 0, parent);
        emit dataChanged(changed, changed);
    } else if (category.complete) {
        // Added: rows are numbered in stored order, so a new one goes after every row read.
        beginInsertRows(parent, row, row);
        category.recipes.insert(found, Recipe{change.row, recipes::schema::trimBlanks(change.stored.name)});
        category.readUpTo = std::max(category.readUpTo, change.row);
        endInsertRows();
    }
}
