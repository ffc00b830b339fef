#pragma once

#include "platform/Downloader.h"

#include <QByteArray>
#include <QList>

#include <deque>

namespace platform {

// Downloads for tests: each request is recorded and takes the next scripted answer, either
// a body that is written to the file or a failure that leaves the file alone. A request
// with no answer left fails.
class FakeDownloader final : public Downloader {
public:
    struct Request {
        QUrl url;
        QString path;
        std::chrono::milliseconds timeout;
        qint64 maxBytes;
    };

    DownloadStatus downloadToFile(
        const QUrl& url, const QString& path, std::chrono::milliseconds timeout, qint64 maxBytes) override;

    void serve(const QByteArray& body) { answers_.push_back({ DownloadStatus::Ok, body }); }
    void fail(DownloadStatus status = DownloadStatus::Failed) { answers_.push_back({ status, {} }); }
    const QList<Request>& requests() const { return requests_; }

private:
    struct Answer {
        DownloadStatus status;
        QByteArray body;
    };
    std::deque<Answer> answers_;
    QList<Request> requests_;
};

} // namespace platform
