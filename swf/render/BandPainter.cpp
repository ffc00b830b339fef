#include "BandPainter.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace swf {

BandPainter::BandPainter()
    : slots_(std::make_unique<Slot[]>(kSlots))
    , bands_(std::make_unique<Band[]>(kMaxBands))
{
}

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

uint64_t BandPainter::submit(int from, int to, Job job)
{
    if (!threads_[0].joinable())
        for (int worker = 0; worker < kThreads; ++worker)
            threads_[static_cast<std::size_t>(worker)] = std::thread([this, worker] { work(worker); });
    const uint64_t number = submitted_.load(std::memory_order_relaxed);
    if (number >= kSlots) {
        const uint64_t old = number - kSlots;
        if (!reusable(old))
            waitUntil(old + 1, [&] { return reusable(old); });
    }
    Slot& s = slot(number);
    s.job = std::move(job);
    s.from = from;
    s.to = to;
    s.firstBand = bandOf(from);
    s.lastBand = to > from ? bandOf(to - 1) : s.firstBand - 1;
    s.remaining.store(s.lastBand - s.firstBand + 1, std::memory_order_relaxed);
    if (s.lastBand >= bandCount_.load(std::memory_order_relaxed))
        bandCount_.store(s.lastBand + 1, std::memory_order_relaxed);
    submitted_.store(number + 1); // publishes the slot and the band count
    if (s.lastBand < s.firstBand)
        retire();
    if (sleepers_.load() > 0 && (number + 1) % kWakeAfter == 0) {
        { std::lock_guard lock(mutex_); }
        more_.notify_all();
    }
    return number;
}

bool BandPainter::reusable(uint64_t old)
{
    if (old < reusableBelow_)
        return true;
    uint64_t least = finished_.load(std::memory_order_acquire);
    if (least <= old)
        return false;
    const int count = bandCount_.load(std::memory_order_relaxed);
    for (int b = 0; b < count; ++b)
        least = std::min(least, bands_[b].next.load(std::memory_order_acquire));
    reusableBelow_ = least;
    return old < least;
}

void BandPainter::run(Slot& s, int worker, int band)
{
    const int from = std::max(s.from, band * kBand);
    const int to = band == kMaxBands - 1 ? s.to : std::min(s.to, (band + 1) * kBand);
    try {
        s.job(worker, from, to);
    } catch (...) {
        std::lock_guard lock(mutex_);
        if (!failure_)
            failure_ = std::current_exception();
    }
}

bool BandPainter::paintBand(int worker, int band)
{
    Band& b = bands_[band];
    if (b.taken.exchange(true, std::memory_order_acquire))
        return false;
    uint64_t j = b.next.load(std::memory_order_relaxed);
    const uint64_t end = submitted_.load(std::memory_order_acquire);
    for (; j < end; ++j) {
        Slot& s = slot(j);
        if (band < s.firstBand || band > s.lastBand)
            continue;
        run(s, worker, band);
        b.next.store(j + 1, std::memory_order_release);
        if (s.remaining.fetch_sub(1, std::memory_order_acq_rel) == 1)
            retire();
    }
    b.next.store(j, std::memory_order_release);
    b.taken.store(false, std::memory_order_release);
    return true;
}

bool BandPainter::help(int worker, bool all)
{
    const uint64_t seen = submitted_.load(std::memory_order_acquire);
    const int count = bandCount_.load(std::memory_order_relaxed);
    bool worked = false;
    const auto visit = [&](int band) {
        if (bands_[band].next.load(std::memory_order_acquire) < seen)
            worked = paintBand(worker, band) || worked;
    };
    for (int band = worker; band < count; band += kThreads)
        visit(band);
    if (all)
        for (int band = count - 1; band >= 0; --band)
            if (band % kThreads != worker)
                visit(band);
    return worked;
}

void BandPainter::retire()
{
    std::lock_guard lock(mutex_);
    uint64_t done = finished_.load(std::memory_order_relaxed);
    const uint64_t submitted = submitted_.load(std::memory_order_acquire);
    while (done < submitted && slot(done).remaining.load(std::memory_order_acquire) == 0)
        ++done;
    if (done != finished_.load(std::memory_order_relaxed)) {
        finished_.store(done, std::memory_order_release);
        // The caller is woken once, when what it waits for is done, not after every job.
        if (awaited_ != 0 && done >= awaited_)
            done_.notify_all();
    }
}

void BandPainter::work(int worker)
{
    for (;;) {
        uint64_t hurry;
        {
            std::lock_guard lock(mutex_);
            if (stop_)
                return;
            hurry = hurry_;
        }
        const uint64_t seen = submitted_.load();
        if (help(worker, waiting_.load(std::memory_order_relaxed)))
            continue;
        std::unique_lock lock(mutex_);
        sleepers_.fetch_add(1);
        more_.wait(lock, [&] { return stop_ || hurry_ != hurry || submitted_.load() >= seen + kWakeAfter; });
        sleepers_.fetch_sub(1);
    }
}

template <class Done> void BandPainter::waitUntil(uint64_t awaited, Done&& done)
{
    if (done())
        return;
    {
        // Threads asleep for want of a full batch of jobs take the last ones now, and
        // each takes the other's bands too.
        std::lock_guard lock(mutex_);
        ++hurry_;
        awaited_ = awaited;
        waiting_.store(true);
    }
    more_.notify_all();
    std::unique_lock lock(mutex_);
    // The threads wake the caller when the jobs it waits for are done; a wait for a slot
    // of the ring looks again every millisecond, as it waits for bands that no job reaches.
    while (!done_.wait_for(lock, std::chrono::milliseconds(1), done)) {
    }
    awaited_ = 0;
    waiting_.store(false);
}

void BandPainter::waitFor(uint64_t number)
{
    waitUntil(number + 1, [&] { return finished() > number; });
}

void BandPainter::finish()
{
    const uint64_t all = submitted_.load();
    waitUntil(all, [&] { return finished() >= all; });
    std::exception_ptr failure;
    {
        std::lock_guard lock(mutex_);
        failure = std::exchange(failure_, nullptr);
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace swf
