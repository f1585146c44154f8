// Another copy of the program, as far as the one-window-per-file lock is concerned.
//   hold FILE  claims FILE, prints "claimed" (or "busy" and exits 1), then prints "raised" for
//              each request until killed.
//   ask FILE   exits 0 when the holder of FILE answered a raise request, 1 when it did not,
//              2 when nobody held FILE.

#include "platform/single_instance.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3)
        return 3;
    platform::SingleInstance instance(args.at(2));
    QTextStream out(stdout);
    if (args.at(1) == QLatin1String("ask")) {
        if (instance.claim())
            return 2;
        return instance.askToRaise() ? 0 : 1;
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
