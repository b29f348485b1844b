#include "CallLane.h"

#include <algorithm>
#include <utility>

namespace automation {

namespace {

bool overlap(const RangeAddress& a, const RangeAddress& b)
{
    return a.sheet == b.sheet && a.startRow <= b.endRow && b.startRow <= a.endRow && a.startColumn <= b.endColumn &&
           b.startColumn <= a.endColumn;
}

} // namespace

CallLane::~CallLane()
{
    settleQuietly();
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_)
        t.join();
}

bool CallLane::conflicts(const RangeAddress& from, const RangeAddress& to) const
{
    return std::any_of(pending_.begin(), pending_.end(), [&](const Task& t) {
        return overlap(t.to, to) || overlap(t.to, from) || overlap(t.from, to);
    });
}

void CallLane::waitAll(std::unique_lock<std::mutex>& lock)
{
    done_.wait(lock, [this] { return pending_.empty(); });
}

void CallLane::add(const RangeAddress& from, const RangeAddress& to, std::function<void()> call)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (conflicts(from, to))
        waitAll(lock);
    Task t{from, to, std::move(call), nextId_++};
    pending_.push_back({from, to, {}, t.id});
    queue_.push_back(std::move(t));
    if (static_cast<int>(workers_.size()) < threads_ && workers_.size() < pending_.size())
        workers_.emplace_back([this] { work(); });
    lock.unlock();
    wake_.notify_one();
}

void CallLane::settle()
{
    std::unique_lock<std::mutex> lock(mutex_);
    waitAll(lock);
    if (failure_) {
        std::exception_ptr f = std::exchange(failure_, nullptr);
        lock.unlock();
        std::rethrow_exception(f);
    }
}

void CallLane::settleQuietly()
{
    std::unique_lock<std::mutex> lock(mutex_);
    waitAll(lock);
    failure_ = nullptr;
}

void CallLane::work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return ending_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        Task t = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        std::exception_ptr failed;
        try {
            t.call();
        } catch (...) {
            failed = std::current_exception();
        }
        lock.lock();
        if (failed && !failure_)
            failure_ = failed;
        pending_.erase(std::find_if(pending_.begin(), pending_.end(), [&](const Task& p) { return p.id == t.id; }));
        done_.notify_all();
    }
}

} // namespace automation
