#include "MovieDownload.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

namespace swf {

MovieDownload::MovieDownload(
    QNetworkAccessManager& network, const QUrl& url, qint64 maxBytes, QObject* parent)
    : QObject(parent)
    , maxBytes_(maxBytes)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    reply_ = network.get(request);
    connect(reply_, &QNetworkReply::downloadProgress, this, &MovieDownload::onProgress);
    connect(reply_, &QNetworkReply::finished, this, &MovieDownload::onFinished);
}

MovieDownload::~MovieDownload()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

void MovieDownload::onProgress(qint64 received, qint64 total)
{
    // A movie past the limit is stopped at once instead of being held in memory whole.
    if (received > maxBytes_ || total > maxBytes_) {
        tooLarge_ = true;
        reply_->abort();
        return;
    }
    if (total <= 0)
        return;
    const int percent = static_cast<int>(std::clamp<qint64>(received * 100 / total, 0, 100));
    if (percent != percent_) {
        percent_ = percent;
        emit progress(percent_);
    }
}

void MovieDownload::onFinished()
{
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->deleteLater();
    if (tooLarge_) {
        emit failed(tr("the movie is larger than %1 MB").arg(maxBytes_ >> 20));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        emit failed(reply->errorString());
        return;
    }
    const QByteArray bytes = reply->readAll();
    if (percent_ != 100) {
        percent_ = 100;
        emit progress(percent_);
    }
    emit finished(bytes);
}

} // namespace swf
