#pragma once
// A tiny HTTP/1.1 server on 127.0.0.1 for the link tests and the bench: it answers each path with
// the reply it was given, on a thread of its own, so it serves while the caller waits on a fetch
// or on another process. Nothing leaves the machine. The thread and its sockets are plain POSIX
// ones with a std::mutex, which ThreadSanitizer sees, rather than Qt's, whose hand-overs it
// cannot see in the uninstrumented library.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <mutex>
#include <thread>

namespace testsupport {

struct PageReply {
    // The status line and headers, each ending "\r\n"; the server adds Content-Length (unless
    // given) and "Connection: close", then the blank line.
    QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n";
    QByteArray body;
    bool silent = false;         // never answers, keeping the connection open
    bool withLength = true;      // false: no Content-Length, the body ends when the connection does
    bool keepOpen = false;       // the connection stays open once all is sent
};

class PageServer {
public:
    PageServer();  // listening once made
    ~PageServer();
    PageServer(const PageServer &) = delete;
    PageServer &operator=(const PageServer &) = delete;

    // What path ("/page") answers from now on; an unknown path answers 404 Not Found.
    void serve(const QByteArray &path, const PageReply &reply);
    QString url(const QByteArray &path) const;
    // The last request's head, as received.
    QByteArray lastRequest() const;

    // A 302 redirect to path, or to any link.
    static PageReply redirectTo(const QByteArray &path);
    // A web page sent packed with gzip, as servers send pages to a client that accepts it.
    static PageReply gzipped(const QByteArray &page);
    // A local port nothing listens on (it listened a moment ago).
    static quint16 closedPort();

private:
    PageReply replyFor(const QByteArray &path, const QByteArray &request);
    void run();

    int listening_ = -1;
    int wake_[2] = {-1, -1};  // written to once, to end the thread
    quint16 port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    QHash<QByteArray, PageReply> replies_;
    QByteArray lastRequest_;
};

}  // namespace testsupport
