#include "QtDownloader.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>

namespace platform {

QtDownloader::QtDownloader() = default;
QtDownloader::~QtDownloader() = default;

DownloadStatus QtDownloader::downloadToFile(
    const QUrl& url, const QString& path, std::chrono::milliseconds timeout, qint64 maxBytes)
{
    if (!network_)
        network_ = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    std::unique_ptr<QNetworkReply> reply(network_->get(request));

    QByteArray body;
    DownloadStatus status = DownloadStatus::Ok;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        status = DownloadStatus::TimedOut;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        body += reply->readAll();
        if (body.size() > maxBytes) {
            status = DownloadStatus::TooLarge;
            reply->abort();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(timeout);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (status != DownloadStatus::Ok)
        return status;
    if (reply->error() != QNetworkReply::NoError)
        return DownloadStatus::Failed;
    body += reply->readAll();
    if (body.size() > maxBytes)
        return DownloadStatus::TooLarge;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
        return DownloadStatus::Failed;
    return DownloadStatus::Ok;
}

} // namespace platform
