#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QPainter;

namespace swf {

// One movie playing: loading from a local file or an http(s) URL, the frame clock at the
// movie's rate, autoplay and loop, the playback operations, and drawing the stage.
// Frames are counted from 0 in this interface.
class Player : public QObject {
    Q_OBJECT
public:
    // The states reported while a movie loads: Loading while bytes arrive,
    // Complete when the movie is parsed and playing (or failed to parse).
    enum ReadyState { Empty = 0, Loading = 3, Complete = 4 };

    explicit Player(QObject* parent = nullptr);
    ~Player() override;

    // Replaces the shown movie. `url` is "file://" followed by a local path (taken
    // verbatim after the prefix: blanks, Chinese and backslashes are allowed), an
    // http:// or https:// URL, or a bare local path. Loading is asynchronous: the state
    // goes to Loading at once and to Complete when the movie can play. A movie that
    // cannot be read leaves an empty stage and reports loadFailed; the player goes on.
    void load(const QString& url);
    QString url() const;
    ReadyState readyState() const;
    int percentLoaded() const; // 0..100
    QString errorString() const; // why the last load failed; empty when it did not

    void setAutoplay(bool on);
    void setLoop(bool on);
    bool isPlaying() const;
    void play();
    void stop();
    void rewind(); // back to the first frame, stopped
    void gotoFrame(int frame); // 0-based; clamped to the movie
    int currentFrame() const; // 0-based; 0 when no movie is loaded
    int totalFrames() const; // 0 when no movie is loaded
    double frameRate() const;

    // Runs one frame of the timeline now, as the clock would.
    void advanceFrame();

    QSize movieSize() const; // pixels; empty when no movie is loaded
    QColor backgroundColor() const;
    // Draws the stage scaled to fit `target` with its aspect kept, centred ("ShowAll"),
    // the rest of `target` filled with the background colour.
    void render(QPainter& painter, const QRect& target) const;
    QImage renderImage(const QSize& size) const;

signals:
    void readyStateChanged(int state);
    void frameChanged(); // the picture changed; repaint
    void loadFailed(const QString& message);

private:
    void finishLoad(const QByteArray& bytes);
    void failLoad(const QString& message);

    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace swf
