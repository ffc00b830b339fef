#pragma once

#include "SoundFixtures.h"

#include "swf/player/MovieLoader.h"
#include "swf/player/Player.h"
#include "swf/sound/RecordingSoundOutput.h"
#include "swf/sound/SoundEngine.h"

#include <QTemporaryDir>

#include <memory>

namespace swf::test {

// A movie played by the player on deterministic services into a recording output: as a
// recording (each frame's sound written as it is shown), or as a device the test plays.
class PlayedMovie {
public:
    explicit PlayedMovie(RecordingSoundOutput::Mode mode = RecordingSoundOutput::Mode::Recording);

    // Writes the movie to a file, loads it and waits until it is complete: the first
    // frame is shown (and, in a recording, its sound written).
    bool load(const Writer& writer, const QString& name = QStringLiteral("movie.swf"));
    // Shows `count` more frames, a tick each.
    void frames(int count);

    Player& player() { return *player_; }
    SoundEngine& engine() { return *player_->sound(); }
    RecordingSoundOutput& output() { return output_; }
    std::vector<double> left(size_t from = 0, size_t count = SIZE_MAX) const;
    std::vector<double> right(size_t from = 0, size_t count = SIZE_MAX) const;
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    RecordingSoundOutput output_;
    StandardLoader loader_ { 64 << 20 };
    SeededRandom random_;
    FixedWallClock clock_;
    Services services_ { loader_, output_, random_, clock_ };
    std::unique_ptr<Player> player_;
};

// Frames of sound at 44.1 kHz in `ticks` ticks at `rate` fps, as the engine counts them.
size_t framesOfTicks(int ticks, double rate);

} // namespace swf::test
