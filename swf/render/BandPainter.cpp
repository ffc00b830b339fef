#include "BandPainter.h"

#include <algorithm>
#include <utility>

namespace swf {

BandPainter::~BandPainter()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    more_.notify_all();
    for (std::thread& t : threads_)
        if (t.joinable())
            t.join();
}

uint64_t BandPainter::finishedLocked() const
{
    return *std::min_element(next_.begin(), next_.end());
}

uint64_t BandPainter::finished() const
{
    std::lock_guard lock(mutex_);
    return finishedLocked();
}

uint64_t BandPainter::submit(Job job)
{
    std::unique_lock lock(mutex_);
    if (!threads_[0].joinable())
        for (int lane = 0; lane < kLanes; ++lane)
            threads_[static_cast<std::size_t>(lane)] = std::thread([this, lane] { work(lane); });
    jobs_.push_back(std::move(job));
    const uint64_t number = first_ + jobs_.size() - 1;
    // A sleeping lane is woken for a few jobs at a time, not for each: waking a thread
    // costs about as much as painting a small fill.
    bool wake = false;
    for (int lane = 0; lane < kLanes; ++lane)
        wake = wake || (sleeping_[static_cast<std::size_t>(lane)] && number + 1 - next_[static_cast<std::size_t>(lane)] >= kWakeAfter);
    lock.unlock();
    if (wake)
        more_.notify_all();
    return number;
}

void BandPainter::waitUntil(std::unique_lock<std::mutex>& lock, uint64_t finished)
{
    if (finishedLocked() >= finished)
        return;
    // Lanes left asleep for want of work are woken now that the caller waits for it.
    if (std::find(sleeping_.begin(), sleeping_.end(), true) != sleeping_.end())
        more_.notify_all();
    // The lanes wake the caller once, when its job is done, not after every job.
    awaited_ = finished;
    done_.wait(lock, [&] { return finishedLocked() >= finished; });
    awaited_ = 0;
}

void BandPainter::waitFor(uint64_t number)
{
    std::unique_lock lock(mutex_);
    waitUntil(lock, number + 1);
}

void BandPainter::finish()
{
    std::unique_lock lock(mutex_);
    waitUntil(lock, first_ + jobs_.size());
    std::exception_ptr failure = std::exchange(failure_, nullptr);
    lock.unlock();
    if (failure)
        std::rethrow_exception(failure);
}

void BandPainter::work(int lane)
{
    uint64_t& next = next_[static_cast<std::size_t>(lane)];
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!stop_ && next == first_ + jobs_.size()) {
            bool& sleeping = sleeping_[static_cast<std::size_t>(lane)];
            sleeping = true;
            more_.wait(lock, [&] { return stop_ || next < first_ + jobs_.size(); });
            sleeping = false;
        }
        if (stop_)
            return;
        // References into a deque stay valid while others are pushed at its back, and a
        // job is dropped only once both lanes are past it.
        const Job& job = jobs_[static_cast<std::size_t>(next - first_)];
        lock.unlock();
        std::exception_ptr failure;
        try {
            job(lane);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure && !failure_)
            failure_ = failure;
        ++next;
        const uint64_t done = finishedLocked();
        while (first_ < done) {
            jobs_.pop_front();
            ++first_;
        }
        if (awaited_ != 0 && done >= awaited_)
            done_.notify_all();
    }
}

} // namespace swf
