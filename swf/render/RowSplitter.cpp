#include "RowSplitter.h"

#include <algorithm>

namespace swf {

RowSplitter::~RowSplitter()
{
    if (!helper_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    work_.notify_one();
    helper_.join();
}

bool RowSplitter::rowsLeft() const
{
    return ranges_[0].next < ranges_[0].end || ranges_[1].next < ranges_[1].end;
}

bool RowSplitter::claim(int lane, int& from, int& to)
{
    Range& own = ranges_[static_cast<std::size_t>(lane)];
    if (own.next >= own.end) {
        // Take the far half of what the other lane has left, or all of it when that is
        // little.
        Range& other = ranges_[static_cast<std::size_t>(1 - lane)];
        const int left = other.end - other.next;
        if (left <= 0)
            return false;
        const int split = left >= 2 * kChunk ? other.next + left / 2 : other.next;
        own = { split, other.end };
        other.end = split;
    }
    from = own.next;
    to = std::min(own.next + kChunk, own.end);
    own.next = to;
    return true;
}

void RowSplitter::run(int first, int end, const Rows& rows)
{
    if (end - first < 2 * kChunk) {
        if (end > first)
            rows(0, first, end);
        return;
    }
    std::unique_lock lock(mutex_);
    if (!helper_.joinable())
        helper_ = std::thread([this] { help(); });
    const int middle = first + (end - first) / 2;
    ranges_[0] = { first, middle };
    ranges_[1] = { middle, end };
    rows_ = &rows;
    failure_ = nullptr;
    lock.unlock();
    work_.notify_one();

    std::exception_ptr failure;
    lock.lock();
    int from = 0;
    int to = 0;
    while (claim(0, from, to)) {
        lock.unlock();
        try {
            rows(0, from, to);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure) {
            ranges_ = {};
            break;
        }
    }
    // Every row is handed out: wait for the helper's last ones.
    idle_.wait(lock, [this] { return !helperBusy_; });
    rows_ = nullptr;
    if (!failure)
        failure = failure_;
    lock.unlock();
    if (failure)
        std::rethrow_exception(failure);
}

void RowSplitter::help()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return stop_ || (rows_ && rowsLeft()); });
        if (stop_)
            return;
        int from = 0;
        int to = 0;
        while (rows_ && claim(1, from, to)) {
            helperBusy_ = true;
            const Rows& rows = *rows_;
            lock.unlock();
            try {
                rows(1, from, to);
            } catch (...) {
                lock.lock();
                failure_ = std::current_exception();
                ranges_ = {};
                helperBusy_ = false;
                break;
            }
            lock.lock();
            helperBusy_ = false;
        }
        idle_.notify_one();
    }
}

} // namespace swf
