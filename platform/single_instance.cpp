#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>
#include <QWidget>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Each request is a line, answered by one line; anything else is not a copy of this program.
const QByteArray kRaise = "raise\n";
const QByteArray kRaised = "raised\n";
const QByteArray kPing = "ping\n";
const QByteArray kPong = "pong\n";
// A request is a few bytes; a caller that sends more without ending its line is not ours.
constexpr qint64 kLongestRequest = 64;
constexpr int kSilentCallerMs = 30000;  // far longer than any copy of ours takes to ask
// A holder answers at once; one that has not within this time is taken to be hung.
constexpr int kProbePatience = 3000;

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

// Why path may not hold the locks and sockets, or nothing when it may: it must be a real folder,
// not a link, of this user's, that nobody else may enter or list.
QString notPrivate(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return qt_error_string(errno);
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("it is a symbolic link, not a folder");
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("it is not a folder");
    if (st.st_uid != ::geteuid())
        return QStringLiteral("it belongs to another user");
    if ((st.st_mode & 077) != 0)
        return QStringLiteral("other users may enter it");
    return {};
}

// Why others could swap a folder of ours in path for one of theirs, or nothing when they cannot:
// a folder anyone may write to must keep each entry to its owner (the sticky bit, as /tmp has).
QString swappable(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return qt_error_string(errno);
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (st.st_mode & S_ISVTX) == 0)
        return QStringLiteral("others may replace what is in it");
    return {};
}

// Our own folder under the temporary folder, made when missing. Empty, with why, when it cannot
// be made or what is there is not ours: no shared folder is used in its place.
QString fallbackFolder(QString *why)
{
    const QString temp = QDir::tempPath();
    if (temp.isEmpty()) {
        *why = QStringLiteral("there is no temporary folder");
        return {};
    }
    if (const QString reason = swappable(temp); !reason.isEmpty()) {
        *why = QStringLiteral("the temporary folder %1 is not safe: %2").arg(QDir::toNativeSeparators(temp), reason);
        return {};
    }
    const QString folder = temp + QStringLiteral("/saporium-") + QString::number(::geteuid());
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        *why = QStringLiteral("the folder %1 cannot be made: %2")
                   .arg(QDir::toNativeSeparators(folder), qt_error_string(errno));
        return {};
    }
    if (const QString reason = notPrivate(folder); !reason.isEmpty()) {
        *why = QStringLiteral("the folder %1 is not used because %2").arg(QDir::toNativeSeparators(folder), reason);
        return {};
    }
    return folder;
}

// What came of one request.
enum class Reply { Expected, Unreachable, Silent, Foreign };

Reply exchange(const QString &name, const QByteArray &request, const QByteArray &expected, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return Reply::Unreachable;
    const QDeadlineTimer deadline(timeoutMs);
    socket.write(request);
    // A hung holder accepts the connection (the system does that for it) but never answers.
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return socket.state() == QLocalSocket::ConnectedState ? Reply::Silent : Reply::Foreign;
    QByteArray reply;
    for (;;) {
        reply += socket.readAll();
        if (reply.size() >= expected.size())
            return reply.startsWith(expected) ? Reply::Expected : Reply::Foreign;
        if (!expected.startsWith(reply))
            return Reply::Foreign;
        // Ours answers in full before it hangs up.
        if (socket.state() != QLocalSocket::ConnectedState)
            return Reply::Foreign;
        if (!socket.waitForReadyRead(int(deadline.remainingTime()))
            && socket.state() == QLocalSocket::ConnectedState)
            return Reply::Silent;
    }
}

}  // namespace

