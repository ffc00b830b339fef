#pragma once

#include <QImage>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace swf::exporting {

// One drawn frame on its way to the encoder, with its sound.
struct ExportFrame {
    QImage picture;
    std::vector<int16_t> sound;
};

// The frames between the thread that draws them and the one that encodes them. A few are
// held at most, so that drawing waits for a slow encoder instead of filling the memory.
class FrameQueue {
public:
    explicit FrameQueue(size_t capacity = 6);

    // Waits for room. False when the consumer gave up (see abandon()): the frame is dropped.
    bool push(ExportFrame frame);
    // No more frames will come.
    void close();
    // The consumer stops taking frames; producers stop waiting.
    void abandon();
    // The next frame, waiting for one; nothing once the queue is closed and empty, or
    // abandoned.
    std::optional<ExportFrame> pop();

private:
    size_t capacity_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ExportFrame> frames_;
    bool closed_ = false;
    bool abandoned_ = false;
};

} // namespace swf::exporting
