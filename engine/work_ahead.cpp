#include "engine/work_ahead.h"

#include <system_error>
#include <utility>

namespace krav {

WorkAhead::WorkAhead(std::size_t pieces, std::size_t window, std::function<void(std::size_t)> work, bool helper)
    : work_(std::move(work)), pieces_(pieces), window_(window), done_(pieces, 0), failures_(pieces) {
    if (!helper || pieces < 2) return;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // Every piece on the caller's thread.
    }
}

WorkAhead::~WorkAhead() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

// Does `piece` with the lock released; a failure is kept for the Take of the piece.
void WorkAhead::Do(std::size_t piece, std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    std::exception_ptr failure;
    try {
        work_(piece);
    } catch (...) {
        failure = std::current_exception();
    }
    lock.lock();
    failures_[piece] = failure;
    done_[piece] = 1;
    changed_.notify_all();
}

void WorkAhead::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop_ || next_ >= pieces_ || next_ < taken_ + window_; });
        if (stop_ || next_ >= pieces_) return;
        Do(next_++, lock);
    }
}

void WorkAhead::Take(std::size_t piece) {
    std::unique_lock lock(mutex_);
    while (!done_[piece]) {
        // The caller does the next piece nobody has started rather than wait, within the window.
        if (next_ <= piece || (next_ < pieces_ && next_ < piece + window_)) {
            Do(next_++, lock);
        } else {
            changed_.wait(lock);
        }
    }
    taken_ = piece + 1;
    const std::exception_ptr failure = failures_[piece];
    lock.unlock();
    changed_.notify_all();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace krav
