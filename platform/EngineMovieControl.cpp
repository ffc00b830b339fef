#include "EngineMovieControl.h"

#include "swf/player/KeyCodes.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace platform {

namespace {

// Zooming in stops at twenty times the control's size.
constexpr double MaxZoom = 20.0;

} // namespace

EngineMovieControl::EngineMovieControl(QWidget* parent, swf::SoundOutput* sound)
    : MovieControl(parent)
    , player_(sound ? *sound : noSound_)
{
    player_.setAutoplay(true);
    player_.setLoop(loop_);
    // The stage is painted in full on every frame, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The movie hears the pointer move without a button held, and keys once clicked.
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    connect(&player_, &swf::Player::readyStateChanged, this, &MovieControl::OnReadyStateChange);
    connect(&player_, &swf::Player::fsCommand, this, &MovieControl::FSCommand);
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
    painter.setClipRect(rect());
    player_.render(painter, viewRect().toAlignedRect());
}

void EngineMovieControl::pointerAt(QPointF position)
{
    player_.pointerMove(player_.stagePoint(position, QRectF(viewRect().toAlignedRect())));
    setCursor(player_.cursor() == swf::Cursor::Hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void EngineMovieControl::mouseMoveEvent(QMouseEvent* event)
{
    pointerAt(event->position());
}

void EngineMovieControl::mousePressEvent(QMouseEvent* event)
{
    // The right button opens the control's own menu; the movie takes the left one.
    if (event->button() != Qt::LeftButton) {
        if (event->button() != Qt::RightButton)
            event->ignore();
        return;
    }
    pointerAt(event->position());
    player_.pointerPress();
}

void EngineMovieControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        if (event->button() != Qt::RightButton)
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

QRectF EngineMovieControl::viewRect() const
{
    return zoomView_.isNull() || zoomedAt_ != size() ? QRectF(rect()) : zoomView_;
}

double EngineMovieControl::zoom() const
{
    return width() > 0 ? viewRect().width() / width() : 1.0;
}

// The point `at` stays where it is on the screen. Zoomed out to the control's size or
// beyond, the whole movie shows again.
void EngineMovieControl::zoomBy(double factor, QPointF at)
{
    const QRectF view = viewRect();
    const QRectF next(at + (view.topLeft() - at) * factor, view.size() * factor);
    if (next.width() <= width() + 0.5) {
        zoomView_ = QRectF();
    } else if (next.width() <= width() * MaxZoom) {
        zoomView_ = next;
        zoomedAt_ = size();
    }
    update();
}

// One frame on or back, stopped there.
void EngineMovieControl::stepFrames(int step)
{
    player_.stop();
    GotoFrame(player_.currentFrame() + step);
}

QMenu* EngineMovieControl::createContextMenu(QPoint at)
{
    auto* menu = new QMenu(this);
    const bool zoomedIn = viewRect() != QRectF(rect());
    const QPointF point(at);
    menu->addAction(QStringLiteral("放大"), this, [this, point] { zoomBy(2.0, point); })
        ->setEnabled(zoom() * 2.0 <= MaxZoom);
    menu->addAction(QStringLiteral("缩小"), this, [this, point] { zoomBy(0.5, point); })
        ->setEnabled(zoomedIn);
    QAction* showAll = menu->addAction(QStringLiteral("全部显示"), this, [this] {
        zoomView_ = QRectF();
        update();
    });
    showAll->setCheckable(true);
    showAll->setChecked(!zoomedIn);
    menu->addSeparator();

    QMenu* quality = menu->addMenu(QStringLiteral("品质"));
    auto* qualities = new QActionGroup(quality);
    const struct {
        const char* caption;
        const char* value;
    } levels[] = { { "低", "Low" }, { "中", "Medium" }, { "高", "High" } };
    for (const auto& level : levels) {
        const QString value = QString::fromLatin1(level.value);
        QAction* choice = quality->addAction(
            QString::fromUtf8(level.caption), this, [this, value] { setQuality2(value); });
        choice->setCheckable(true);
        choice->setChecked(quality_.compare(value, Qt::CaseInsensitive) == 0);
        qualities->addAction(choice);
    }
    menu->addSeparator();

    // The playback items need a movie; a movie of one frame has nothing to play or step.
    const int frames = player_.totalFrames();
    const int frame = player_.currentFrame();
    const bool playable = frames > 1;
    QAction* play
        = menu->addAction(QStringLiteral("播放"), this, [this] { setPlaying(!player_.isPlaying()); });
    play->setCheckable(true);
    play->setChecked(player_.isPlaying());
    play->setEnabled(playable);
    QAction* loop = menu->addAction(QStringLiteral("循环"), this, [this] {
        loop_ = !loop_;
        player_.setLoop(loop_);
    });
    loop->setCheckable(true);
    loop->setChecked(loop_);
    loop->setEnabled(playable);
    menu->addSeparator();
    menu->addAction(QStringLiteral("倒带"), this, [this] { Rewind(); })->setEnabled(playable && frame > 0);
    menu->addAction(QStringLiteral("前进"), this, [this] { stepFrames(1); })
        ->setEnabled(playable && frame < frames - 1);
    menu->addAction(QStringLiteral("后退"), this, [this] { stepFrames(-1); })
        ->setEnabled(playable && frame > 0);
    return menu;
}

void EngineMovieControl::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

} // namespace platform
