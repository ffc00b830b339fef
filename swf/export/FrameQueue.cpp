#include "FrameQueue.h"

namespace swf::exporting {

FrameQueue::FrameQueue(size_t capacity)
    : capacity_(capacity > 0 ? capacity : 1)
{
}

bool FrameQueue::push(ExportFrame frame)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return abandoned_ || frames_.size() < capacity_; });
    if (abandoned_)
        return false;
    frames_.push_back(std::move(frame));
    changed_.notify_all();
    return true;
}

void FrameQueue::close()
{
    std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}

void FrameQueue::abandon()
{
    std::lock_guard lock(mutex_);
    abandoned_ = true;
    frames_.clear();
    changed_.notify_all();
}

std::optional<ExportFrame> FrameQueue::pop()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return abandoned_ || closed_ || !frames_.empty(); });
    if (abandoned_ || frames_.empty())
        return std::nullopt;
    ExportFrame frame = std::move(frames_.front());
    frames_.pop_front();
    changed_.notify_all();
    return frame;
}

} // namespace swf::exporting
