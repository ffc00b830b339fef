#pragma once

#include "platform/MovieControl.h"

#include <QStringList>

namespace platform {

// A movie control for tests. It records every operation in order, as "Name" for calls and
// gets and "Name=value" for puts (for example "Quality2=High", "LoadMovie(0, file:///a.swf)",
// "IsPlaying"), and behaves like a trivial player: Play and Stop switch IsPlaying, Rewind
// and GotoFrame move CurrentFrame. Nothing happens by itself: a test fires the ready-state
// event and sets the frame counters as its story needs.
class FakeMovieControl final : public MovieControl {
    Q_OBJECT
public:
    explicit FakeMovieControl(QWidget* parent = nullptr);

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

    // ---- the test's side
    const QStringList& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    void fireReadyStateChange(int newState) { emit OnReadyStateChange(newState); }
    void fireFSCommand(const QString& command, const QString& args) { emit FSCommand(command, args); }
    void scriptIsPlaying(bool playing) { playing_ = playing; }
    void scriptCurrentFrame(int frame) { currentFrame_ = frame; }
    void scriptTotalFrames(int frames) { totalFrames_ = frames; }
    void scriptPercentLoaded(int percent) { percentLoaded_ = percent; }

private:
    void record(const QString& call) const { calls_ << call; }

    mutable QStringList calls_;
    QString movie_;
    bool playing_ = false;
    int currentFrame_ = 0;
    int totalFrames_ = 0;
    int percentLoaded_ = 0;
};

} // namespace platform
