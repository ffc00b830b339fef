#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace swf {

// Paints a frame's fills on two threads of its own while the caller goes on walking the
// display list and preparing the next fills.
//
// The picture's rows are dealt out in bands: band k (rows kBand * k and on) belongs to lane
// k % kLanes for every fill, and each lane runs the jobs in the order they came. So every
// pixel is painted by one thread, in the order the fills were given, and the picture is
// the one a single thread would paint. A job is called once per lane and paints only that
// lane's rows.
class BandPainter {
public:
    static constexpr int kLanes = 2;
    static constexpr int kBand = 16;
    static int laneOf(int row) { return (row >= 0 ? row / kBand : (row + 1) / kBand - 1) & (kLanes - 1); }

    using Job = std::function<void(int lane)>;

    BandPainter() = default;
    ~BandPainter();
    BandPainter(const BandPainter&) = delete;
    BandPainter& operator=(const BandPainter&) = delete;

    // Queues `job` for both lanes and returns its number; numbers count up from 0 over the
    // painter's life. The threads start with the first job.
    uint64_t submit(Job job);
    // How many jobs, from the first, both lanes have finished.
    uint64_t finished() const;
    // Waits until job `number` is finished on both lanes.
    void waitFor(uint64_t number);
    // Waits for every job; a failure of any job since the last finish() is thrown here,
    // after which the painter works on.
    void finish();

private:
    void work(int lane);
    void waitUntil(std::unique_lock<std::mutex>& lock, uint64_t finished);
    uint64_t finishedLocked() const;

    mutable std::mutex mutex_;
    std::condition_variable more_; // the lanes wait for jobs
    std::condition_variable done_; // callers wait for the lanes
    std::deque<Job> jobs_; // the jobs not yet finished on both lanes, from number first_ on
    uint64_t first_ = 0;
    std::array<uint64_t, kLanes> next_ {}; // each lane's next job
    std::array<bool, kLanes> sleeping_ {};
    uint64_t awaited_ = 0; // how many finished jobs a waiting caller needs; 0 when none waits
    static constexpr uint64_t kWakeAfter = 8;
    std::array<std::thread, kLanes> threads_;
    bool stop_ = false;
    std::exception_ptr failure_;
};

} // namespace swf
