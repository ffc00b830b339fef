#pragma once

#include <QString>

#include <cstdint>

namespace swf {
class SoundEngine;
}

namespace swf::script {

// What the script engine tells the player it runs in: the way up from scripts to the
// window (or the command-line tool).
class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    // One trace() line.
    virtual void trace(const QString& line) = 0;
    // fscommand(command, args): "quit", "fullscreen" and the rest, for the window.
    virtual void fsCommand(const QString& command, const QString& args) = 0;
    // getURL to a browser window.
    virtual void openUrl(const QString& url, const QString& window) = 0;
    // A script was stopped (it ran too long, recursed too deep): the message for the user.
    virtual void scriptStopped(const QString& message) = 0;
    // getTimer(): milliseconds of the engine's clock since the movie started.
    virtual int64_t timerMillis() const = 0;
    // The time up to which the intervals and timeouts due run at the end of a frame. A
    // clock that only moves when stepped jumps to the next frame's time with nothing run
    // in between, so everything due before that frame runs now; a wall clock runs what is
    // due by now.
    virtual int64_t timersDueMillis() const { return timerMillis(); }
    // The movie's sound engine, for Sound objects and stopAllSounds (none: silent).
    virtual SoundEngine* soundEngine() { return nullptr; }
    // The clock moves only when the movie is stepped (the command-line tool, tests): work
    // done aside (decoding video) is waited for, so that each run gives the same pictures.
    virtual bool steppedClock() const { return true; }
};

// A host that keeps nothing: for tests that only look at the stage.
class NullScriptHost : public ScriptHost {
public:
    void trace(const QString&) override { }
    void fsCommand(const QString&, const QString&) override { }
    void openUrl(const QString&, const QString&) override { }
    void scriptStopped(const QString&) override { }
    int64_t timerMillis() const override { return 0; }
};

} // namespace swf::script
