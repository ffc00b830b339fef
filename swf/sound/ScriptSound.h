#pragma once

#include "SoundTransform.h"
#include "Voice.h"

#include "swf/display/DisplayObject.h"

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace swf {

class LoadJob;
class SoundEngine;
struct Movie;

// The engine's side of one ActionScript Sound object, made by SoundEngine::createSound()
// for a target clip (or for the whole movie). The script engine keeps it in the object
// and calls it for each method; what happens later (a sound played to its end, a file
// loaded) comes back through the Listener, always on the window's thread and never from
// inside a call of the script's, so the script engine queues the handler like a frame's
// actions. Volume and balance belong to the target: every Sound object made for the same
// clip sees and sets the same ones.
//
// It outlives its engine safely: once the movie is gone every call does nothing.
class ScriptSound {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void soundCompleted() { } // onSoundComplete: the sound last started ended
        virtual void soundLoaded(bool /*success*/) { } // onLoad, after loadSound
        virtual void id3Loaded() { } // onID3: id3() has the file's tags
    };

    ~ScriptSound();
    ScriptSound(const ScriptSound&) = delete;
    ScriptSound& operator=(const ScriptSound&) = delete;

    void setListener(Listener* listener) { listener_ = listener; }

    // attachSound(name): the sound the target's movie exports under `name`. False, with
    // nothing attached, when it exports none.
    bool attachSound(std::string_view exportName);
    // The same by character id, for callers that found the sound themselves.
    bool attachCharacter(uint16_t characterId);

    // start(secondOffset, loops): plays the attached (or loaded) sound from `secondOffset`
    // seconds into it, `loops` times.
    void start(double secondOffset = 0, int loops = 1);
    // stop(): every sound of the target (of the movie for a Sound without a target).
    void stop();
    // stop(name): only the target's sounds of that exported sound.
    void stop(std::string_view exportName);

    double volume() const; // getVolume, percent
    void setVolume(double percent);
    double pan() const; // getPan, -100..100
    void setPan(double pan);
    SoundTransform transform() const; // getTransform
    void setTransform(const SoundTransform& transform);

    // position: milliseconds into the sound last started (0 before any).
    double positionMs() const;
    // duration: milliseconds the attached or loaded sound lasts (0 when there is none, and
    // until a load is complete).
    double durationMs() const;

    // loadSound(url, isStreaming) of an MP3: a local path or file:// URL, or http(s).
    // `url` is taken as given: the caller resolves it against the movie's address. A
    // streaming sound plays as it arrives; another one waits for start().
    void loadSound(const QString& url, bool streaming);
    int64_t bytesLoaded() const { return bytesLoaded_; }
    int64_t bytesTotal() const { return bytesTotal_; } // -1 while unknown
    // The loaded file's ID3 tags (see Mp3Facts); empty before they are read.
    const std::map<std::string, std::string>& id3() const { return id3_; }

private:
    friend class SoundEngine;
    ScriptSound(SoundEngine& engine, DisplayObject* target);

    SoundGroup group() const { return target_; }
    const Movie* movie() const;
    void voiceEnded(VoiceId id);
    void received(const QByteArray& bytes, qint64 total);
    void loadEnded(bool success);

    SoundEngine* engine_;
    ObjectId target_; // 0 for the whole movie
    Listener* listener_ = nullptr;

    std::optional<SoundData> attached_;
    const void* attachedKey_ = nullptr; // the character (or file) that stop(name) and no-multiple match
    VoiceId last_ = 0;
    std::shared_ptr<VoiceStatus> lastStatus_;

    std::unique_ptr<LoadJob> job_;
    std::shared_ptr<std::vector<uint8_t>> file_;
    bool streaming_ = false;
    VoiceId streamVoice_ = 0;
    int64_t bytesLoaded_ = 0;
    int64_t bytesTotal_ = -1;
    std::map<std::string, std::string> id3_;
};

} // namespace swf
