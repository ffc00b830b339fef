#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace swf {

// Paints a frame's fills on threads of its own while the caller goes on walking the
// display list and preparing the next fills.
//
// The picture's rows are cut into bands of kBand rows. A band takes the jobs that reach
// it in the order they came, and only one thread paints a band at a time, so every pixel
// sees the fills in the order they were given: the picture is the one a single thread
// would paint.
//
// Each thread has its own bands (they alternate), so that its rows stay in its own core's
// cache. But the system's scheduler often runs the caller on the core of one thread for a
// millisecond or more, and that thread falls behind; so once the caller waits for the
// painter, each thread also takes the other's bands that have work and nobody painting
// them. Without that, a core sat idle for about a fifth of a frame.
class BandPainter {
public:
    static constexpr int kThreads = 2;
    static constexpr int kBand = 16;
    // Rows past the last band's start all belong to it.
    static constexpr int kMaxBands = 1024;
    static int bandOf(int row) { return row <= 0 ? 0 : row / kBand < kMaxBands ? row / kBand : kMaxBands - 1; }

    // Paints the rows [from, to) of one band (never empty), on the painter's thread
    // `worker` (0 .. kThreads - 1), whose working memory it may use.
    using Job = std::function<void(int worker, int from, int to)>;

    BandPainter();
    ~BandPainter();
    BandPainter(const BandPainter&) = delete;
    BandPainter& operator=(const BandPainter&) = delete;

    // Queues `job` over the rows [from, to) and returns its number; numbers count up from
    // 0 over the painter's life. The threads start with the first job. Only one thread
    // submits and waits.
    uint64_t submit(int from, int to, Job job);
    // How many jobs, from the first, are finished on every band they reach.
    uint64_t finished() const { return finished_.load(std::memory_order_acquire); }
    // Waits until job `number` is finished.
    void waitFor(uint64_t number);
    // Waits for every job; a failure of any job since the last finish() is thrown here,
    // after which the painter works on.
    void finish();

private:
    struct Slot {
        Job job;
        int from = 0;
        int to = 0;
        int firstBand = 0;
        int lastBand = -1;
        std::atomic<int> remaining { 0 }; // bands not yet painted
    };
    struct alignas(64) Band {
        std::atomic<uint64_t> next { 0 }; // the first job this band has not gone past
        std::atomic<bool> taken { false };
    };
    // Jobs live in a ring; a slot takes a new job once its old one is finished and every
    // band has gone past it.
    static constexpr uint64_t kSlots = 2048;
    // A sleeping thread is woken for a few jobs at a time, not for each: waking a thread
    // costs about as much as painting a small fill.
    static constexpr uint64_t kWakeAfter = 8;

    Slot& slot(uint64_t number) const { return slots_[number % kSlots]; }
    void work(int worker);
    // Paints on thread `worker` the waiting jobs of each band that has some and nobody
    // painting it: the thread's own bands, and with `all` the others too. False when there
    // was no such band.
    bool help(int worker, bool all);
    // Paints a band's waiting jobs unless another thread is at it; false then.
    bool paintBand(int worker, int band);
    void run(Slot& slot, int worker, int band);
    // Counts the jobs finished from the first unfinished one on.
    void retire();
    // Waits until `done()` holds, which it does once `awaited` jobs are finished or later.
    template <class Done> void waitUntil(uint64_t awaited, Done&& done);
    // True once the slot of job `old` may take a new job.
    bool reusable(uint64_t old);

    std::unique_ptr<Slot[]> slots_;
    std::unique_ptr<Band[]> bands_;
    std::atomic<int> bandCount_ { 0 }; // bands any job has reached
    std::atomic<uint64_t> submitted_ { 0 };
    std::atomic<uint64_t> finished_ { 0 };
    std::atomic<bool> waiting_ { false }; // the caller waits: the threads help each other
    uint64_t reusableBelow_ = 0; // the caller's: every job below is finished everywhere

    mutable std::mutex mutex_; // sleeping and waking, retiring, failures
    std::condition_variable more_; // the threads wait for work
    std::condition_variable done_; // the caller waits for the threads
    std::atomic<int> sleepers_ { 0 };
    uint64_t hurry_ = 0; // bumped when the caller starts waiting, so that sleeping threads look again
    uint64_t awaited_ = 0; // the finished count the waiting caller needs; 0 when none waits
    bool stop_ = false;
    std::exception_ptr failure_;
    std::array<std::thread, kThreads> threads_;
};

} // namespace swf
