#pragma once

#include "Amf0.h"
#include "FlvReader.h"
#include "VideoPump.h"
#include "VideoSource.h"

#include "swf/sound/SoundFeed.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf {

// One FLV file playing, as a script's NetStream plays it: bytes arrive while it plays,
// time moves on while enough is buffered, and what happens is told in events, in order:
// the status codes ("NetStream.Play.Start", "NetStream.Buffer.Full" ...) and the file's
// own script data (onMetaData, onCuePoint) when the play time reaches it. The video is
// decoded on a thread of its own, a few frames ahead of the play time, each packet once
// while playing forward; the picture shown is that of the last frame due. The file's
// sound goes to a feed into the movie's mix, a little ahead of the play time; a pause or
// a seek silences it and the sound starts again where the play time goes on.
class FlvPlayback final : public VideoSource, private VideoPackets {
public:
    // Sound is fed this far ahead of the play time, so that an output that mixes ahead of
    // what is heard never waits for the next frame of the movie.
    static constexpr double kSoundAheadMs = 1000;
    // Frames decoded ahead of the one shown, at most.
    static constexpr size_t kFramesAhead = 4;

    struct Event {
        enum class Kind : uint8_t { Status, Data };
        Kind kind = Kind::Status;
        std::string name; // the status code, or the handler named by the script data
        std::string level; // "status" or "error"
        AmfValue argument; // the script data's argument
    };

    FlvPlayback();
    ~FlvPlayback() override;

    // Where the file's sound goes from now on (none: silent); the feed playing is stopped.
    void setSoundFeed(std::unique_ptr<SoundFeed> feed);

    // The file's bytes as they arrive; `total` is what the file will hold, when known.
    void append(std::span<const uint8_t> bytes, std::optional<size_t> total = std::nullopt);
    void finish(); // the whole file is in
    void notFound(); // the file could not be read at all

    // Moves the play time on by `ms` while playing and buffered.
    void advance(double ms);
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    // Goes to the last key frame at or before `seconds`.
    void seek(double seconds);
    void setBufferTime(double seconds) { bufferTime_ = std::max(0.0, seconds); }
    double bufferTime() const { return bufferTime_; }

    double time() const { return timeMs_ / 1000.0; } // seconds
    size_t bytesLoaded() const { return bytes_.size(); }
    size_t bytesTotal() const { return total_.value_or(bytes_.size()); }
    double bufferLength() const; // seconds of the file ahead of the play time
    bool ended() const { return state_ == State::Ended; }

    // The events since the last call, oldest first.
    std::vector<Event> takeEvents();

    // Whether picture() waits for the frame due (up to VideoPump::kMaxWait), so that a run
    // stepped frame by frame shows the same pictures every time; else it shows the last
    // frame decoded and due, and never waits.
    void setWaitForPictures(bool wait) { waitForPictures_ = wait; }
    std::shared_ptr<const QImage> picture() override;
    int decodedCount() const { return video_ ? video_->decodedCount() : 0; }

private:
    enum class State : uint8_t { Waiting, Buffering, Playing, Ended, Failed };
    struct VideoEntry {
        uint32_t timeMs;
        size_t offset; // of the packet in bytes_
        size_t size;
        bool key;
    };
    struct DataEntry {
        uint32_t timeMs;
        size_t offset;
        size_t size;
    };
    using AudioEntry = DataEntry; // the codec's bytes, after the tag's format byte(s)

    void readTags();
    void advanceTime(double ms);
    void status(const char* code, const char* level = "status");
    void dispatchData(double toMs);
    void readAudio(uint32_t timeMs, std::span<const uint8_t> data);
    // Feeds the sound up to a little past the play time, starting a run where needed.
    void feedSound();
    void stopSound();
    uint32_t lastTimeMs() const;
    int frameAt(double ms) const;
    // The video packets read so far, for the decoding.
    int count() const override { return int(videos_.size()); }
    std::optional<VideoPacket> packet(int frame) const override;

    std::vector<uint8_t> bytes_;
    std::optional<size_t> total_;
    std::optional<FlvReader> reader_;
    std::vector<VideoEntry> videos_;
    std::vector<DataEntry> data_;
    std::vector<AudioEntry> audio_;
    std::optional<SoundFormat> audioFormat_; // of the first audio tag; others are skipped
    std::vector<uint8_t> aacConfig_;
    std::unique_ptr<SoundFeed> sound_;
    size_t audioSent_ = 0; // audio tags fed in the run playing
    bool soundOn_ = false; // a run is playing (or played out to the file's end)
    bool soundFinished_ = false; // the run was given the file's last audio tag
    std::optional<VideoDecoder::Options> videoOptions_;
    std::unique_ptr<VideoPump> video_;
    bool waitForPictures_ = true;
    std::vector<Event> events_;
    State state_ = State::Waiting;
    bool complete_ = false;
    bool paused_ = false;
    bool started_ = false;
    double timeMs_ = 0;
    size_t dataSent_ = 0; // script data tags dispatched so far
    double bufferTime_ = 0.1;
};

} // namespace swf
