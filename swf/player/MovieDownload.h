#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace swf {

// One movie fetched over http(s), with its progress in percent. Deleting it cancels the
// transfer without any further signal.
class MovieDownload : public QObject {
    Q_OBJECT
public:
    MovieDownload(
        QNetworkAccessManager& network, const QUrl& url, qint64 maxBytes, QObject* parent = nullptr);
    ~MovieDownload() override;

    int percent() const { return percent_; }

signals:
    // Progress in percent (0..100), following Content-Length when the server sends one;
    // without it the figure stays at 0 until the whole movie is in.
    void progress(int percent);
    void finished(const QByteArray& bytes);
    void failed(const QString& reason);

private:
    void onProgress(qint64 received, qint64 total);
    void onFinished();

    QPointer<QNetworkReply> reply_;
    qint64 maxBytes_;
    int percent_ = 0;
    bool tooLarge_ = false;
};

} // namespace swf
