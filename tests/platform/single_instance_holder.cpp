// Another copy of the program, as far as the one-window-per-file lock is concerned, or a
// stranger in its place.
//   hold FILE         claims FILE, prints "claimed" (or "busy" and exits 1), then prints "raised"
//                     for each request until killed.
//   ask FILE          exits 0 when the holder of FILE answered a raise request, 1 when it did not,
//                     2 when nobody held FILE, 4 when what answered was not a copy of ours.
//   squat FILE REPLY  listens where a holder of FILE would, prints "listening", and answers each
//                     caller with REPLY (an empty one: hangs up at once) until killed.

#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTextStream>

namespace {

int squat(const QString &file, const QByteArray &reply)
{
    QLocalServer server;
    const QString name = platform::SingleInstance(file).serverName();
    QLocalServer::removeServer(name);
    if (!server.listen(name))
        return 1;
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&server, reply] {
        while (QLocalSocket *socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            socket->write(reply);
            socket->flush();
            if (reply.isEmpty())
                socket->disconnectFromServer();
        }
    });
    QTextStream(stdout) << "listening\n";
    return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("squat"))
        return squat(args.at(2), args.at(3).toUtf8());
    if (args.size() != 3)
        return 3;
    platform::SingleInstance instance(args.at(2));
    QTextStream out(stdout);
    if (args.at(1) == QLatin1String("ask")) {
        if (instance.claim())
            return 2;
        const platform::SingleInstance::Answer answer = instance.askToRaise();
        return answer ? 0 : answer.kind == platform::SingleInstance::Answer::NotOurs ? 4 : 1;
    }
    if (!instance.claim()) {
        out << "busy\n";
        return 1;
    }
    QObject::connect(&instance, &platform::SingleInstance::raiseRequested, &app, [&out] {
        out << "raised\n";
        out.flush();
    });
    out << "claimed\n";
    out.flush();
    return QCoreApplication::exec();
}
