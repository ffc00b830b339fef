#pragma once

#include "Assembler.h"

#include "swf/format/Writer.h"
#include "swf/player/MovieLoader.h"
#include "swf/player/Player.h"
#include "swf/player/Services.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace swf::test {

// Plays movies through the real player, frame by frame, and keeps what they say: the
// trace lines and the messages of stopped scripts.
class ScriptRun {
public:
    ScriptRun();
    // The movie's sound going to `sound`, which outlives the run.
    explicit ScriptRun(SoundOutput& sound);
    ~ScriptRun();

    // Loads the movie and runs `frames` frames (the first one included).
    void play(const Writer& movie, int frames = 1);
    void advance(int frames = 1);

    // Puts a file beside the movie, for the movie's scripts to load.
    QString put(const QString& name, const QByteArray& bytes);
    // Frames as `zorvaplay-swf run` plays them: the local files scripts ask for are in
    // before the next frame.
    void advanceSettled(int frames = 1);
    void settle();

    Player& player() { return *player_; }
    QStringList traces;
    QStringList stopped;

private:
    QTemporaryDir dir_;
    StandardLoader loader_ { 64 << 20 };
    NullSoundOutput sound_;
    SeededRandom random_ { 7 };
    FixedWallClock clock_;
    std::unique_ptr<Player> player_;
};

// A one-frame movie of `version` whose frame runs `script`.
Writer scriptMovie(const Asm& script, uint8_t version = 8);
// Runs `script` as the only frame of a movie and gives its trace lines.
QStringList traceOf(const Asm& script, uint8_t version = 8);

} // namespace swf::test
