#include "core/search_worker.h"

#include "core/recipe_error.h"

namespace recipes {

SearchWorker::SearchWorker(QString file, QString password, const std::atomic<int> &latestTicket)
    : file_(std::move(file)), password_(std::move(password)), latestTicket_(latestTicket)
{
}

SearchWorker::~SearchWorker() = default;

bool SearchWorker::open(int ticket)
{
    if (index_)
        return true;
    try {
        index_ = std::make_unique<SearchIndex>(file_, password_);
        return true;
    } catch (const std::exception &e) {
        emit failed(ticket, QString::fromUtf8(e.what()));
        return false;
    }
}

void SearchWorker::catchUp()
{
    emit building();
    index_->catchUp();
    behind_ = false;
    emit ready(index_->count());
}

void SearchWorker::start()
{
    if (!open(0))
        return;
    try {
        catchUp();
    } catch (const std::exception &e) {
        emit failed(0, QString::fromUtf8(e.what()));
    }
}

void SearchWorker::find(int ticket, const QString &typed, bool catchUpFirst)
{
    if (!open(ticket))
        return;
    try {
        if (catchUpFirst || behind_)
            catchUp();
        if (ticket < latestTicket_.load())
            return;  // the user has typed on meanwhile
        emit found(ticket, index_->find(typed));
    } catch (const std::exception &e) {
        emit failed(ticket, QString::fromUtf8(e.what()));
    }
}

void SearchWorker::apply(const Change &change)
{
    if (!index_)
        return;  // the first sync, still to come, reads the change from the file
    try {
        index_->apply(change);
    } catch (const std::exception &) {
        // The index no longer matches the file: the next query reads the file again.
        behind_ = true;
    }
}

}  // namespace recipes
