// Work cut into numbered pieces that a second thread does ahead of the thread that needs their results in
// order: the end of a run settles its tables and writes their rows for the report on both cores.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace krav {

class WorkAhead {
public:
    // Pieces 0 to pieces - 1, each done once by `work`, on either thread. The second thread takes the next
    // piece nobody has started, at most `window` pieces past the last one taken; without `helper`, or when
    // no thread can be had, the caller does every piece itself.
    WorkAhead(std::size_t pieces, std::size_t window, std::function<void(std::size_t)> work, bool helper = true);
    WorkAhead(const WorkAhead&) = delete;
    WorkAhead& operator=(const WorkAhead&) = delete;
    // Waits for the piece the second thread is doing, if any; it starts no other.
    ~WorkAhead();

    // Returns once `piece` is done. While it is not, the caller does the next piece nobody has started, up
    // to `window` pieces past it, rather than wait. Pieces are taken in order, each once. An exception that
    // `work` threw on the second thread is thrown here, by the Take of that piece.
    void Take(std::size_t piece);

private:
    void Run();
    void Do(std::size_t piece, std::unique_lock<std::mutex>& lock);

    std::function<void(std::size_t)> work_;
    std::size_t pieces_, window_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<char> done_;
    std::vector<std::exception_ptr> failures_;
    std::size_t next_ = 0;   // the first piece nobody has started
    std::size_t taken_ = 0;  // the pieces the caller has taken
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace krav
