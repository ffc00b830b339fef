#include "Player.h"

#include "MovieLoader.h"
#include "MovieLocation.h"

#include "swf/display/Stage.h"
#include "swf/format/Decompress.h"
#include "swf/format/Parser.h"
#include "swf/render/Renderer.h"
#include "swf/render/ShowAll.h"
#include "swf/script/ScriptEngine.h"
#include "swf/sound/SoundEngine.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

// A movie file is never read past this: the largest body the decoder produces, plus its
// header. Anything larger is not a movie of the era this player serves.
constexpr qint64 kMaxFileSize = qint64(kMaxBodySize) + 8;

// The real services of a player that was given none, the sound going to `output` or
// nowhere.
struct OwnServices {
    explicit OwnServices(SoundOutput* output = nullptr)
        : services { loader, output ? *output : sound, random, clock }
    {
    }
    StandardLoader loader { kMaxFileSize };
    NullSoundOutput sound;
    SystemRandom random;
    SystemWallClock clock;
    Services services;
};

// While a stream leads, at most this much of its sound is caught up in one call: a movie
// whose frames cost more than they last falls behind its sound, but is never frozen.
constexpr double kMaxStreamCatchUpSeconds = 1.0;

} // namespace

struct Player::Impl final : script::ScriptHost {
    Player* owner = nullptr;
    std::unique_ptr<OwnServices> own;
    Services services;

    QString url;
    ReadyState state = Empty;
    int percent = 0;
    qint64 received = 0;
    QString error;
    bool autoplay = true;
    bool loop = true;
    ClockMode clockMode = ClockMode::Wall;

    std::unique_ptr<LoadJob> job;
    std::unique_ptr<MovieStream> stream;
    std::unique_ptr<Stage> stage;
    std::unique_ptr<SoundEngine> sound; // goes before the stage it hears
    // Lives with the stage and goes before it and the sound engine its Sound objects use.
    std::unique_ptr<script::ScriptEngine> script;
    QString unsupported;
    int64_t framesRun = 0;
    mutable Renderer renderer;
    FrameClock clock;
    QTimer timer;
    QElapsedTimer wall;
    qint64 lastTick = 0; // wall nanoseconds of the last clock tick
    bool leading = false; // a stream sound leads the clock
    // Bumped by every load: work queued for an older load sees the change and drops out.
    quint64 generation = 0;

    explicit Impl(const Services& s)
        : services(s)
    {
    }

    void dropStage()
    {
        script.reset();
        sound.reset();
        stage.reset();
    }

    // ---- What the movie's scripts tell the player ----
    void trace(const QString& line) override { emit owner->traced(line); }
    void fsCommand(const QString& command, const QString& args) override { emit owner->fsCommand(command, args); }
    void openUrl(const QString& url, const QString& window) override { emit owner->openUrlRequested(url, window); }
    void scriptStopped(const QString& message) override { emit owner->scriptStopped(message); }
    SoundEngine* soundEngine() override { return sound.get(); }
    bool steppedClock() const override { return clockMode == ClockMode::Manual; }
    // The engine's clock: by the frames run when the tool steps the movie, by the time
    // that passed when it plays by the wall clock.
    int64_t timerMillis() const override
    {
        if (clockMode == ClockMode::Manual || !wall.isValid())
            return framesRun * 1000 / std::max(1.0, clock.rate()) ;
        return wall.elapsed();
    }
    int64_t timersDueMillis() const override
    {
        if (clockMode == ClockMode::Manual || !wall.isValid())
            return (framesRun + 1) * 1000 / std::max(1.0, clock.rate());
        return wall.elapsed();
    }
};

Player::Player(QObject* parent)
    : QObject(parent)
{
    auto own = std::make_unique<OwnServices>();
    d = std::make_unique<Impl>(own->services);
    d->owner = this;
    d->own = std::move(own);
    d->timer.setSingleShot(true);
    d->timer.setTimerType(Qt::PreciseTimer);
    connect(&d->timer, &QTimer::timeout, this, &Player::clockTick);
}

Player::Player(SoundOutput& sound, QObject* parent)
    : QObject(parent)
{
    auto own = std::make_unique<OwnServices>(&sound);
    d = std::make_unique<Impl>(own->services);
    d->own = std::move(own);
    d->timer.setSingleShot(true);
    d->timer.setTimerType(Qt::PreciseTimer);
    connect(&d->timer, &QTimer::timeout, this, &Player::clockTick);
}

Player::Player(const Services& services, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Impl>(services))
{
    d->owner = this;
    d->timer.setSingleShot(true);
    d->timer.setTimerType(Qt::PreciseTimer);
    connect(&d->timer, &QTimer::timeout, this, &Player::clockTick);
}

// The stage goes before the services it may use, the job before anything it reports to.
Player::~Player()
{
    d->job.reset();
    d->dropStage();
}

