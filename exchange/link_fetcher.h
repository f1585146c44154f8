#pragma once
// Fetches one web page by its link, for the importer: http and https only, at most 5 redirects
// and none from https down to http, the whole fetch within a time limit (30 s) and a size limit
// (20 MB, of the page as unpacked when the server sends it packed). The bytes are held in memory
// only. A name and password in the link go to the server; no reason quotes them. It waits in a
// local event loop, so it works under a QCoreApplication (the command line) as under the window's
// QApplication, on the calling thread.
//
// Failures: fetch() throws nothing; a page that cannot be had comes back as Failed with the
// reason in words ("the server answered 404 Not Found"), a cancel as Cancelled.

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>

namespace exchange {

struct FetchLimits {
    std::chrono::milliseconds time{30000};
    qint64 bytes = 20 * 1024 * 1024;
};

struct FetchedPage {
    enum class Outcome { Fetched, Failed, Cancelled };
    enum class Kind { Page, Json };  // a web page, or JSON-LD served as JSON
    Outcome outcome = Outcome::Failed;
    Kind kind = Kind::Page;
    QByteArray body;
    QByteArray charset;  // the one the server declared; empty when it declared none
    QString reason;      // why it Failed, a sentence
};

// Told the bytes received so far and the size the server gave (-1 when it gave none), and also
// every tenth of a second while nothing comes; returns false to cancel.
using FetchProgress = std::function<bool(qint64 received, qint64 expected)>;

class LinkFetcher {
public:
    explicit LinkFetcher(FetchLimits limits = {}) : limits_(limits) {}

    FetchedPage fetch(const QUrl &url, const FetchProgress &progress = {}) const;

    // True when the argument is meant as a link rather than a file: "scheme://...", any scheme.
    static bool looksLikeLink(const QString &argument);
    // Why the link cannot be fetched before anything is sent (a scheme other than http and https,
    // no host); empty when it can be.
    static QString refusal(const QUrl &url);

private:
    FetchLimits limits_;
};

}  // namespace exchange
