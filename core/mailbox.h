#pragma once
// Jobs handed to the thread a mailbox lives in, run there one by one in the order they were
// posted. A job crosses threads under the mailbox's own lock, and the thread is woken through a
// pipe of the mailbox's own, not through Qt's queue of posted events: nothing is handed from
// one thread to another where ThreadSanitizer cannot see it ordered (inside Qt and GLib).

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

class QSocketNotifier;

namespace recipes {

class Mailbox : public QObject {
    Q_OBJECT
public:
    // Lives, and runs its jobs, in the thread of parent (moved with it). Throws recipes::Error
    // when the system gives no pipe.
    explicit Mailbox(QObject *parent = nullptr);
    ~Mailbox() override;
    Mailbox(const Mailbox &) = delete;
    Mailbox &operator=(const Mailbox &) = delete;

    // Runs job on this object's thread after every job posted before it. From any thread.
    void post(std::function<void()> job);

private:
    void runPosted();

    std::mutex mutex_;
    std::deque<std::function<void()>> jobs_;
    int wake_[2] = {-1, -1};  // a pipe: a byte written to [1] wakes the reader of [0]
    QSocketNotifier *notifier_ = nullptr;
};

}  // namespace recipes
