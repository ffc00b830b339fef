#include "Player.h"

#include "MovieDownload.h"
#include "MovieLocation.h"

#include "swf/display/Stage.h"
#include "swf/format/Decompress.h"
#include "swf/format/Parser.h"
#include "swf/render/Renderer.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

// A movie file is never read past this: the largest body the decoder produces, plus its
// header. Anything larger is not a movie of the era this player serves.
constexpr qint64 kMaxFileSize = qint64(kMaxBodySize) + 8;

// Frame rates the clock keeps to. A rate of 0 (or junk) in the file means "as fast as
// the player goes", which here is the top of the range.
constexpr double kMinRate = 1.0;
constexpr double kMaxRate = 120.0;

int clockInterval(double rate)
{
    if (!(rate > 0))
        rate = kMaxRate;
    rate = std::clamp(rate, kMinRate, kMaxRate);
    return std::max(1, static_cast<int>(std::lround(1000.0 / rate)));
}

} // namespace

struct Player::Impl {
    QString url;
    ReadyState state = Empty;
    int percent = 0;
    QString error;
    bool autoplay = true;
    bool loop = true;

    std::unique_ptr<Stage> stage;
    Renderer renderer;
    QTimer clock;
    QNetworkAccessManager* network = nullptr; // made on the first web load
    QPointer<MovieDownload> download;
    // Bumped by every load: work queued for an older load sees the change and drops out.
    quint64 generation = 0;
};

Player::Player(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Impl>())
{
    d->clock.setTimerType(Qt::PreciseTimer);
    connect(&d->clock, &QTimer::timeout, this, &Player::advanceFrame);
}

Player::~Player()
{
    delete d->download;
}

void Player::load(const QString& url)
{
    // The old movie goes at once, whatever becomes of the new one.
    const quint64 generation = ++d->generation;
    delete d->download;
    d->clock.stop();
    d->stage.reset();
    d->url = url;
    d->error.clear();
    d->percent = 0;
    d->state = Loading;
    emit frameChanged();
    emit readyStateChanged(Loading);
    if (generation != d->generation)
        return;

    const MovieLocation location = MovieLocation::resolve(url);
    if (location.kind == MovieLocation::Kind::Web) {
        if (!d->network)
            d->network = new QNetworkAccessManager(this);
        auto* download = new MovieDownload(*d->network, location.url, kMaxFileSize, this);
        d->download = download;
        connect(download, &MovieDownload::progress, this, [this](int percent) { d->percent = percent; });
        connect(download, &MovieDownload::finished, this, [this, download](const QByteArray& bytes) {
            download->deleteLater();
            finishLoad(bytes);
        });
        connect(download, &MovieDownload::failed, this, [this, download, url](const QString& reason) {
            download->deleteLater();
            failLoad(QStringLiteral("无法下载动画文件：%1（%2）").arg(url, reason));
        });
        return;
    }

    // Reading waits for the event loop, so that the caller sees Loading before Complete
    // as it does with the original control.
    QTimer::singleShot(0, this, [this, generation, path = location.path] {
        if (generation != d->generation)
            return;
        QFile file(path);
        if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
            failLoad(QStringLiteral("无法打开动画文件：%1").arg(path));
            return;
        }
        if (file.size() > kMaxFileSize) {
            failLoad(QStringLiteral("动画文件太大：%1").arg(path));
            return;
        }
        const QByteArray bytes = file.read(kMaxFileSize);
        if (file.error() != QFileDevice::NoError) {
            failLoad(QStringLiteral("无法打开动画文件：%1").arg(path));
            return;
        }
        finishLoad(bytes);
    });
}

void Player::finishLoad(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    Result<Movie> parsed = parseMovie(std::span<const uint8_t>(data, static_cast<std::size_t>(bytes.size())));
    if (!parsed) {
        failLoad(
            QStringLiteral("不是有效的 Flash 动画：%1").arg(QString::fromStdString(parsed.error().message)));
        return;
    }
    auto movie = std::make_shared<const Movie>(std::move(*parsed));
    d->stage = std::make_unique<Stage>(movie);
    d->stage->root().setEndMode(d->loop ? MovieClip::EndMode::Loop : MovieClip::EndMode::Stop);
    d->stage->start();
    if (!d->autoplay)
        d->stage->root().stop();
    d->percent = 100;
    d->state = Complete;
    // The clock runs while a movie is shown: stopping the main timeline leaves the
    // clips inside it playing, as in the original control.
    d->clock.start(clockInterval(movie->header.frameRate));
    const quint64 generation = d->generation;
    emit frameChanged();
    if (generation == d->generation)
        emit readyStateChanged(Complete);
}

void Player::failLoad(const QString& message)
{
    d->stage.reset();
    d->clock.stop();
    d->error = message;
    d->state = Complete;
    const quint64 generation = d->generation;
    emit frameChanged();
    emit loadFailed(message);
    if (generation == d->generation)
        emit readyStateChanged(Complete);
}

QString Player::url() const
{
    return d->url;
}

Player::ReadyState Player::readyState() const
{
    return d->state;
}

int Player::percentLoaded() const
{
    return d->percent;
}

QString Player::errorString() const
{
    return d->error;
}

void Player::setAutoplay(bool on)
{
    d->autoplay = on;
}

void Player::setLoop(bool on)
{
    d->loop = on;
    if (d->stage)
        d->stage->root().setEndMode(on ? MovieClip::EndMode::Loop : MovieClip::EndMode::Stop);
}

bool Player::isPlaying() const
{
    return d->stage && d->stage->root().isPlaying();
}

void Player::play()
{
    if (d->stage)
        d->stage->root().play();
}

void Player::stop()
{
    if (d->stage)
        d->stage->root().stop();
}

void Player::rewind()
{
    if (!d->stage)
        return;
    d->stage->root().gotoFrame(0);
    d->stage->root().stop();
    emit frameChanged();
}

void Player::gotoFrame(int frame)
{
    if (!d->stage)
        return;
    d->stage->root().gotoFrame(frame);
    emit frameChanged();
}

int Player::currentFrame() const
{
    return d->stage ? std::max(0, d->stage->root().currentFrame()) : 0;
}

int Player::totalFrames() const
{
    return d->stage ? d->stage->root().frameCount() : 0;
}

double Player::frameRate() const
{
    return d->stage ? d->stage->movie().header.frameRate : 0.0;
}

void Player::advanceFrame()
{
    if (!d->stage)
        return;
    d->stage->advance();
    emit frameChanged();
}

QSize Player::movieSize() const
{
    if (!d->stage)
        return {};
    const Rect& frame = d->stage->movie().header.frameSize;
    return QSize(static_cast<int>(std::lround(frame.width() / 20.0)),
        static_cast<int>(std::lround(frame.height() / 20.0)));
}

QColor Player::backgroundColor() const
{
    if (!d->stage)
        return Qt::white;
    const Rgba c = d->stage->background();
    return QColor(c.r, c.g, c.b);
}

void Player::render(QPainter& painter, const QRect& target) const
{
    if (!d->stage) {
        painter.fillRect(target, Qt::white);
        return;
    }
    d->renderer.render(painter, *d->stage, QRectF(target));
}

QImage Player::renderImage(const QSize& size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    render(painter, image.rect());
    return image;
}

} // namespace swf
