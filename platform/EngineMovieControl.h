#pragma once

#include "MovieControl.h"

#include "swf/player/Player.h"

class QMenu;

namespace platform {

// The real movie control: a widget that plays one movie on our own engine and paints its
// frames scaled to fit ("ShowAll"). It is created with autoplay and loop on, quality
// "High" and window mode "Window", so that a loaded movie starts by itself and loops.
class EngineMovieControl final : public MovieControl {
    Q_OBJECT
public:
    // The movie's sound goes to `sound` (which must outlive the control), or nowhere.
    explicit EngineMovieControl(QWidget* parent = nullptr, swf::SoundOutput* sound = nullptr);

    void setQuality2(const QString& quality) override;
    void setWMode(const QString& mode) override;
    void setBackgroundColor(int colour) override;
    void setBGColor(const QString& colour) override;
    void LoadMovie(int layer, const QString& url) override;
    QString Movie() const override;

    bool IsPlaying() const override;
    void Play() override;
    void Stop() override;
    void StopPlay() override;
    void Rewind() override;
    void setPlaying(bool playing) override;
    void GotoFrame(int frame) override;
    int CurrentFrame() const override;
    int TotalFrames() const override;
    int PercentLoaded() const override;

    QString quality() const { return quality_; }
    QString windowMode() const { return windowMode_; }
    // Why the last movie could not be shown; empty while all is well.
    QString errorString() const { return player_.errorString(); }

    // The engine behind the control, for tests and tools that look inside.
    swf::Player& player() { return player_; }

    // The control's own menu on a right click at `at` (the control's pixels): zoom, quality
    // and playback, as the movie control always offered them. The caller shows it and owns it.
    QMenu* createContextMenu(QPoint at);
    // How far the movie is zoomed in: 1 shows it all.
    double zoom() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The pointer, the wheel and the keys go on to the movie, in its own coordinates.
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Where the movie is drawn: the whole control, or a larger area around it when zoomed.
    QRectF viewRect() const;
    void zoomBy(double factor, QPointF at);
    void stepFrames(int step);
    bool antialiased() const;
    void pointerAt(QPointF position);
    void key(QKeyEvent* event, bool down);

    swf::NullSoundOutput noSound_;
    swf::Player player_;
    QString movie_;
    QString quality_ = QStringLiteral("High");
    QString windowMode_ = QStringLiteral("Window");
    // Only -1 (the movie's own background) is ever asked for; other colours are kept so
    // that a read-back sees them, but the stage always shows the movie's background.
    int backgroundColor_ = -1;
    // Where the zoomed movie is drawn, for the control's size then; a new size shows it all.
    QRectF zoomView_;
    QSize zoomedAt_;
    bool loop_ = true;
};

} // namespace platform
