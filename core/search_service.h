#pragma once
// Search without blocking the window: the index is built, kept and queried on a worker thread
// of the service's own, with its own connection to the recipe file. Queries are answered in
// order through found(); only the answer to the latest query matters to a caller, and an
// overtaken query may not be answered at all. The program's own changes (ChangeFeed) reach the
// index in the order they were made, before any later query; a change another program made is
// noticed before the next query (the shared connection's data version moves), and the index
// reads again the categories whose mark moved (SearchIndex::catchUp) before answering.

#include "core/search_index.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <vector>

namespace recipes {

class Mailbox;
class SearchWorker;

class SearchService : public QObject {
    Q_OBJECT
public:
    // Starts building the index of the recipe file at once.
    SearchService(const QString &file, const QString &password, QObject *parent = nullptr);
    ~SearchService() override;

    // Asks for the recipes the typed query matches; returns the ticket found() will carry.
    int find(const QString &typed);
    bool isBuilding() const { return building_; }

signals:
    // The index is being built, or brought up to date with others' changes.
    void building();
    void ready(int recipes);
    void found(int ticket, const std::vector<recipes::SearchHit> &hits);
    void failed(int ticket, const QString &message);

private:
    void take(const Change &change);
    // Whether another program has written to the file since the last look.
    bool othersWrote();

    QString file_;
    QString password_;
    QString path_;  // the file as changes name it
    QThread thread_;
    SearchWorker *worker_;
    Mailbox *inbox_;    // on the worker's thread: the calls this thread makes of the worker
    Mailbox *replies_;  // on this thread: what the worker reports
    std::atomic<int> latestTicket_ = 0;
    std::int64_t seenVersion_ = 0;
    bool building_ = true;
};

}  // namespace recipes
