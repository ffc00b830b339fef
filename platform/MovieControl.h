#pragma once

#include <QString>
#include <QWidget>

namespace platform {

// The movie control `Flash1`: the operations the player asks of the component that shows
// a movie, under the names the rest of the program calls them by. Property puts are
// `setX`, gets are `X()`. Frames count from 0, so the last frame is TotalFrames() - 1.
//
// The control is a child widget of its window; its place is read and written in twips.
// Implementations: EngineMovieControl (our own engine) and FakeMovieControl (tests).
class MovieControl : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual void setQuality2(const QString& quality) = 0; // "Low", "Medium", "High", ...
    virtual void setWMode(const QString& mode) = 0; // "Window", "Opaque", "Transparent"
    virtual void setBackgroundColor(int colour) = 0; // 0xRRGGBB; -1 keeps the movie's own
    virtual void setBGColor(const QString& colour) = 0; // the same as text; "-1" keeps the movie's
    // Replaces the movie shown in `layer` (0 is the movie itself) by the one at `url`.
    virtual void LoadMovie(int layer, const QString& url) = 0;
    virtual QString Movie() const = 0; // the URL of the last LoadMovie into layer 0

    virtual bool IsPlaying() const = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void StopPlay() = 0;
    virtual void Rewind() = 0;
    virtual void setPlaying(bool playing) = 0;
    virtual void GotoFrame(int frame) = 0;
    virtual int CurrentFrame() const = 0;
    virtual int TotalFrames() const = 0;
    virtual int PercentLoaded() const = 0; // 0..100

    // The container's place in its window, in twips.
    virtual int Left() const;
    virtual int Top() const;
    virtual int Width() const;
    virtual int Height() const;
    virtual void setLeft(int twips);
    virtual void setTop(int twips);
    virtual void setWidth(int twips);
    virtual void setHeight(int twips);

signals:
    // 3 while the movie loads, 4 when it is complete.
    void OnReadyStateChange(int newState);
    // The movie's fscommand(command, args): "quit", "fullscreen" and the rest.
    void FSCommand(const QString& command, const QString& args);
};

} // namespace platform
