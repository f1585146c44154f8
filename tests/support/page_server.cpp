#include "support/page_server.h"

#include <QtEndian>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

// A socket on 127.0.0.1 at a port the system picks; its port, or 0 when there is none.
int listenLocally(quint16 &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&at), size) != 0 || ::listen(fd, 16) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr *>(&at), &size) != 0)
        qFatal("The page server cannot listen on 127.0.0.1: %s", strerror(errno));
    port = ntohs(at.sin_port);
    return fd;
}

void sendAll(int fd, const QByteArray &bytes)
{
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // the client went away, as a fetch that gives up does
        sent += n;
    }
}

}  // namespace

PageServer::PageServer()
{
    listening_ = listenLocally(port_);
    if (::pipe2(wake_, O_CLOEXEC) != 0)
        qFatal("The page server cannot make its pipe: %s", strerror(errno));
    thread_ = std::thread([this] { run(); });
}

PageServer::~PageServer()
{
    const char end = 0;
    while (::write(wake_[1], &end, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
    ::close(wake_[0]);
    ::close(wake_[1]);
    ::close(listening_);
}

void PageServer::run()
{
    struct Client {
        int fd;
        QByteArray received;
    };
    std::vector<Client> clients;
    for (;;) {
        std::vector<pollfd> watched{{wake_[0], POLLIN, 0}, {listening_, POLLIN, 0}};
        for (const Client &c : clients)
            watched.push_back({c.fd, POLLIN, 0});
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            qFatal("The page server cannot wait: %s", strerror(errno));
        }
        if (watched[0].revents)
            break;
        // Clients first, by their place in watched, before a new one shifts them.
        for (std::size_t i = clients.size(); i > 0; --i) {
            if (!watched[i + 1].revents)
                continue;
            Client &c = clients[i - 1];
            char chunk[4096];
            const ssize_t n = ::recv(c.fd, chunk, sizeof chunk, 0);
            bool done = n <= 0;
            if (n > 0) {
                c.received.append(chunk, n);
                const qsizetype end = c.received.indexOf("\r\n\r\n");
                if (end >= 0) {
                    const QByteArray request = c.received.left(end);
                    c.received.clear();
                    const PageReply reply = replyFor(request.split(' ').value(1), request);
                    if (!reply.silent) {
                        QByteArray head = reply.head;
                        if (reply.withLength && !head.contains("Content-Length"))
                            head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
                        sendAll(c.fd, head + "Connection: close\r\n\r\n" + reply.body);
                        done = !reply.keepOpen;
                    }
                }
            }
            if (done) {
                ::close(c.fd);
                clients.erase(clients.begin() + std::ptrdiff_t(i - 1));
            }
        }
        if (watched[1].revents) {
            const int fd = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                clients.push_back({fd, {}});
        }
    }
    for (const Client &c : clients)
        ::close(c.fd);
}

void PageServer::serve(const QByteArray &path, const PageReply &reply)
{
    const std::lock_guard lock(mutex_);
    replies_.insert(path, reply);
}

QString PageServer::url(const QByteArray &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QString::fromLatin1(path));
}

QByteArray PageServer::lastRequest() const
{
    const std::lock_guard lock(mutex_);
    return lastRequest_;
}

PageReply PageServer::replyFor(const QByteArray &path, const QByteArray &request)
{
    const std::lock_guard lock(mutex_);
    lastRequest_ = request;
    const auto found = replies_.constFind(path);
    if (found != replies_.cend())
        return *found;
    return {"HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\n", "<html>no such page</html>"};
}

PageReply PageServer::redirectTo(const QByteArray &path)
{
    return {"HTTP/1.1 302 Found\r\nLocation: " + path + "\r\n", {}};
}

PageReply PageServer::gzipped(const QByteArray &page)
{
    // qCompress gives the size, then a zlib stream: a 2-byte header, the deflated bytes and an
    // Adler-32. gzip wraps the same deflated bytes in a header of its own, a CRC-32 and the size.
    const QByteArray zlib = qCompress(page, 9);
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : page) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    char trailer[8];
    qToLittleEndian(~crc, trailer);
    qToLittleEndian(quint32(page.size()), trailer + 4);
    const QByteArray body = QByteArray("\x1F\x8B\x08\0\0\0\0\0\x02\xFF", 10) + zlib.mid(6, zlib.size() - 10)
        + QByteArray(trailer, sizeof trailer);
    return {"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Encoding: gzip\r\n", body};
}

quint16 PageServer::closedPort()
{
    quint16 port = 0;
    ::close(listenLocally(port));
    return port;
}

}  // namespace testsupport
