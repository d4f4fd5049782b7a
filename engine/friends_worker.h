// The players of who lists, kept and handed to the friends file on a thread of their own. The read loop only
// copies each entry into a block of bytes; the other thread keeps the players in a FriendStore and hands a
// full batch, and at the end the rest, to the file. On a log naming many players that work is a large part
// of the run, and the reading of the log need not wait for it.
//
// What the file receives does not depend on the thread: the same entries reach the same store in the same
// order, in the same batches. What the run hears of it (a warning, a failure) comes back through Settle,
// which the run calls before it adds a status line, so that the status list reads as if the work had been
// done at once.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/friend_store.h"

namespace krav {

class FriendsWorker {
public:
    // Where the players go; called on the worker's thread only, one call at a time.
    class Target {
    public:
        virtual ~Target() = default;
        // A player new to the batch, with its values so far: the target may start on it.
        virtual void Seen(std::string_view name, const FriendStore::Values& values) = 0;
        // Takes the players of a full batch, or of the last one, and empties the store; a warning for the
        // status list, or empty text.
        virtual std::string Take(FriendStore& players) = 0;
        // After the last batch: writes the file. A warning, or empty text.
        virtual std::string Write() = 0;
    };

    // A batch is full when the store holds `batchPlayers` players or `batchBytes` bytes of text.
    FriendsWorker(std::size_t batchPlayers, std::size_t batchBytes)
        : batchPlayers_(batchPlayers), batchBytes_(batchBytes) {}
    // Waits for the thread; work not settled is dropped, and the file is not written unless End came first.
    ~FriendsWorker();
    FriendsWorker(const FriendsWorker&) = delete;
    FriendsWorker& operator=(const FriendsWorker&) = delete;

    bool Started() const { return target_ != nullptr; }
    // Starts the thread. When no thread can be had, the work is done in the caller's own, as it arrives.
    void Start(std::unique_ptr<Target> target);
    // One who entry. False when the work has failed: the caller settles, to hear of it.
    bool Add(std::string_view name, const FriendStore::Values& values);
    // No more entries: the last batch goes to the target, which writes the file. Does not wait.
    void End();

    struct Outcome {
        std::vector<std::string> warnings;  // in the order the target gave them
        bool failed = false;                // the work stopped on an exception
        std::string failure;                // its text
    };
    // Waits until everything handed over is done, and returns what the target said since the last Settle.
    Outcome Settle();

private:
    void Handover();
    void Work();
    // The worker's side, outside the lock.
    void Process(std::string_view block);
    void Finish();
    void Note(std::string warning);
    template <typename Step>
    void Guarded(Step&& step);

    const std::size_t batchPlayers_, batchBytes_;
    std::unique_ptr<Target> target_;
    platform::LargeString block_;  // entries not handed over yet (the caller's thread only)

    // Touched by the worker only, or while it waits.
    FriendStore store_;

    std::mutex mutex_;
    std::condition_variable wake_;  // the worker: a block, the end, or the close
    std::condition_variable done_;  // the caller: room in the queue, or everything done
    std::deque<platform::LargeString> queue_;
    // Blocks the worker is done with, for the caller to fill again: a block new from the system costs page
    // faults, and a long who list fills hundreds.
    std::vector<platform::LargeString> spares_;
    std::size_t queuedBytes_ = 0;
    bool busy_ = false, ending_ = false, ended_ = false, closing_ = false;
    Outcome outcome_;
    bool failureTold_ = false;
    bool threaded_ = false;
    std::thread thread_;
};

}  // namespace krav
