#pragma once

#include "Amf0.h"
#include "FlvReader.h"
#include "VideoPlayback.h"
#include "VideoSource.h"

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
// own script data (onMetaData, onCuePoint) when the play time reaches it. The picture of
// the play time is decoded on demand, each packet once while playing forward.
class FlvPlayback final : public VideoSource {
public:
    struct Event {
        enum class Kind : uint8_t { Status, Data };
        Kind kind = Kind::Status;
        std::string name; // the status code, or the handler named by the script data
        std::string level; // "status" or "error"
        AmfValue argument; // the script data's argument
    };

    FlvPlayback();

    // The file's bytes as they arrive; `total` is what the file will hold, when known.
    void append(std::span<const uint8_t> bytes, std::optional<size_t> total = std::nullopt);
    void finish(); // the whole file is in
    void notFound(); // the file could not be read at all

    // Moves the play time on by `ms` while playing and buffered.
    void advance(double ms);
    void setPaused(bool paused) { paused_ = paused; }
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

    void readTags();
    void status(const char* code, const char* level = "status");
    void dispatchData(double toMs);
    uint32_t lastTimeMs() const;
    int frameAt(double ms) const;

    std::vector<uint8_t> bytes_;
    std::optional<size_t> total_;
    std::optional<FlvReader> reader_;
    std::vector<VideoEntry> videos_;
    std::vector<DataEntry> data_;
    std::optional<VideoDecoder::Options> videoOptions_;
    std::unique_ptr<VideoPlayback> video_;
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
