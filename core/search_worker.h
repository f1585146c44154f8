#pragma once
// The search index's side of SearchService, on the service's worker thread: builds and keeps
// the index there, and answers queries in the order they were asked.

#include "core/change_feed.h"
#include "core/search_index.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

namespace recipes {

class SearchWorker : public QObject {
    Q_OBJECT
public:
    SearchWorker(QString file, QString password, const std::atomic<int> &latestTicket);
    ~SearchWorker() override;

public slots:
    // Opens the index and brings it up to date.
    void start();
    // Answers a query; with catchUp, first reads again the categories others changed. A
    // query overtaken by a later one is not answered.
    void find(int ticket, const QString &typed, bool catchUp);
    void apply(const recipes::Change &change);

signals:
    void building();
    void ready(int recipes);
    void found(int ticket, const std::vector<recipes::SearchHit> &hits);
    void failed(int ticket, const QString &message);

private:
    bool open(int ticket);
    void catchUp();

    QString file_;
    QString password_;
    const std::atomic<int> &latestTicket_;
    std::unique_ptr<SearchIndex> index_;
    bool behind_ = true;  // the index has not been brought up to date since it was opened
};

}  // namespace recipes
