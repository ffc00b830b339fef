#include "EngineMovieControl.h"

#include "swf/player/KeyCodes.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace platform {

EngineMovieControl::EngineMovieControl(QWidget* parent, swf::SoundOutput* sound)
    : MovieControl(parent)
    , player_(sound ? *sound : noSound_)
{
    player_.setAutoplay(true);
    player_.setLoop(true);
    // The stage is painted in full on every frame, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The movie hears the pointer move without a button held, and keys once clicked.
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
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
    player_.setAntialiased(smooth);
    player_.render(painter, rect());
}

void EngineMovieControl::pointerAt(QPointF position)
{
    player_.pointerMove(player_.stagePoint(position, QRectF(rect())));
    setCursor(player_.cursor() == swf::Cursor::Hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void EngineMovieControl::mouseMoveEvent(QMouseEvent* event)
{
    pointerAt(event->position());
}

void EngineMovieControl::mousePressEvent(QMouseEvent* event)
{
    // The right button belongs to the window's menu; the movie takes the left one.
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pointerAt(event->position());
    player_.pointerPress();
}

void EngineMovieControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pointerAt(event->position());
    player_.pointerRelease();
    setCursor(player_.cursor() == swf::Cursor::Hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void EngineMovieControl::wheelEvent(QWheelEvent* event)
{
    // One notch of a wheel is 120 eighths of a degree; movies count notches of 3 lines.
    player_.wheel(event->angleDelta().y() / 40);
}

void EngineMovieControl::key(QKeyEvent* event, bool down)
{
    const QString text = event->text();
    const char32_t character = text.isEmpty() ? 0 : text.toUcs4().value(0);
    if (down)
        player_.keyDown(swf::movieKeyCode(event->key()), character);
    else
        player_.keyUp(swf::movieKeyCode(event->key()), character);
}

void EngineMovieControl::keyPressEvent(QKeyEvent* event)
{
    key(event, true);
}

void EngineMovieControl::keyReleaseEvent(QKeyEvent* event)
{
    key(event, false);
}

void EngineMovieControl::leaveEvent(QEvent*)
{
    // Off the control the pointer is over nothing of the movie.
    player_.pointerMove(QPointF(-1e9, -1e9));
}

} // namespace platform
