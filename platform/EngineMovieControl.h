#pragma once

#include "MovieControl.h"

#include "swf/player/Player.h"

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

private:
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
};

} // namespace platform
