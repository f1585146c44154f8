#include "core/search_service.h"

#include "core/mailbox.h"
#include "core/search_worker.h"

namespace recipes {

SearchService::SearchService(const QString &file, const QString &password, QObject *parent)
    : QObject(parent),
      file_(file),
      password_(password),
      worker_(new SearchWorker(file, password, latestTicket_)),
      inbox_(new Mailbox(worker_)),
      replies_(new Mailbox(this))
{
    qRegisterMetaType<recipes::Change>();
    qRegisterMetaType<std::vector<recipes::SearchHit>>();
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    // The worker's signals are taken on its own thread and their news posted to this one.
    connect(worker_, &SearchWorker::building, this, [this] {
        replies_->post([this] {
            building_ = true;
            emit building();
        });
    }, Qt::DirectConnection);
    connect(worker_, &SearchWorker::ready, this, [this](int recipes) {
        replies_->post([this, recipes] {
            building_ = false;
            emit ready(recipes);
        });
    }, Qt::DirectConnection);
    connect(worker_, &SearchWorker::found, this, [this](int ticket, const std::vector<SearchHit> &hits) {
        replies_->post([this, ticket, hits] { emit found(ticket, hits); });
    }, Qt::DirectConnection);
    connect(worker_, &SearchWorker::failed, this, [this](int ticket, const QString &message) {
        replies_->post([this, ticket, message] {
            building_ = false;
            emit failed(ticket, message);
        });
    }, Qt::DirectConnection);
    connect(&ChangeFeed::instance(), &ChangeFeed::changed, this, &SearchService::take);
    // Seen before the first build reads the file, so nothing written meanwhile is missed.
    try {
        const Collection collection(file_, password_);
        path_ = collection.path();
        seenVersion_ = collection.dataVersion();
    } catch (const std::exception &) {
        // The worker's first build finds out what is wrong, and says so.
    }
    thread_.start();
    inbox_->post([worker = worker_] { worker->start(); });
}

SearchService::~SearchService()
{
    thread_.requestInterruption();
    thread_.quit();
    thread_.wait();
}

bool SearchService::othersWrote()
{
    try {
        const std::int64_t version = Collection(file_, password_).dataVersion();
        const bool moved = version != seenVersion_;
        seenVersion_ = version;
        return moved;
    } catch (const std::exception &) {
        return true;  // the worker finds out what is wrong, and says so
    }
}

int SearchService::find(const QString &typed)
{
    const int ticket = ++latestTicket_;
    const bool catchUp = othersWrote();
    inbox_->post([worker = worker_, ticket, typed, catchUp] { worker->find(ticket, typed, catchUp); });
    return ticket;
}

void SearchService::take(const Change &change)
{
    if (change.file != path_)
        return;
    inbox_->post([worker = worker_, change] { worker->apply(change); });
}

}  // namespace recipes
