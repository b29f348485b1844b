#pragma once

// Calls on a document whose order among themselves does not matter (block
// copies, column widths) on their way to the office while the caller goes
// on: a print that copies a block per card does its own work meanwhile, and
// a few calls travel to the office at once (the office takes them one after
// another, without waiting between them for our next request). Each call
// names the cells it reads and writes; calls that share no cell may land in
// any order, and a call that reads or writes a cell a pending one writes, or
// writes a cell a pending one reads, waits for all pending ones first. Every
// other call on the document waits for the lane (settle) and gets what a
// failed call threw.

#include "automation/Spreadsheet.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace automation {

class CallLane {
public:
    explicit CallLane(int threads = 8) : threads_(threads) {}
    // Waits for the pending calls; what they throw is dropped.
    ~CallLane();
    CallLane(const CallLane&) = delete;
    CallLane& operator=(const CallLane&) = delete;

    // Runs `call`, which reads `from` and writes `to`, in the background.
    void add(const RangeAddress& from, const RangeAddress& to, std::function<void()> call);
    // Waits for every pending call; then throws what the first one that
    // failed since the last settle threw.
    void settle();
    // Waits for every pending call and forgets any failure.
    void settleQuietly();

private:
    struct Task {
        RangeAddress from;
        RangeAddress to;
        std::function<void()> call;
        long id = 0;
    };
    bool conflicts(const RangeAddress& from, const RangeAddress& to) const;
    void waitAll(std::unique_lock<std::mutex>& lock);
    void work();

    const int threads_;
    std::mutex mutex_;
    std::condition_variable wake_;  // a task queued, or the end
    std::condition_variable done_;  // a task finished
    std::deque<Task> queue_;
    std::vector<Task> pending_;     // queued or running: their cells
    long nextId_ = 0;
    std::exception_ptr failure_;
    std::vector<std::thread> workers_;
    bool ending_ = false;
};

} // namespace automation