void Player::load(const QString& url)
{
    // The old movie goes at once, whatever becomes of the new one.
    const quint64 generation = ++d->generation;
    d->job.reset();
    d->timer.stop();
    d->dropStage();
    d->unsupported.clear();
    d->stream = std::make_unique<MovieStream>();
    d->url = url;
    d->error.clear();
    d->percent = 0;
    d->received = 0;
    d->state = Loading;
    emit frameChanged();
    emit readyStateChanged(Loading);
    if (generation != d->generation)
        return;

    const MovieLocation location = MovieLocation::resolve(url);
    d->job = d->services.loader.open(location);
    LoadJob* job = d->job.get();
    connect(job, &LoadJob::received, this, &Player::received);
    connect(job, &LoadJob::finished, this, &Player::loadFinished);
    connect(job, &LoadJob::failed, this,
        [this, url, web = location.kind == MovieLocation::Kind::Web](const QString& reason) {
            loadStopped(web ? QStringLiteral("无法下载动画文件：%1（%2）").arg(url, reason) : reason);
        });
}

void Player::received(const QByteArray& bytes, qint64 total)
{
    d->received += bytes.size();
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    if (auto read = d->stream->append(std::span<const uint8_t>(data, static_cast<std::size_t>(bytes.size())));
        !read) {
        failLoad(
            QStringLiteral("不是有效的 Flash 动画：%1").arg(QString::fromStdString(read.error().message)));
        return;
    }
    // The last percent waits for the end of the file.
    if (total > 0)
        d->percent = static_cast<int>(std::clamp<qint64>(d->received * 100 / total, 0, 99));
    if (!d->stage && d->stream->movie() && d->stream->framesLoaded() > 0)
        startPlaying();
}

void Player::loadFinished()
{
    d->job.release()->deleteLater();
    if (auto done = d->stream->finish(); !done) {
        failLoad(
            QStringLiteral("不是有效的 Flash 动画：%1").arg(QString::fromStdString(done.error().message)));
        return;
    }
    if (!d->stage)
        startPlaying();
    setComplete();
}

// The transfer broke off. What arrived of the movie plays on, as far as it goes; a movie
// of which nothing arrived is a failed load.
void Player::loadStopped(const QString& message)
{
    d->job.release()->deleteLater();
    if (!d->stage) {
        failLoad(message);
        return;
    }
    (void)d->stream->finish();
    d->error = message;
    const quint64 generation = d->generation;
    emit loadFailed(message);
    if (generation == d->generation)
        setComplete();
}

void Player::setComplete()
{
    d->percent = 100;
    d->state = Complete;
    emit readyStateChanged(Complete);
}

void Player::startPlaying()
{
    std::shared_ptr<const Movie> movie = d->stream->movie();
    d->stage = std::make_unique<Stage>(movie);
    d->stage->setStepped(d->clockMode == ClockMode::Manual);
    d->framesRun = 0;
    if (movie->usesActionScript3())
        d->unsupported = QStringLiteral("此动画使用 ActionScript 3（Flash Player 9 及以上），本播放器无法播放。");
    else
        d->script = std::make_unique<script::ScriptEngine>(*d->stage, d->services, *d);
    if (d->script)
        d->script->setMovieUrl(d->url);
    d->stage->root().setEndMode(d->loop ? MovieClip::EndMode::Loop : MovieClip::EndMode::Stop);
    // The clock runs while a movie is shown: stopping the main timeline leaves the
    // clips inside it playing, as in the original control.
    d->clock.reset(movie->header.frameRate);
    d->sound = std::make_unique<SoundEngine>(*d->stage, d->services, d->clock.rate());
    d->stage->start();
    if (!d->autoplay) {
        d->stage->root().stop();
        d->sound->pause();
    }
    d->sound->frameShown();
    d->wall.start();
    d->lastTick = 0;
    scheduleClock();
    emit frameChanged();
}

void Player::failLoad(const QString& message)
{
    if (d->job) {
        d->job->disconnect(this);
        d->job.release()->deleteLater();
    }
    d->dropStage();
    d->timer.stop();
    d->error = message;
    d->state = Complete;
    const quint64 generation = d->generation;
    emit frameChanged();
    emit loadFailed(message);
    if (generation == d->generation)
        emit readyStateChanged(Complete);
}

// ---- The clock ---------------------------------------------------------------------------

void Player::setClockMode(ClockMode mode)
{
    d->clockMode = mode;
    if (d->stage)
        d->stage->setStepped(mode == ClockMode::Manual);
    if (mode == ClockMode::Manual)
        d->timer.stop();
    else
        scheduleClock();
}

void Player::scheduleClock()
{
    if (d->clockMode != ClockMode::Wall || !d->stage)
        return;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(d->clock.untilNextFrame());
    // A stream that leads is asked again a little later at the soonest: its sound moves
    // on in the output's steps, not the timer's.
    d->timer.start(std::max<int>(d->leading ? 4 : 1, static_cast<int>(wait.count())));
}

