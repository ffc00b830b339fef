#include "VideoDecodeThread.h"

#include <algorithm>
#include <utility>

namespace swf {

VideoDecodeThread::VideoDecodeThread(std::unique_ptr<FrameDecoder> decoder, size_t capacity)
    : capacity_(std::max<size_t>(1, capacity))
    , decoder_(std::move(decoder))
    , thread_([this] { run(); })
{
}

VideoDecodeThread::~VideoDecodeThread()
{
    {
        std::lock_guard guard(lock_);
        stop_ = true;
    }
    work_.notify_all();
    thread_.join();
}

bool VideoDecodeThread::full() const
{
    std::lock_guard guard(lock_);
    return packets_.size() + inHand_ + pictures_.size() >= capacity_;
}

void VideoDecodeThread::push(int frame, std::vector<uint8_t> packet)
{
    {
        std::lock_guard guard(lock_);
        packets_.push_back({ frame, std::move(packet) });
    }
    work_.notify_one();
}

std::vector<VideoDecodeThread::Picture> VideoDecodeThread::take(int frame)
{
    std::vector<Picture> taken;
    std::lock_guard guard(lock_);
    while (!pictures_.empty() && pictures_.front().frame <= frame) {
        taken.push_back(std::move(pictures_.front()));
        pictures_.pop_front();
    }
    return taken;
}

bool VideoDecodeThread::waitForPicture(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock guard(lock_);
    return ready_.wait_until(guard, deadline, [this] {
        return !pictures_.empty() || (packets_.empty() && inHand_ == 0);
    }) && !pictures_.empty();
}

void VideoDecodeThread::flush()
{
    std::lock_guard guard(lock_);
    packets_.clear();
    pictures_.clear();
    ++generation_;
    reset_ = true;
}

void VideoDecodeThread::run()
{
    std::unique_lock guard(lock_);
    for (;;) {
        work_.wait(guard, [this] { return stop_ || !packets_.empty(); });
        if (stop_)
            return;
        Packet packet = std::move(packets_.front());
        packets_.pop_front();
        const uint64_t generation = generation_;
        const bool reset = std::exchange(reset_, false);
        ++inHand_;
        guard.unlock();

        Picture picture { packet.frame, nullptr };
        if (decoder_) {
            if (reset)
                decoder_->reset();
            decoder_->decode(packet.bytes);
            decoded_.fetch_add(1, std::memory_order_relaxed);
            if (packet.frame >= skipBefore_.load(std::memory_order_relaxed))
                picture.image = decoder_->picture();
        }

        guard.lock();
        --inHand_;
        if (generation == generation_)
            pictures_.push_back(std::move(picture));
        ready_.notify_all();
    }
}

} // namespace swf