SingleInstance::SingleInstance(const QString &file, QObject *parent)
    : QObject(parent),
      // Short, as a socket's whole path must fit in about a hundred bytes.
      key_(QString::fromLatin1(QCryptographicHash::hash(realPath(file).toUtf8(), QCryptographicHash::Sha1)
                                   .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::folder(QString *why)
{
    QString reason;
    // Read here rather than through QStandardPaths, which changes a folder's mode to suit
    // itself, or makes one up and warns on every call when there is none.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && notPrivate(runtime).isEmpty())
        return QDir::cleanPath(runtime);
    const QString folder = fallbackFolder(&reason);
    if (why)
        *why = reason;
    return folder;
}

QString SingleInstance::serverName() const
{
    return nameIn(SingleInstance::folder());
}

QString SingleInstance::nameIn(const QString &folder) const
{
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/saporium-") + key_;
}

bool SingleInstance::claim()
{
    if (lock_)
        return true;
    unguarded_.clear();
    const QString intro = QStringLiteral("A second window on this recipe file cannot be prevented: ");
    QString why;
    const QString folder = SingleInstance::folder(&why);
    if (folder.isEmpty()) {
        unguarded_ = intro + why + QLatin1Char('.');
        return true;
    }
    const QString name = nameIn(folder);
    const QString lockFile = name + QStringLiteral(".lock");
    auto lock = std::make_unique<QLockFile>(lockFile);
    // The lock is held for as long as the window is open, so its age says nothing; only a
    // holder that is no longer running makes it stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        unguarded_ = intro
            + QStringLiteral("the lock file %1 cannot be made: %2.")
                  .arg(QDir::toNativeSeparators(lockFile),
                       lock->error() == QLockFile::PermissionError ? QStringLiteral("permission denied")
                                                                   : QStringLiteral("the system refused it"));
        return true;
    }
    // The folder keeps others out already; the file's own mode says the same.
    QFile::setPermissions(lockFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // QLockFile takes a lock whose holder runs under another program name for stale. A holder
    // that still answers is alive whatever its name, so it keeps the file; so does one that is
    // there but does not answer, as a hung copy would. A listener that answers something else
    // is not a window.
    switch (exchange(name, kPing, kPong, kProbePatience)) {
    case Reply::Expected:
    case Reply::Silent:
        return false;  // the lock is released, and removed, on return
    case Reply::Unreachable:
    case Reply::Foreign:
        break;
    }
    if (const QString failure = listen(name); !failure.isEmpty()) {
        unguarded_ = intro + failure;
        return true;  // with nothing to raise, the lock would only stop the next copy for nothing
    }
    lock_ = std::move(lock);
    return true;
}

QString SingleInstance::listen(const QString &name)
{
    // A socket left by a copy that died, or by a stranger, would keep listen() from working.
    QLocalServer::removeServer(name);
    auto server = std::make_unique<QLocalServer>();
    // No access option: those bind under a longer temporary name first, and the folder already
    // keeps other users out.
    if (!server->listen(name))
        return QStringLiteral("cannot listen on %1: %2.").arg(QDir::toNativeSeparators(name), server->errorString());
    // The folder keeps others out already; the socket's own mode says the same.
    QFile::setPermissions(name, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    connect(server.get(), &QLocalServer::newConnection, this, &SingleInstance::answer);
    server_ = std::move(server);
    return {};
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A caller that never finishes its line would keep its descriptor for the window's life.
        QTimer::singleShot(kSilentCallerMs, socket, [socket] { socket->abort(); socket->deleteLater(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kLongestRequest)
                    socket->disconnectFromServer();
                return;
            }
            const QByteArray request = socket->readLine();
            if (request == kRaise) {
                emit raiseRequested();
                socket->write(kRaised);
            } else if (request == kPing) {
                socket->write(kPong);
            }
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

SingleInstance::Answer SingleInstance::askToRaise(int timeoutMs)
{
    const QString name = serverName();
    if (name.isEmpty())
        return {Answer::NoAnswer};
    switch (exchange(name, kRaise, kRaised, timeoutMs)) {
    case Reply::Expected:
        return {Answer::Raised};
    case Reply::Foreign:
        return {Answer::NotOurs};
    case Reply::Unreachable:
    case Reply::Silent:
        break;
    }
    return {Answer::NoAnswer};
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