void Player::clockTick()
{
    const qint64 now = d->wall.nsecsElapsed();
    const qint64 elapsed = now - d->lastTick;
    d->lastTick = now;
    advance(FrameClock::Duration(elapsed));
    scheduleClock();
}

void Player::advance(FrameClock::Duration elapsed)
{
    if (!d->stage)
        return;
    int frames = 0;
    const auto lead = d->sound->lead();
    d->leading = lead.has_value();
    if (lead) {
        // The stream's sound is the clock: every frame it has reached runs, drawn once.
        const int most = std::max(FrameClock::kMaxCatchUp, static_cast<int>(d->clock.rate() * kMaxStreamCatchUpSeconds));
        const int64_t behind = static_cast<int64_t>(lead->tick) - static_cast<int64_t>(d->stage->tick());
        frames = static_cast<int>(std::clamp<int64_t>(behind, 0, most));
        d->clock.follow(frames, behind > most ? FrameClock::Duration(0) : lead->intoTick);
    } else {
        frames = d->clock.advance(elapsed);
    }
    for (int i = 0; i < frames && d->stage; ++i) {
        ++d->framesRun;
        d->stage->advance();
        if (d->sound)
            d->sound->frameShown();
    }
    if (frames > 0 && d->stage) {
        d->stage->input().refresh();
        emit frameChanged();
    }
}

void Player::advanceFrame()
{
    if (!d->stage)
        return;
    ++d->framesRun;
    d->stage->advance();
    if (!d->stage)
        return;
    d->sound->frameShown();
    d->stage->input().refresh();
    emit frameChanged();
}

int Player::localLoadsPending() const
{
    return d->script ? d->script->pendingLocalLoads() : 0;
}

const FrameClock& Player::clock() const
{
    return d->clock;
}

// ---- State and playback --------------------------------------------------------------------

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

qint64 Player::bytesLoaded() const
{
    return d->received;
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
    if (!d->stage)
        return;
    d->stage->root().play();
    d->sound->resume();
}

void Player::stop()
{
    if (!d->stage)
        return;
    d->stage->root().stop();
    d->sound->pause();
}

void Player::rewind()
{
    if (!d->stage)
        return;
    d->sound->stopAll();
    d->stage->root().gotoFrame(0);
    d->stage->root().stop();
    d->sound->pause();
    emit frameChanged();
}

void Player::gotoFrame(int frame)
{
    if (!d->stage)
        return;
    MovieClip& root = d->stage->root();
    if (std::clamp(frame, 0, std::max(0, root.framesLoaded() - 1)) != root.currentFrame())
        d->sound->stopAll();
    root.gotoFrame(frame);
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

int Player::framesLoaded() const
{
    return d->stage ? d->stage->root().framesLoaded() : 0;
}

double Player::frameRate() const
{
    return d->stage ? d->clock.rate() : 0.0;
}

// ---- Input -------------------------------------------------------------------------------

QPointF Player::stagePoint(QPointF point, const QRectF& target) const
{
    if (!d->stage)
        return point;
    const QTransform view = showAllTransform(d->stage->movie().header.frameSize, target);
    return view.isInvertible() ? view.inverted().map(point) : QPointF(-1e9, -1e9);
}

void Player::pointerMove(QPointF stageTwips)
{
    if (!d->stage)
        return;
    d->stage->input().move(stageTwips);
    emit frameChanged();
}

void Player::pointerPress()
{
    if (!d->stage)
        return;
    d->stage->input().press();
    emit frameChanged();
}

void Player::pointerRelease()
{
    if (!d->stage)
        return;
    d->stage->input().release();
    emit frameChanged();
}

void Player::wheel(int delta)
{
    if (d->stage)
        d->stage->input().wheel(delta);
}

void Player::keyDown(int keyCode, char32_t character)
{
    if (d->stage)
        d->stage->input().keyDown(keyCode, character);
}

void Player::keyUp(int keyCode, char32_t character)
{
    if (d->stage)
        d->stage->input().keyUp(keyCode, character);
}

Cursor Player::cursor() const
{
    return d->stage ? d->stage->input().cursor() : Cursor::Arrow;
}

Stage* Player::stage()
{
    return d->stage.get();
}

SoundEngine* Player::sound()
{
    return d->sound.get();
}

const Stage* Player::stage() const
{
    return d->stage.get();
}

// ---- Drawing -----------------------------------------------------------------------------

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
    if (!d->unsupported.isEmpty()) {
        painter.save();
        painter.fillRect(target, QColor(255, 255, 255, 230));
        painter.setPen(Qt::black);
        QFont font = painter.font();
        font.setPixelSize(std::clamp(target.height() / 20, 12, 28));
        painter.setFont(font);
        painter.drawText(target.adjusted(16, 16, -16, -16), Qt::AlignCenter | Qt::TextWordWrap, d->unsupported);
        painter.restore();
    }
}

QString Player::unsupportedMessage() const
{
    return d->unsupported;
}

void Player::setAntialiased(bool on)
{
    d->renderer.setAntialiased(on);
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
