#include "FakeMovieControl.h"

namespace platform {

FakeMovieControl::FakeMovieControl(QWidget* parent)
    : MovieControl(parent)
{
}

void FakeMovieControl::setQuality2(const QString& quality)
{
    record(QStringLiteral("Quality2=") + quality);
}
void FakeMovieControl::setWMode(const QString& mode)
{
    record(QStringLiteral("WMode=") + mode);
}
void FakeMovieControl::setBackgroundColor(int colour)
{
    record(QStringLiteral("BackgroundColor=") + QString::number(colour));
}
void FakeMovieControl::setBGColor(const QString& colour)
{
    record(QStringLiteral("BGColor=") + colour);
}

void FakeMovieControl::LoadMovie(int layer, const QString& url)
{
    record(QStringLiteral("LoadMovie(%1, %2)").arg(layer).arg(url));
    if (layer == 0)
        movie_ = url;
}

QString FakeMovieControl::Movie() const
{
    record(QStringLiteral("Movie"));
    return movie_;
}

bool FakeMovieControl::IsPlaying() const
{
    record(QStringLiteral("IsPlaying"));
    return playing_;
}

void FakeMovieControl::Play()
{
    record(QStringLiteral("Play"));
    playing_ = true;
}

void FakeMovieControl::Stop()
{
    record(QStringLiteral("Stop"));
    playing_ = false;
}

void FakeMovieControl::StopPlay()
{
    record(QStringLiteral("StopPlay"));
    playing_ = false;
}

void FakeMovieControl::Rewind()
{
    record(QStringLiteral("Rewind"));
    playing_ = false;
    currentFrame_ = 0;
}

void FakeMovieControl::setPlaying(bool playing)
{
    record(playing ? QStringLiteral("Playing=true") : QStringLiteral("Playing=false"));
    playing_ = playing;
}

void FakeMovieControl::GotoFrame(int frame)
{
    record(QStringLiteral("GotoFrame(%1)").arg(frame));
    currentFrame_ = frame;
}

int FakeMovieControl::CurrentFrame() const
{
    record(QStringLiteral("CurrentFrame"));
    return currentFrame_;
}

int FakeMovieControl::TotalFrames() const
{
    record(QStringLiteral("TotalFrames"));
    return totalFrames_;
}

int FakeMovieControl::PercentLoaded() const
{
    record(QStringLiteral("PercentLoaded"));
    return percentLoaded_;
}

} // namespace platform
