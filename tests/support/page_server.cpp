#include "support/page_server.h"

#include <QHostAddress>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

namespace testsupport {

PageServer::PageServer()
{
    anchor_ = new QObject;
    anchor_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        anchor_,
        [this] {
            auto *server = new QTcpServer(anchor_);
            if (!server->listen(QHostAddress::LocalHost))
                qFatal("The page server cannot listen on 127.0.0.1: %s", qPrintable(server->errorString()));
            port_ = server->serverPort();
            QObject::connect(server, &QTcpServer::newConnection, server, [this, server] {
                while (QTcpSocket *socket = server->nextPendingConnection()) {
                    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                    auto buffer = std::make_shared<QByteArray>();
                    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                        QByteArray &received = *buffer;
                        received += socket->readAll();
                        const qsizetype end = received.indexOf("\r\n\r\n");
                        if (end < 0)
                            return;
                        const QByteArray request = received.left(end);
                        received.clear();
                        const QByteArray path = request.split(' ').value(1);
                        const PageReply reply = replyFor(path, request);
                        if (reply.silent)
                            return;
                        QByteArray head = reply.head;
                        if (reply.withLength && !head.contains("Content-Length"))
                            head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
                        socket->write(head + "Connection: close\r\n\r\n" + reply.body);
                        if (!reply.keepOpen)
                            socket->disconnectFromHost();
                    });
                }
            });
        },
        Qt::BlockingQueuedConnection);
}

PageServer::~PageServer()
{
    QMetaObject::invokeMethod(anchor_, [this] { delete anchor_; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void PageServer::serve(const QByteArray &path, const PageReply &reply)
{
    QMutexLocker lock(&mutex_);
    replies_.insert(path, reply);
}

QString PageServer::url(const QByteArray &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QString::fromLatin1(path));
}

QByteArray PageServer::lastRequest() const
{
    QMutexLocker lock(&mutex_);
    return lastRequest_;
}

PageReply PageServer::replyFor(const QByteArray &path, const QByteArray &request)
{
    QMutexLocker lock(&mutex_);
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

quint16 PageServer::closedPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost))
        qFatal("No local port to close: %s", qPrintable(server.errorString()));
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

}  // namespace testsupport
