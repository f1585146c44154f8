#include "core/mailbox.h"

#include "core/recipe_error.h"
#include "engine/system_reason.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace recipes {

Mailbox::Mailbox(QObject *parent) : QObject(parent)
{
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw Error(QStringLiteral("Cannot start the search: no pipe could be made: ") + dao::systemReason(errno));
    notifier_ = new QSocketNotifier(wake_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &Mailbox::runPosted);
}

Mailbox::~Mailbox()
{
    // Taken once more, so that the last post from another thread is over before the jobs go.
    const std::lock_guard lock(mutex_);
    jobs_.clear();
    delete notifier_;
    ::close(wake_[0]);
    ::close(wake_[1]);
}

void Mailbox::post(std::function<void()> job)
{
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    // A full pipe has a wake-up waiting already.
    const char byte = 1;
    while (::write(wake_[1], &byte, 1) < 0 && errno == EINTR) {
    }
}

void Mailbox::runPosted()
{
    char drained[64];
    while (::read(wake_[0], drained, sizeof drained) > 0 || errno == EINTR) {
    }
    std::deque<std::function<void()>> jobs;
    {
        const std::lock_guard lock(mutex_);
        jobs.swap(jobs_);
    }
    for (const std::function<void()> &job : jobs)
        job();
}

}  // namespace recipes
