#pragma once

#include "FrameClock.h"
#include "Services.h"

#include "swf/display/PointerInput.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QPainter;

namespace swf {

class SoundEngine;
class Stage;

// One movie playing: loading from a local file or an http(s) URL while it plays, the
// engine's frame clock, autoplay and loop, the playback operations, input, and drawing
// the stage. Frames are counted from 0 in this interface.
//
// The window and the command-line tool both play through this class: the window lets
// the clock follow the time that passes, the tool steps it a frame at a time.
class Player : public QObject {
    Q_OBJECT
public:
    // The states reported while a movie loads: Loading while bytes arrive (the movie plays
    // as soon as its first frame is in), Complete when the whole file is read (or failed).
    enum ReadyState { Empty = 0, Loading = 3, Complete = 4 };
    // Wall: the player's own timer runs the clock by the time that passes. Manual: only
    // advance() and advanceFrame() move the movie.
    enum class ClockMode { Wall, Manual };

    // With the real services (files and the web, the system's clock and random numbers);
    // the sound goes nowhere.
    explicit Player(QObject* parent = nullptr);
    // With the real services, the sound going to `sound`, which must outlive the player.
    explicit Player(SoundOutput& sound, QObject* parent = nullptr);
    // With the caller's services, which must outlive the player.
    explicit Player(const Services& services, QObject* parent = nullptr);
    ~Player() override;

    // Replaces the shown movie. `url` is "file://" followed by a local path (taken
    // verbatim after the prefix: blanks, Chinese and backslashes are allowed), an
    // http:// or https:// URL, or a bare local path. Loading is asynchronous: the state
    // goes to Loading at once and to Complete when the whole file is in. A movie that
    // cannot be read leaves an empty stage and reports loadFailed; the player goes on.
    void load(const QString& url);
    QString url() const;
    ReadyState readyState() const;
    int percentLoaded() const; // 0..100, of the bytes of the file
    qint64 bytesLoaded() const;
    QString errorString() const; // why the last load failed; empty when it did not

    void setAutoplay(bool on);
    void setLoop(bool on);
    void setClockMode(ClockMode mode);
    bool isPlaying() const;
    // Plays on; sound paused by stop() goes on where it was.
    void play();
    // Stops the main timeline and pauses every sound (clips inside keep moving, silent).
    void stop();
    // Back to the first frame, stopped; the sounds playing are stopped.
    void rewind();
    // 0-based; clamped to the frames loaded. A jump to another frame stops the sounds
    // playing, so that the frame's own sounds and streams start from there, once.
    void gotoFrame(int frame);
    int currentFrame() const; // 0-based; 0 when no movie is loaded
    int totalFrames() const; // 0 when no movie is loaded; the declared count while loading
    int framesLoaded() const;
    double frameRate() const; // what the clock runs at

    // Time passed on the engine's clock: runs the frames now due (see FrameClock). While a
    // stream sound plays on a real-time output, the frames due are those its sound has
    // reached instead, all of them run however late drawing is.
    void advance(FrameClock::Duration elapsed);
    // Runs one frame of the whole tree now.
    void advanceFrame();
    const FrameClock& clock() const;

    // Input, in stage twips. stagePoint() maps a point of a target drawn by render().
    QPointF stagePoint(QPointF point, const QRectF& target) const;
    void pointerMove(QPointF stageTwips);
    void pointerPress();
    void pointerRelease();
    void wheel(int delta);
    void keyDown(int keyCode, char32_t character = 0);
    void keyUp(int keyCode, char32_t character = 0);
    Cursor cursor() const;

    // The display tree of the movie shown; null while there is none.
    Stage* stage();
    const Stage* stage() const;
    // The sound of the movie shown (for scripts' Sound objects); null while there is none.
    SoundEngine* sound();

    QSize movieSize() const; // pixels; empty when no movie is loaded
    QColor backgroundColor() const;
    // Draws the stage scaled to fit `target` with its aspect kept, centred ("ShowAll"),
    // the rest of `target` filled with the background colour.
    void render(QPainter& painter, const QRect& target) const;
    QImage renderImage(const QSize& size) const;
    // Edges drawn smooth (anti-aliased), as at quality "High"; off for "Low".
    void setAntialiased(bool on);

    // Files of the local disk that the movie's scripts asked for and that have not come
    // in yet (they do within a few turns of the event loop).
    int localLoadsPending() const;

    // Why the movie shown cannot play (an ActionScript 3 movie), or empty.
    QString unsupportedMessage() const;

signals:
    void readyStateChanged(int state);
    void frameChanged(); // the picture changed; repaint
    void loadFailed(const QString& message);
    // What the movie's scripts say: trace() lines, fscommand() calls, getURL() to a
    // browser window, and a script stopped for breaking a limit.
    void traced(const QString& line);
    void fsCommand(const QString& command, const QString& args);
    void openUrlRequested(const QString& url, const QString& window);
    void scriptStopped(const QString& message);

private:
    void received(const QByteArray& bytes, qint64 total);
    void loadFinished();
    void loadStopped(const QString& message);
    void startPlaying();
    void scheduleClock();
    void clockTick();
    void failLoad(const QString& message);
    void setComplete();

    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace swf
