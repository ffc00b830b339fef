#pragma once

#include "VideoDecoder.h"

#include <QImage>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace swf {

// Decodes one stream's packets on a thread of its own, in the order they are given, a
// few ahead of the frame shown: the engine hands over packets while there is room and
// takes the pictures as their frames fall due, so a slow decode holds the thread and
// never the window. Room is `capacity` packets in its hands (queued, being decoded, or
// decoded and not yet taken), which bounds the pictures kept; packets that make no picture
// (see skipPicturesBefore) may be handed over past it.
class VideoDecodeThread {
public:
    struct Picture {
        int frame = -1;
        // Null when the frame made no picture, or was decoded only on the way to a later
        // one (see skipPicturesBefore).
        std::shared_ptr<const QImage> image;
    };

    // Decodes with `decoder` (none: every packet makes no picture). Throws std::system_error
    // when no thread can be started.
    VideoDecodeThread(std::unique_ptr<FrameDecoder> decoder, size_t capacity);
    // Stops the thread when its packet in hand is done, and joins it.
    ~VideoDecodeThread();
    VideoDecodeThread(const VideoDecodeThread&) = delete;
    VideoDecodeThread& operator=(const VideoDecodeThread&) = delete;

    // Whether the packets in its hands reach the capacity.
    bool full() const;
    // The packet of `frame`, after the last one given; the first after a flush() must be
    // a key frame.
    void push(int frame, std::vector<uint8_t> packet);
    // Frames before `frame` are decoded without making their picture.
    void skipPicturesBefore(int frame) { skipBefore_.store(frame, std::memory_order_relaxed); }
    // Takes the pictures decoded so far of the frames up to `frame`, oldest first.
    std::vector<Picture> take(int frame);
    // Waits until a picture is ready, at most until `deadline`; false when none came, or
    // none can come because no packet is in hand.
    bool waitForPicture(std::chrono::steady_clock::time_point deadline);
    // Drops every packet and picture not yet taken; decoding starts afresh.
    void flush();
    // Packets through the decoder so far.
    int decodedCount() const { return decoded_.load(std::memory_order_relaxed); }

private:
    struct Packet {
        int frame;
        std::vector<uint8_t> bytes;
    };
    void run();

    const size_t capacity_;
    std::unique_ptr<FrameDecoder> decoder_; // the thread's alone once it runs
    mutable std::mutex lock_;
    std::condition_variable work_; // to the thread: a packet, or stop
    std::condition_variable ready_; // to the engine: a picture
    std::deque<Packet> packets_;
    std::deque<Picture> pictures_;
    size_t inHand_ = 0; // packets taken by the thread, not yet given back
    uint64_t generation_ = 0; // bumped by flush(): work of an older one is dropped
    bool reset_ = false; // the decoder forgets its pictures before the next packet
    bool stop_ = false;
    std::atomic<int> skipBefore_ { -1 };
    std::atomic<int> decoded_ { 0 };
    std::thread thread_;
};

} // namespace swf
