#include "exchange/link_fetcher.h"

#include "exchange/page_charset.h"
#include "exchange/read_limits.h"
#include "exchange/shown_link.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

#include <memory>
#include <optional>

namespace exchange {

namespace {

constexpr int kMaxRedirects = 5;
// How often a fetch that receives nothing still asks whether to go on, so that Cancel answers.
constexpr int kAskEveryMs = 100;

QString seconds(std::chrono::milliseconds limit)
{
    return QString::number(double(limit.count()) / 1000.0, 'g', 3) + QStringLiteral(" s");
}

// Past the limit in the bytes read, which are the unpacked ones when the server packed the page.
QString tooLarge(const QNetworkReply &reply, qint64 limit)
{
    const QByteArray packing = reply.rawHeader(QByteArrayLiteral("Content-Encoding")).trimmed().toLower();
    const bool packed = !packing.isEmpty() && packing != "identity";
    return (packed ? QStringLiteral("The page is too large once unpacked: over the %1 this program reads.")
                   : QStringLiteral("The page is too large: over the %1 this program reads."))
        .arg(byteSize(limit));
}

// The scheme of the link a redirect that was not followed leads to; empty when it leads nowhere.
QString redirectScheme(const QNetworkReply &reply)
{
    const QByteArray location = reply.rawHeader(QByteArrayLiteral("Location")).trimmed();
    if (location.isEmpty())
        return {};
    return reply.url().resolved(QUrl::fromEncoded(location)).scheme();
}

// What the server says the body is: a web page, JSON-LD, or neither (nothing when it says nothing,
// and then the body is read as a page).
std::optional<FetchedPage::Kind> kindOf(const QByteArray &contentType)
{
    const QByteArray type = contentType.split(';').front().trimmed().toLower();
    if (type.isEmpty() || type == "text/html" || type == "application/xhtml+xml")
        return FetchedPage::Kind::Page;
    if (type == "application/ld+json" || type == "application/json")
        return FetchedPage::Kind::Json;
    return std::nullopt;
}

// Why the reply failed, in words, for the failures the network reports itself.
QString networkReason(const QNetworkReply &reply, const QUrl &url, qint64 limit)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    switch (reply.error()) {
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("The host %1 was not found.").arg(url.host());
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("The host %1 refused the connection.").arg(url.host());
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("The host %1 closed the connection before the page came.").arg(url.host());
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("The secure (TLS) connection to %1 failed: %2.")
            .arg(url.host(), shownLink(reply.errorString()));
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("The link was redirected more than %1 times, so it was not followed further.")
            .arg(kMaxRedirects);
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("The link was redirected from https to plain http, which is refused.");
    case QNetworkReply::ProtocolUnknownError:
        // Qt follows redirects to http and https links only.
        if (const QString scheme = redirectScheme(reply); status / 100 == 3 && !scheme.isEmpty())
            return QStringLiteral("The link was redirected to a %1: link, which is not followed.").arg(scheme);
        break;
    case QNetworkReply::UnknownContentError:
        // On a page the server answered with, Qt's unpacking stopped: past its safety check, which
        // starts at the limit here, or on packed bytes that do not unpack; Qt does not say which.
        if (status / 100 == 2)
            return QStringLiteral("The page is too large once unpacked (over the %1 this program reads), or its "
                                  "packing is damaged.")
                .arg(byteSize(limit));
        break;
    default:
        break;
    }
    if (status != 0)
        return QStringLiteral("The server answered %1 %2.")
            .arg(QString::number(status), reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    return QStringLiteral("The page could not be fetched: %1.").arg(shownLink(reply.errorString()));
}

}  // namespace

bool LinkFetcher::looksLikeLink(const QString &argument)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(argument).hasMatch();
}

QString LinkFetcher::refusal(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https")
        return QStringLiteral("Only http and https links can be fetched, not %1 links.")
            .arg(scheme.isEmpty() ? QStringLiteral("these") : scheme);
    if (!url.isValid() || url.host().isEmpty())
        return QStringLiteral("The link is not a valid web address.");
    return {};
}

FetchedPage LinkFetcher::fetch(const QUrl &url, const FetchProgress &progress) const
{
    FetchedPage page;
    page.reason = refusal(url);
    if (!page.reason.isEmpty())
        return page;

    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    // Qt stops unpacking a page that unpacks to many times its size once it is past this, so that
    // a small packed page cannot fill the memory before the size check below sees it.
    request.setDecompressedSafetyCheckThreshold(limits_.bytes);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Saporium/" SAPORIUM_VERSION));
    const std::unique_ptr<QNetworkReply> reply(manager.get(request));

    QEventLoop loop;
    QString stopped;  // why this side aborted the reply, when it did
    bool cancelled = false;
    const auto stop = [&](const QString &why) {
        if (stopped.isEmpty() && !cancelled)
            stopped = why;
        reply->abort();
    };
    const auto ask = [&] {
        if (progress && !reply->isFinished()
            && !progress(page.body.size(), reply->header(QNetworkRequest::ContentLengthHeader).toLongLong())) {
            cancelled = stopped.isEmpty();
            reply->abort();
        }
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status < 200 || status >= 300)
            return;  // a redirect is followed, a failure is told when the reply finishes
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        const QByteArray type = reply->rawHeader(QByteArrayLiteral("Content-Type"));
        if (!kindOf(type))
            stop(QStringLiteral("The link is not a web page: the server calls it %1.")
                     .arg(QString::fromLatin1(type.split(';').front().trimmed())));
        else if (length.isValid() && length.toLongLong() > limits_.bytes)
            stop(QStringLiteral("The page is too large: %1, over the %2 this program reads.")
                     .arg(byteSize(length.toLongLong()), byteSize(limits_.bytes)));
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        page.body += reply->readAll();
        if (page.body.size() > limits_.bytes)
            stop(tooLarge(*reply, limits_.bytes));
        else
            ask();
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        stop(QStringLiteral("The page did not come within %1, so the fetch was stopped.").arg(seconds(limits_.time)));
    });
    QTimer asking;
    QObject::connect(&asking, &QTimer::timeout, &loop, ask);
    if (!reply->isFinished()) {
        limit.start(limits_.time);
        asking.start(kAskEveryMs);
        loop.exec();
    }

    if (cancelled) {
        page.outcome = FetchedPage::Outcome::Cancelled;
        page.body.clear();
        return page;
    }
    const auto failed = [&page](const QString &reason) {
        page.reason = reason;
        page.body.clear();
        return page;
    };
    if (!stopped.isEmpty())
        return failed(stopped);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status < 200 || status >= 300)
        return failed(networkReason(*reply, url, limits_.bytes));
    page.body += reply->readAll();
    if (page.body.size() > limits_.bytes)
        return failed(tooLarge(*reply, limits_.bytes));
    const QByteArray type = reply->rawHeader(QByteArrayLiteral("Content-Type"));
    page.kind = kindOf(type).value_or(FetchedPage::Kind::Page);
    page.charset = charsetOf(type);
    page.outcome = FetchedPage::Outcome::Fetched;
    return page;
}

}  // namespace exchange
