#include "platform/tree_rows.h"

#include <QAbstractItemModel>
#include <QHash>

#include <algorithm>

namespace platform {

// An open node (or the root): its children's count, and its open children in row order with
// the rows shown beneath each.
struct TreeRows::Branch {
    QModelIndex node;
    std::int64_t rows = 0;
    std::vector<std::unique_ptr<Branch>> open;
    // before[j]: the rows shown beneath open[0..j-1]; one more entry than open.
    std::vector<std::int64_t> before;
    std::int64_t shown = 0;  // rows shown beneath node: its children and theirs

    std::int64_t startOf(std::size_t j) const { return open[j]->node.row() + before[j]; }
};

TreeRows::TreeRows() = default;
TreeRows::~TreeRows() = default;

int TreeRows::level(const QModelIndex &node, const QModelIndex &root)
{
    int steps = 0;
    for (QModelIndex up = node.parent(); up != root; up = up.parent()) {
        if (!up.isValid())
            return -1;
        ++steps;
    }
    return node.isValid() ? steps : -1;
}

void TreeRows::clear()
{
    model_ = nullptr;
    root_ = {};
    top_.reset();
}

void TreeRows::build(const QAbstractItemModel *model, const QModelIndex &root, const QSet<QPersistentModelIndex> &open)
{
    clear();
    if (!model)
        return;
    model_ = model;
    root_ = root;
    top_ = std::make_unique<Branch>();
    top_->node = root;
    top_->rows = model->rowCount(root);

    // Shallowest first, so that a node's parent is placed before it.
    std::vector<std::pair<int, QModelIndex>> nodes;
    nodes.reserve(static_cast<std::size_t>(open.size()));
    for (const QPersistentModelIndex &node : open)
        if (node.isValid() && node.model() == model)
            if (const int depth = level(node, root); depth >= 0)
                nodes.emplace_back(depth, node.sibling(node.row(), 0));
    std::sort(nodes.begin(), nodes.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    QHash<QModelIndex, Branch *> placed;
    placed.insert(root, top_.get());
    for (const auto &[depth, node] : nodes) {
        Branch *parent = placed.value(node.parent());
        if (!parent || placed.contains(node))
            continue;  // under a closed node
        auto branch = std::make_unique<Branch>();
        branch->node = node;
        branch->rows = model->rowCount(node);
        placed.insert(node, branch.get());
        parent->open.push_back(std::move(branch));
    }
    sum(*top_);
}

void TreeRows::sum(Branch &branch)
{
    std::sort(branch.open.begin(), branch.open.end(),
              [](const auto &a, const auto &b) { return a->node.row() < b->node.row(); });
    branch.before.assign(branch.open.size() + 1, 0);
    for (std::size_t j = 0; j < branch.open.size(); ++j) {
        sum(*branch.open[j]);
        branch.before[j + 1] = branch.before[j] + branch.open[j]->shown;
    }
    branch.shown = branch.rows + branch.before.back();
}

std::int64_t TreeRows::count() const { return top_ ? top_->shown : 0; }

QModelIndex TreeRows::at(std::int64_t row) const
{
    if (!top_ || row < 0 || row >= top_->shown)
        return {};
    const Branch *branch = top_.get();
    std::int64_t k = row;  // counted from the first row beneath branch
    for (;;) {
        // The last open child shown at or above k.
        std::size_t lo = 0, hi = branch->open.size();
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (branch->startOf(mid) <= k)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo == 0)
            return model_->index(static_cast<int>(k), 0, branch->node);
        const std::size_t j = lo - 1;
        const std::int64_t start = branch->startOf(j);
        const Branch &child = *branch->open[j];
        if (k == start)
            return child.node;
        if (k <= start + child.shown) {
            k -= start + 1;
            branch = &child;
            continue;
        }
        return model_->index(static_cast<int>(k - branch->before[j + 1]), 0, branch->node);
    }
}

std::int64_t TreeRows::rowOf(const QModelIndex &node) const
{
    if (!top_ || !node.isValid() || node.model() != model_)
        return -1;
    std::vector<int> path;  // rows from node up to root's child
    for (QModelIndex up = node; up != root_; up = up.parent()) {
        if (!up.isValid())
            return -1;
        path.push_back(up.row());
    }
    const Branch *branch = top_.get();
    std::int64_t first = 0;  // the row of branch's first child
    for (auto row = path.rbegin();;) {
        const auto found = std::lower_bound(branch->open.begin(), branch->open.end(), *row,
                                            [](const auto &open, int r) { return open->node.row() < r; });
        const auto j = static_cast<std::size_t>(found - branch->open.begin());
        const std::int64_t here = first + *row + branch->before[j];
        if (++row == path.rend())
            return here;
        if (found == branch->open.end() || (*found)->node.row() != *(row - 1))
            return -1;  // under a closed node
        branch = found->get();
        first = here + 1;
    }
}

}  // namespace platform
