#pragma once

#include "swf/format/Movie.h"
#include "swf/format/SoundRecords.h"

#include <optional>
#include <span>
#include <vector>

namespace swf {

// The stream sound of one timeline, frame by frame: the head in force at each frame and
// the frame's block, if it has one. Read once and extended as more frames arrive, so that
// a stream can find its blocks ahead of the timeline without going through the frames
// again. Holds places, not pointers: a timeline still loading moves its frames.
class StreamTrack {
public:
    explicit StreamTrack(const Timeline& timeline);

    // Reads the frames that arrived since the last call.
    void update();
    int frames() const { return static_cast<int>(frames_.size()); }

    const StreamHead* headAt(int frame) const;
    // The frame's block as its tag holds it (for MP3 with its sample counts); empty when
    // the frame has none.
    std::span<const uint8_t> blockAt(int frame) const;
    bool hasBlock(int frame) const { return !blockAt(frame).empty(); }
    // Whether a frame from `frame` on, among those read, has a block.
    bool blockFrom(int frame) const;

private:
    struct FrameSound {
        int head = -1; // into heads_
        int blockTag = -1; // into the frame's tags
    };

    const Timeline& timeline_;
    std::vector<StreamHead> heads_;
    std::vector<FrameSound> frames_;
    int lastBlock_ = -1; // the last frame read that has a block
};

} // namespace swf
