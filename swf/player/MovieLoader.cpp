#include "MovieLoader.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace swf {
namespace {

// Local files are handed on in pieces of this size, one per turn of the event loop.
constexpr qint64 kFilePiece = qint64(1) << 20;

class FileJob final : public LoadJob {
public:
    FileJob(const QString& path, qint64 maxBytes)
        : file_(path)
        , maxBytes_(maxBytes)
    {
        QTimer::singleShot(0, this, [this] { start(); });
    }

private:
    void start()
    {
        if (file_.fileName().isEmpty() || !file_.open(QIODevice::ReadOnly))
            return emit failed(QStringLiteral("无法打开动画文件：%1").arg(file_.fileName()));
        if (file_.size() > maxBytes_)
            return emit failed(QStringLiteral("动画文件太大：%1").arg(file_.fileName()));
        readPiece();
    }

    void readPiece()
    {
        const QByteArray piece = file_.read(kFilePiece);
        if (file_.error() != QFileDevice::NoError)
            return emit failed(QStringLiteral("无法读取动画文件：%1").arg(file_.fileName()));
        const QPointer<FileJob> self(this);
        if (!piece.isEmpty())
            emit received(piece, file_.size());
        if (!self)
            return;
        if (piece.size() < kFilePiece || file_.atEnd()) {
            file_.close();
            emit finished();
            return;
        }
        QTimer::singleShot(0, this, [this] { readPiece(); });
    }

    QFile file_;
    qint64 maxBytes_;
};

class WebJob final : public LoadJob {
public:
    WebJob(QNetworkAccessManager& network, const QUrl& url, qint64 maxBytes)
        : maxBytes_(maxBytes)
    {
        QNetworkRequest request(url);
        request.setAttribute(
            QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        reply_ = network.get(request);
        connect(reply_, &QNetworkReply::readyRead, this, [this] { readMore(); });
        connect(reply_, &QNetworkReply::finished, this, [this] { done(); });
    }

    ~WebJob() override
    {
        if (reply_) {
            reply_->disconnect(this);
            reply_->abort();
            reply_->deleteLater();
        }
    }

private:
    qint64 total() const
    {
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        return length.isValid() ? length.toLongLong() : -1;
    }

    void readMore()
    {
        // Only the bytes of a successful answer are the movie; an error page is not.
        const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 400 || tooLarge_)
            return;
        const QByteArray bytes = reply_->readAll();
        received_ += bytes.size();
        // A movie past the limit is stopped at once instead of being held in memory whole.
        if (received_ > maxBytes_ || total() > maxBytes_) {
            tooLarge_ = true;
            reply_->abort();
            return;
        }
        if (!bytes.isEmpty())
            emit received(bytes, total());
    }

    void done()
    {
        QNetworkReply* reply = reply_;
        if (reply->error() == QNetworkReply::NoError && !tooLarge_)
            readMore();
        reply_ = nullptr;
        reply->deleteLater();
        if (tooLarge_)
            return emit failed(QStringLiteral("动画文件太大（超过 %1 MB）").arg(maxBytes_ >> 20));
        if (reply->error() != QNetworkReply::NoError)
            return emit failed(reply->errorString());
        emit finished();
    }

    QPointer<QNetworkReply> reply_;
    qint64 maxBytes_;
    qint64 received_ = 0;
    bool tooLarge_ = false;
};

} // namespace

struct StandardLoader::Network {
    QNetworkAccessManager manager;
};

StandardLoader::StandardLoader(qint64 maxBytes)
    : maxBytes_(maxBytes)
{
}

StandardLoader::~StandardLoader() = default;

std::unique_ptr<LoadJob> StandardLoader::open(const MovieLocation& location)
{
    if (location.kind == MovieLocation::Kind::LocalFile)
        return std::make_unique<FileJob>(location.path, maxBytes_);
    if (!network_)
        network_ = std::make_unique<Network>();
    return std::make_unique<WebJob>(network_->manager, location.url, maxBytes_);
}

} // namespace swf
