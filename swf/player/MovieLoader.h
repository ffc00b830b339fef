#pragma once

#include "MovieLocation.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace swf {

// One movie being fetched. It reports from the event loop, never from the call that made
// it: pieces of the file in order as they arrive, then either finished() or failed().
// Deleting it cancels the transfer without any further signal.
class LoadJob : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // The next bytes of the file; `total` is the whole file's size when known, else -1.
    void received(const QByteArray& bytes, qint64 total);
    void finished();
    void failed(const QString& reason);
};

// Fetches movies for the player: the one seam through which the engine reads files and
// the web, so that tests can serve what they like.
class MovieLoader {
public:
    virtual ~MovieLoader() = default;
    virtual std::unique_ptr<LoadJob> open(const MovieLocation& location) = 0;
};

// Local files, read a piece at a time so that the player never stalls on a large one, and
// http(s) through Qt Network, handed on as the bytes come in. Neither is read past
// `maxBytes`.
class StandardLoader final : public MovieLoader {
public:
    explicit StandardLoader(qint64 maxBytes);
    ~StandardLoader() override;
    std::unique_ptr<LoadJob> open(const MovieLocation& location) override;

private:
    struct Network;
    qint64 maxBytes_;
    std::unique_ptr<Network> network_; // made on the first web load
};

} // namespace swf
