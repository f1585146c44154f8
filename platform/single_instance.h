#pragma once
// One window per recipe file: the first copy of the program started on a file holds a lock
// named after that file and listens for later copies, which ask it to come to the front
// instead of opening the file a second time. The lock and the socket live in a folder only
// this user may enter, so another user can neither read them nor stand in for the window.

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
    // How a request to raise the holder's window went; true only when it was raised.
    struct Answer {
        enum Kind {
            Raised,
            NoAnswer,  // nobody could be reached, or it did not answer in time: it may be hung
            NotOurs,   // something answered that is not a copy of this program
        };
        Kind kind;
        explicit operator bool() const { return kind == Raised; }
    };

    // file: the recipe file the window works on; it need not exist yet. Two spellings of the
    // same file (links, "..", a relative path) share one claim.
    explicit SingleInstance(const QString &file, QObject *parent = nullptr);
    ~SingleInstance() override;

    // False when another running copy holds the file. True when this copy may open it: it then
    // holds the file, and listens for requests to raise its window, until it is destroyed; or,
    // where no private folder or socket can be had, it holds nothing and unguarded() says why.
    // A lock or a listening name left by a copy that died, or a listener that does not speak
    // for a copy of this program, does not count.
    bool claim();
    // Why the last claim() let the window open without holding the file; empty when it holds it.
    QString unguarded() const { return unguarded_; }
    // Asks the copy holding the file to raise its window, waiting up to timeoutMs to reach it and
    // as long again for its answer.
    Answer askToRaise(int timeoutMs = 10000);

    // The folder the locks and sockets live in: the user's runtime folder when it is private,
    // else one this program makes for the user under the temporary folder. Empty when neither
    // is a real folder of this user's that nobody else may enter; why goes to *why.
    static QString folder(QString *why = nullptr);
    // The socket a holder of the file listens on; its lock is this name with ".lock" added.
    // Empty when folder() is.
    QString serverName() const;

    // Shows the window in front of the others, restored if it was minimized.
    static void bringToFront(QWidget *window);

signals:
    // Another copy was started on the same file.
    void raiseRequested();

private:
    void answer();
    QString nameIn(const QString &folder) const;
    // Listens on name; why it cannot, or nothing.
    QString listen(const QString &name);

    QString key_;  // the file's part of the lock's and the socket's name
    QString unguarded_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace platform
