#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QWidget>

namespace platform {

namespace {

const QByteArray kRaise = "raise\n";
const QByteArray kRaised = "raised\n";

// The file's real path: links and ".." resolved. A file not made yet is named by its folder's
// real path, which is what it will have once made.
QString realPath(const QString &file)
{
    const QFileInfo info(file);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : folder + QLatin1Char('/') + info.fileName();
}

QString lockFolder()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // Outside a desktop session Qt makes a runtime folder up, and warns on every call.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return QDir::tempPath();
#endif
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

}  // namespace

SingleInstance::SingleInstance(const QString &file, QObject *parent)
    : QObject(parent),
      name_(QStringLiteral("saporium-")
            + QString::fromLatin1(
                QCryptographicHash::hash(realPath(file).toUtf8(), QCryptographicHash::Sha1).toHex()))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    if (lock_)
        return true;
    auto lock = std::make_unique<QLockFile>(QDir(lockFolder()).filePath(name_ + QStringLiteral(".lock")));
    // The lock is held for as long as the window is open, so its age says nothing; only a
    // holder that is no longer running makes it stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    // QLockFile takes a lock whose holder runs under another program name for stale. A holder
    // that still listens is alive whatever its name, so it keeps the file.
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        return false;  // the lock is released, and removed, on return
    }
    // A socket left by a copy that died would keep listen() from working.
    QLocalServer::removeServer(name_);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name_))
        return false;
    connect(server.get(), &QLocalServer::newConnection, this, &SingleInstance::answer);
    lock_ = std::move(lock);
    server_ = std::move(server);
    return true;
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kRaise) {
                emit raiseRequested();
                socket->write(kRaised);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

bool SingleInstance::askToRaise(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRaise);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // A hung holder accepts the connection (the system does that for it) but never answers.
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    return socket.readLine() == kRaised;
}

void SingleInstance::bringToFront(QWidget *window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace platform
