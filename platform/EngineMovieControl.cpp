#include "EngineMovieControl.h"

#include <QPainter>

namespace platform {

EngineMovieControl::EngineMovieControl(QWidget* parent)
    : MovieControl(parent)
{
    player_.setAutoplay(true);
    player_.setLoop(true);
    // The stage is painted in full on every frame, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&player_, &swf::Player::readyStateChanged, this, &MovieControl::OnReadyStateChange);
    // A movie that cannot be read leaves an empty stage and a frame change; nothing is
    // shown modally, the control simply has no movie until the next load.
    connect(&player_, &swf::Player::frameChanged, this, qOverload<>(&QWidget::update));
}

void EngineMovieControl::setQuality2(const QString& quality)
{
    quality_ = quality;
    update();
}

void EngineMovieControl::setWMode(const QString& mode)
{
    windowMode_ = mode;
}
void EngineMovieControl::setBackgroundColor(int colour)
{
    backgroundColor_ = colour;
}

void EngineMovieControl::setBGColor(const QString& colour)
{
    bool ok = false;
    const int value = colour.trimmed().toInt(&ok, 10);
    if (ok && value == -1) {
        backgroundColor_ = -1;
        return;
    }
    // "#RRGGBB" or "RRGGBB", as the original control took it.
    QString hex = colour.trimmed();
    if (hex.startsWith(u'#'))
        hex.remove(0, 1);
    const int rgb = hex.toInt(&ok, 16);
    if (ok && hex.size() <= 6)
        backgroundColor_ = rgb;
}

void EngineMovieControl::LoadMovie(int layer, const QString& url)
{
    // The engine plays one movie; the player only ever loads into layer 0, the movie
    // itself, and other layers have nothing to show into.
    if (layer != 0)
        return;
    movie_ = url;
    player_.load(url);
}

QString EngineMovieControl::Movie() const
{
    return movie_;
}
bool EngineMovieControl::IsPlaying() const
{
    return player_.isPlaying();
}
void EngineMovieControl::Play()
{
    player_.play();
}
void EngineMovieControl::Stop()
{
    player_.stop();
}
void EngineMovieControl::StopPlay()
{
    player_.stop();
}

void EngineMovieControl::Rewind()
{
    player_.rewind();
    update();
}

void EngineMovieControl::setPlaying(bool playing)
{
    if (playing)
        player_.play();
    else
        player_.stop();
}

void EngineMovieControl::GotoFrame(int frame)
{
    player_.gotoFrame(frame);
    update();
}

int EngineMovieControl::CurrentFrame() const
{
    return player_.currentFrame();
}
int EngineMovieControl::TotalFrames() const
{
    return player_.totalFrames();
}
int EngineMovieControl::PercentLoaded() const
{
    return player_.percentLoaded();
}

bool EngineMovieControl::antialiased() const
{
    return quality_.compare(u"Low", Qt::CaseInsensitive) != 0
        && quality_.compare(u"AutoLow", Qt::CaseInsensitive) != 0;
}

void EngineMovieControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool smooth = antialiased();
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    player_.render(painter, rect());
}

} // namespace platform
