#include "FakeDownloader.h"

#include <QFile>

namespace platform {

DownloadStatus FakeDownloader::downloadToFile(
    const QUrl& url, const QString& path, std::chrono::milliseconds timeout, qint64 maxBytes)
{
    requests_ << Request { url, path, timeout, maxBytes };
    if (answers_.empty())
        return DownloadStatus::Failed;
    const Answer next = answers_.front();
    answers_.pop_front();
    if (next.status != DownloadStatus::Ok)
        return next.status;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(next.body) != next.body.size())
        return DownloadStatus::Failed;
    return DownloadStatus::Ok;
}

} // namespace platform
