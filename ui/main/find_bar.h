#pragma once
// The main window's find bar, under the tree: a query typed in its Find box filters the tree to
// the matching recipes as the user types. Closing it (Escape or its close button) gives the
// tree back exactly as FillCatalogue leaves it. The index is built on a thread of its own the
// first time the bar opens; meanwhile the bar says so and the window goes on working.

#include "core/search_index.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QWidget;
class RecipeBas;
class xpcmdbutton;

namespace recipes {
class SearchService;
}

namespace mainform {

class FindBar : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QFrame *bar;
        QLineEdit *find;
        QLabel *count;
        xpcmdbutton *close;
        QWidget *tree;  // gives up the bar's height while the bar is shown
    };
    FindBar(Controls controls, RecipeBas &store, QObject *parent = nullptr);
    ~FindBar() override;

    void Show();  // opens the bar, or puts the focus back in it
    void Hide();
    // The file was replaced or re-keyed: the bar closes, and the next search starts afresh.
    void restart();
    bool isShown() const { return shown_; }
    // The store has filled the tree from the file: full (the catalogue) or categories only.
    void treeFilled(bool full);

    // The answer the tree shows for the latest query has arrived; tests wait for it.
    recipes::SearchService *service() const { return service_.get(); }

signals:
    void matchesShown(int recipes);

private:
    void query();
    // Gives the tree back as FillCatalogue leaves it, when it holds matches.
    void showCatalogue();
    void take(int ticket, const std::vector<recipes::SearchHit> &hits);
    void say(const QString &text);
    bool eventFilter(QObject *watched, QEvent *event) override;

    Controls c_;
    RecipeBas &store_;
    std::unique_ptr<recipes::SearchService> service_;
    bool shown_ = false;
    bool categoryTree_ = false;  // the tree is the category-only one: a category is being chosen
    bool showsMatches_ = false;  // the tree holds matches, not the catalogue
    int ticket_ = 0;
    int treeHeight_ = 0;
};

}  // namespace mainform
