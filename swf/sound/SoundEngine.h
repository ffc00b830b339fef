#pragma once

#include "Mixer.h"
#include "SoundFeed.h"
#include "SoundTransform.h"
#include "StreamTrack.h"

#include "swf/display/DisplayObject.h"
#include "swf/display/StageObserver.h"
#include "swf/format/Movie.h"
#include "swf/player/Services.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace swf {

class ScriptSound;
class Stage;

// The character a movie exports (ExportAssets, or SymbolClass) under `name`; names that
// match exactly win over those that differ only in case.
std::optional<uint16_t> exportedCharacter(const Movie& movie, std::string_view name);

// Where a playing stream sound has got to, in the stage's ticks.
struct StreamLead {
    uint64_t tick = 0; // the tick whose frame is being heard now
    std::chrono::nanoseconds intoTick { 0 }; // how long it has been heard
};

// The sound of one stage: the event sounds that frames, buttons and scripts start, the
// stream sounds of the timelines, and the mixer they play through. It hears the stage as
// an observer and is told by the player when a frame is shown and when the user pauses,
// rewinds or seeks.
//
// Stream sound leads: on a real-time output the player asks lead() how far the stream
// has been heard and runs the frames up to there, so that a slow picture skips frames
// and never holds the sound. The stream finds its blocks in the timeline ahead of the
// frame shown (about a second of them), so a busy window thread never starves it.
class SoundEngine final : public StageObserver {
public:
    // Stream blocks are queued this far ahead of the frame shown.
    static constexpr double kLookAheadSeconds = 1.0;

    // `frameRate` is the rate the player's clock runs at.
    SoundEngine(Stage& stage, const Services& services, double frameRate);
    ~SoundEngine() override;
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // ---- The player's side ----------------------------------------------------------------

    // A frame is shown for one tick of the clock (the first frame, and after each tick):
    // streams follow their timelines, ended sounds are let go, and on an output that
    // does not play in real time the tick's sound is mixed and written.
    void frameShown();
    // On a real-time output while a stream plays: the tick its sound has reached.
    std::optional<StreamLead> lead();
    // The user's pause: every sound holds where it is, silent; streams stop with their
    // timelines. resume() goes on (also when the main timeline is seen playing again).
    void pause();
    void resume();
    bool paused() const { return paused_; }
    // Stops every sound (stopAllSounds; a rewind or a seek, so that nothing plays twice).
    void stopAll();

    // ---- What the stage says ------------------------------------------------------------

    void frameEntered(MovieClip& clip, const Frame& frame) override;
    void objectRemoved(DisplayObject& object) override;
    void buttonTransition(DisplayObject& button, ButtonTransition transition) override;

    // ---- The scripts' side ----------------------------------------------------------------

    // A Sound object's engine side; `target` is the clip whose sounds it controls, or
    // null for the whole movie (new Sound() without a target).
    std::unique_ptr<ScriptSound> createSound(DisplayObject* target);
    // A feed of sound into the mix from outside the timelines (a NetStream's audio), at
    // the movie's volume. It may outlive this engine: it then plays nothing more.
    std::unique_ptr<SoundFeed> openFeed();
    // The volume and balance of a clip's sounds (0: of every sound of the movie), shared
    // by every Sound object made for that clip.
    SoundTransform soundTransform(SoundGroup group) const;
    void setSoundTransform(SoundGroup group, const SoundTransform& transform);
    // Stops the sounds of a clip (0: all), or only those of one sound character.
    void stopSounds(SoundGroup group, const void* sound = nullptr);

    // ---- For tests and tools ---------------------------------------------------------------

    // Sounds playing now (event sounds and streams).
    size_t playingCount() const;
    const std::shared_ptr<Mixer>& mixer() const { return mixer_; }

private:
    friend class ScriptSound;

    struct Playing {
        VoiceId id;
        const void* sound; // the character (or loaded file) it plays
        std::shared_ptr<VoiceStatus> status;
        std::vector<SoundGroup> groups;
        ScriptSound* by = nullptr; // the Sound object that started it
        bool stopping = false;
    };
    struct Stream {
        ObjectId clip;
        StreamTrack* track;
        VoiceId voice;
        std::shared_ptr<VoiceStatus> status;
        int nextFrame; // the frame the clip enters next for the stream to go on
        int queuedTo; // frames before this one have been queued
        int firstFrame;
        uint64_t startTick;
        double sourceFramesPerFrame;
        bool finished = false;
    };

    // Starts an event sound; the id of its voice, or 0 when it did not start.
    VoiceId startEvent(const Movie& movie, const StartSoundRecord& start, std::vector<SoundGroup> groups);
    VoiceId play(const void* sound, SoundData data, const SoundInfo& info, std::vector<SoundGroup> groups,
        ScriptSound* by);
    std::vector<SoundGroup> groupsOf(const DisplayObject* object) const;
    void settleStreams();
    void startStream(MovieClip& clip, int frame);
    void queueAhead(Stream& stream, const MovieClip& clip);
    void stopStream(std::vector<Stream>::iterator it);
    void letGoEnded();
    void forget(ScriptSound* sound);
    StreamTrack& trackOf(const Timeline& timeline);

    Stage& stage_;
    Services services_;
    SoundOutput& output_;
    double frameRate_;
    std::shared_ptr<Mixer> mixer_;
    // Shared with the feeds, which start voices of their own.
    std::shared_ptr<VoiceId> nextVoice_ = std::make_shared<VoiceId>(1);
    std::shared_ptr<bool> feedsHeld_ = std::make_shared<bool>(false); // paused_, for the feeds
    bool paused_ = false;
    uint64_t periods_ = 0; // ticks mixed for an output that does not pull
    std::vector<int16_t> periodSamples_;
    std::vector<Playing> playing_;
    std::vector<Stream> streams_;
    std::vector<std::pair<ObjectId, int>> entered_; // frames entered since streams were settled
    std::map<const Timeline*, std::unique_ptr<StreamTrack>> tracks_;
    std::map<SoundGroup, SoundTransform> transforms_;
    std::vector<ScriptSound*> scriptSounds_;
};

} // namespace swf
