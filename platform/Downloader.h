#pragma once

#include <QString>
#include <QUrl>

#include <chrono>

namespace platform {

enum class DownloadStatus {
    Ok,
    Failed, // no answer, an error status, or the file could not be written
    TimedOut,
    TooLarge,
};

// Fetching a file from the web into a local file, while the caller waits.
class Downloader {
public:
    virtual ~Downloader() = default;

    // Fetches `url` into the file `path`, replacing it only once the whole answer has come.
    // Gives up after `timeout`, or once more than `maxBytes` have come; the file is left
    // alone then, as on every failure. The window thread waits meanwhile, with the user's
    // input held back.
    virtual DownloadStatus downloadToFile(
        const QUrl& url, const QString& path, std::chrono::milliseconds timeout, qint64 maxBytes)
        = 0;
};

} // namespace platform
