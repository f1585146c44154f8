#pragma once
// A tiny HTTP/1.1 server on 127.0.0.1 for the link tests and the bench: it answers each path with
// the reply it was given, on a thread of its own, so it serves while the caller waits on a fetch
// or on another process. Nothing leaves the machine.

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QThread>

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

    // A 302 redirect to path.
    static PageReply redirectTo(const QByteArray &path);
    // A local port nothing listens on (it listened a moment ago).
    static quint16 closedPort();

private:
    PageReply replyFor(const QByteArray &path, const QByteArray &request);

    QThread thread_;
    QObject *anchor_ = nullptr;  // lives on thread_, parent of the listening socket
    quint16 port_ = 0;
    mutable QMutex mutex_;
    QHash<QByteArray, PageReply> replies_;
    QByteArray lastRequest_;
};

}  // namespace testsupport
