#pragma once

#include "Downloader.h"

#include <memory>

class QNetworkAccessManager;

namespace platform {

// Downloads over Qt Network, following redirects.
class QtDownloader final : public Downloader {
public:
    QtDownloader();
    ~QtDownloader() override;

    DownloadStatus downloadToFile(
        const QUrl& url, const QString& path, std::chrono::milliseconds timeout, qint64 maxBytes) override;

private:
    std::unique_ptr<QNetworkAccessManager> network_;
};

} // namespace platform
