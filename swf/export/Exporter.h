#pragma once

#include "ClickSchedule.h"
#include "ExportSettings.h"
#include "FrameSink.h"
#include "MovieEnd.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace swf {
class Player;
class RecordingSoundOutput;
} // namespace swf

namespace swf::exporting {

// How an export went.
struct ExportResult {
    enum class Outcome { Done, Interrupted, Failed };
    Outcome outcome = Outcome::Done;
    int64_t frames = 0; // of the video
    MovieEnd::Reason end = MovieEnd::Reason::None; // why it stopped, when no length was given
    QString error; // when it failed
};

// Plays a loaded movie frame by frame and hands each frame of the video, with its sound,
// to a sink. Frames are drawn on the calling thread while the sink encodes on a thread of
// its own.
//
// Video frame k shows the movie at k / fps seconds: at the movie's own rate every frame
// of the movie once; at another rate frames are repeated or passed over, while the sound
// keeps all of the movie's.
class Exporter {
public:
    // `sound` is the recording output the player mixes into.
    Exporter(Player& player, RecordingSoundOutput& sound, const ExportSettings& settings);

    // Frames done so far and the frames expected (an estimate when no length was given).
    using Progress = std::function<void(int64_t done, int64_t expected)>;

    // Runs the export; `stop` set from elsewhere (a signal) ends it early.
    ExportResult run(FrameSink& sink, const Progress& progress, const std::atomic<bool>& stop);

    // The frames the video is expected to have: the length asked for, else the main
    // timeline's frames at the video's rate.
    int64_t expectedFrames() const;

private:
    QImage draw() const;
    // Runs the movie up to its frame `frame`, clicking where due; the end's verdict.
    MovieEnd::Verdict runMovieTo(int64_t frame);

    Player& player_;
    RecordingSoundOutput& sound_;
    ExportSettings settings_;
    ClickSchedule clicks_;
    MovieEnd end_;
    double movieRate_;
    int64_t movieFrame_ = 0; // the movie's frames run since the first
};

} // namespace swf::exporting
