#include "support/VersionPageFetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <memory>

namespace vantle {
namespace {

// The system's proxy settings for this one manager, leaving the process-wide choice alone.
class SystemProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        return systemProxyForQuery(query);
    }
};

QNetworkRequest versionPageRequest(const QUrl& url) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUpdateCheckUserAgent));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // Proxies and servers keep no copy either.
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    return request;
}

} // namespace

Result<QByteArray> fetchVersionPage(const QUrl& url, std::chrono::milliseconds timeout) {
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return Result<QByteArray>::failure(QStringLiteral("no usable version page address"));

    QNetworkAccessManager manager;
    manager.setProxyFactory(new SystemProxyFactory);
    const std::unique_ptr<QNetworkReply> reply(manager.get(versionPageRequest(url)));
    // Enough to tell an over-long page, and no more, held at any time.
    reply->setReadBufferSize(kMaxVersionPageSize + 1);

    QByteArray page;
    QString failure;
    QEventLoop loop;
    auto* deadline = new QTimer(reply.get());
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply.get(), [&] {
        failure = QStringLiteral("the version page did not arrive in time");
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&] {
        page += reply->readAll();
        if (page.size() > kMaxVersionPageSize) {
            failure = QStringLiteral("the version page is too long");
            reply->abort();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline->start(timeout);
    if (!reply->isFinished()) loop.exec();

    if (!reply->isFinished()) {
        // The thread was told to quit.
        reply->abort();
        return Result<QByteArray>::failure(QStringLiteral("the update check was stopped"));
    }
    if (!failure.isEmpty()) return Result<QByteArray>::failure(failure);
    if (reply->error() != QNetworkReply::NoError)
        return Result<QByteArray>::failure(reply->errorString());
    page += reply->readAll();
    if (page.size() > kMaxVersionPageSize)
        return Result<QByteArray>::failure(QStringLiteral("the version page is too long"));
    return page;
}

} // namespace vantle
