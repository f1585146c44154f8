#pragma once
// One window per recipe file: the first copy of the program started on a file holds a lock
// named after that file and listens for later copies, which ask it to come to the front
// instead of opening the file a second time.

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;
class QWidget;

namespace platform {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // file: the recipe file the window works on; it need not exist yet. Two spellings of the
    // same file (links, "..", a relative path) share one claim.
    explicit SingleInstance(const QString &file, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when no other running copy holds the file: this one then holds it, and listens for
    // requests to raise its window, until it is destroyed. A lock or a listening name left by
    // a copy that died does not count.
    bool claim();
    // Asks the copy holding the file to raise its window; true once it has answered. False when
    // it could not be reached or did not answer within timeoutMs (it may be hung).
    bool askToRaise(int timeoutMs = 10000);

    // Shows the window in front of the others, restored if it was minimized.
    static void bringToFront(QWidget *window);

signals:
    // Another copy was started on the same file.
    void raiseRequested();

private:
    void answer();

    QString name_;  // names both the lock file and the listening socket
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace platform
