#include "core/search_service.h"

#include "core/search_worker.h"

#include <QMetaObject>

namespace recipes {

SearchService::SearchService(const QString &file, const QString &password, QObject *parent)
    : QObject(parent), file_(file), password_(password), worker_(new SearchWorker(file, password, latestTicket_))
{
    qRegisterMetaType<recipes::Change>();
    qRegisterMetaType<std::vector<recipes::SearchHit>>();
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &SearchWorker::building, this, [this] {
        building_ = true;
        emit building();
    });
    connect(worker_, &SearchWorker::ready, this, [this](int recipes) {
        building_ = false;
        emit ready(recipes);
    });
    connect(worker_, &SearchWorker::found, this, &SearchService::found);
    connect(worker_, &SearchWorker::failed, this, [this](int ticket, const QString &message) {
        building_ = false;
        emit failed(ticket, message);
    });
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
    QMetaObject::invokeMethod(worker_, &SearchWorker::start, Qt::QueuedConnection);
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
    QMetaObject::invokeMethod(worker_, [worker = worker_, ticket, typed, catchUp] { worker->find(ticket, typed, catchUp); },
                              Qt::QueuedConnection);
    return ticket;
}

void SearchService::take(const Change &change)
{
    if (change.file != path_)
        return;
    QMetaObject::invokeMethod(worker_, [worker = worker_, change] { worker->apply(change); }, Qt::QueuedConnection);
}

}  // namespace recipes
