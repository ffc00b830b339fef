#pragma once

#include "swf/player/MovieLoader.h"
#include "swf/player/Player.h"
#include "swf/player/Services.h"

#include <QSize>
#include <QString>

#include <optional>
#include <string>

namespace cli {

enum ExitCode : int { kOk = 0, kUsage = 1, kUnreadable = 2, kCannotWrite = 3, kUnsupported = 4 };

void printError(const std::string& message);

// One movie in the tool, played by the same player as the window's, over services that
// repeat exactly from run to run (seeded random numbers, a fixed date, no sound device:
// the sound goes to `sound` when given, a frame's worth with each frame, else nowhere).
class Session {
public:
    explicit Session(swf::Player::ClockMode mode, swf::SoundOutput* sound = nullptr);

    swf::Player& player() { return player_; }

    // Starts loading `reference` (a path or an http(s) address).
    void start(const std::string& reference);
    // Runs the event loop until the whole movie is in. False, with the reason printed,
    // when no movie could be read.
    bool waitUntilLoaded();
    // False, with the reason printed, for a movie this engine cannot play (ActionScript 3).
    bool playable();
    // The same without a word: false when no movie could be read (the player's
    // errorString() says why).
    bool waitForMovie();
    // Lets what the movie's scripts fetch from local files come in, so that a load asked
    // for in one frame is there before the next, from run to run the same.
    void settleLoads();
    // Runs the event loop for `seconds` of wall time, the movie playing meanwhile.
    void playFor(double seconds);
    // Whether the movie asked to quit (fscommand "quit"): no further frame is played.
    bool quitAsked() const { return quitAsked_; }

    // The stage at one pixel per 20 twips, or scaled to `width` with the aspect kept;
    // never past a safe size on a side and never empty. 550x400 before a header arrived.
    QSize pictureSize(std::optional<int> width = std::nullopt) const;
    bool writePicture(const QString& path, QSize size);

private:
    swf::StandardLoader loader_;
    swf::NullSoundOutput sound_;
    swf::SeededRandom random_;
    swf::FixedWallClock clock_;
    swf::Services services_;
    bool quitAsked_ = false;
    swf::Player player_;
    std::string reference_;
};

} // namespace cli
