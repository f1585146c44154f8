#include "ui/main/find_bar.h"

#include "core/search_service.h"
#include "store/RecipeBas.h"
#include "ui/main/failure_text.h"
#include "ui/skin/xpcmdbutton.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace mainform {

FindBar::FindBar(Controls controls, RecipeBas &store, QObject *parent)
    : QObject(parent), c_(controls), store_(store), treeHeight_(controls.tree->height())
{
    c_.bar->hide();
    connect(c_.find, &QLineEdit::textChanged, this, &FindBar::query);
    connect(c_.close, &xpcmdbutton::Click, this, &FindBar::Hide);
    c_.find->installEventFilter(this);
}

FindBar::~FindBar() = default;

void FindBar::Show()
{
    if (!shown_) {
        shown_ = true;
        c_.tree->resize(c_.tree->width(), treeHeight_ - c_.bar->height() - 2);
        c_.bar->show();
        if (!service_) {
            service_ = store_.session().searchService();
            connect(service_.get(), &recipes::SearchService::building, this,
                    [this] { say(QStringLiteral("Building the search index...")); });
            connect(service_.get(), &recipes::SearchService::ready, this, [this] {
                if (c_.find->text().trimmed().isEmpty())
                    say(QString());
            });
            connect(service_.get(), &recipes::SearchService::found, this, &FindBar::take);
            connect(service_.get(), &recipes::SearchService::failed, this, [this](int, const QString &message) {
                say(QStringLiteral("Search failed: ") + message);
            });
        }
        query();
    }
    c_.find->setFocus();
    c_.find->selectAll();
}

void FindBar::restart()
{
    Hide();
    service_.reset();
}

void FindBar::Hide()
{
    if (!shown_)
        return;
    shown_ = false;
    ++ticket_;  // an answer still on its way is not wanted any more
    c_.bar->hide();
    c_.tree->resize(c_.tree->width(), treeHeight_);
    showCatalogue();
}

void FindBar::showCatalogue()
{
    if (!showsMatches_)
        return;
    showsMatches_ = false;
    try {
        store_.FillCatalogue();
    } catch (const std::exception &e) {
        // The tree keeps the matches; the next fill from a command shows the file again.
        say(failureReason(e));
    }
}

void FindBar::treeFilled(bool full)
{
    categoryTree_ = !full;
    showsMatches_ = false;
    // A change saved while searching keeps the search: the matches are asked for again.
    if (full && shown_ && !c_.find->text().trimmed().isEmpty())
        query();
}

void FindBar::query()
{
    if (!shown_ || !service_)
        return;
    const QString typed = c_.find->text();
    if (recipes::SearchQuery::parse(typed).isEmpty()) {
        ++ticket_;
        say(service_->isBuilding() ? QStringLiteral("Building the search index...") : QString());
        showCatalogue();
        return;
    }
    ticket_ = service_->find(typed);
}

void FindBar::take(int ticket, const std::vector<recipes::SearchHit> &hits)
{
    // While a category is being chosen the tree holds categories only; the matches come back
    // with the full tree.
    if (ticket != ticket_ || !shown_ || categoryTree_)
        return;
    store_.FillMatches(hits);
    showsMatches_ = true;
    const int n = static_cast<int>(hits.size());
    say(n == 1 ? QStringLiteral("1 recipe") : QStringLiteral("%1 recipes").arg(n));
    emit matchesShown(n);
}

void FindBar::say(const QString &text) { c_.count->setText(text); }

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    const bool key = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (watched == c_.find && key && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        // Escape here is the box's own, not the window's Cancel.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            Hide();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace mainform
