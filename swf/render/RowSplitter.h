#pragma once

#include <array>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace swf {

// Shares the rows of one drawing between the calling thread and one helper thread, so
// that a large fill takes both cores. Each thread works down a range of rows of its own;
// one that runs out takes half of what the other has left, so that neither waits long
// for the other, and the caller does everything itself when the helper is slow to come.
// The helper starts on the first drawing large enough to share and sleeps in between.
class RowSplitter {
public:
    // Lane 0 is the calling thread, lane 1 the helper.
    static constexpr int kLanes = 2;
    // Rows handed out at a time; a drawing of fewer than two such pieces is not shared.
    static constexpr int kChunk = 8;

    RowSplitter() = default;
    ~RowSplitter();
    RowSplitter(const RowSplitter&) = delete;
    RowSplitter& operator=(const RowSplitter&) = delete;

    using Rows = std::function<void(int lane, int from, int to)>;
    // Calls `rows(lane, from, to)` until every row of [first, end) has been handed out
    // exactly once, and returns once all of them are done. A lane's calls never overlap,
    // and the rows of one lane mostly follow on from its last call.
    void run(int first, int end, const Rows& rows);

private:
    struct Range {
        int next = 0;
        int end = 0;
    };
    bool rowsLeft() const;
    bool claim(int lane, int& from, int& to);
    void help();

    std::mutex mutex_;
    std::condition_variable work_; // the helper waits for rows
    std::condition_variable idle_; // the caller waits for the helper to finish its rows
    std::thread helper_;
    bool stop_ = false;
    const Rows* rows_ = nullptr; // the drawing being shared, while run() lasts
    std::array<Range, kLanes> ranges_ {};
    bool helperBusy_ = false;
    std::exception_ptr failure_;
};

} // namespace swf
