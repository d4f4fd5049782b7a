// The players of who lists, kept and handed to the friends file on threads of their own. The read loop only
// copies each entry into a block of bytes; one thread (the keeper) keeps the players in a FriendStore, and
// a second (the writer) hands the target each new player, a full batch, and at the end the rest. On a log
// naming many players that work is a large part of the run, and the reading of the log need not wait for
// it; in two steps, it ends with the longer of the two rather than with both, where cores are free for them.
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
    // Where the players go; called by the writer only (on its thread, or where it has none, on the keeper's
    // or the caller's), one call at a time.
    class Target {
    public:
        virtual ~Target() = default;
        // A player new to the batch, with FriendStore::HashOf(name), its values so far and their numbers in
        // the batch's store (the one Take will be given): the target may start on it.
        virtual void Seen(std::string_view name, std::uint32_t hash, const FriendStore::Values& values,
                          const FriendStore::ValueIds& ids) = 0;
        // A player that Seen will be given a few players from now, with its hash: the target may ask for
        // what it will look up then. Changes nothing.
        virtual void Ahead(std::string_view name, std::uint32_t hash) {
            static_cast<void>(name), static_cast<void>(hash);
        }
        // Takes the players of a full batch, or of the last one, and empties the store; a warning for the
        // status list, or empty text.
        virtual std::string Take(FriendStore& players) = 0;
        // After the last batch: writes the file. A warning, or empty text.
        virtual std::string Write() = 0;
    };

    // A batch is full when the store holds `batchPlayers` players or `batchBytes` bytes of text. At most
    // `threads` threads of its own: 2, the keeper and the writer; 1, the keeper writes too; 0, the caller's
    // thread does it all. Fewer where the system gives fewer.
    FriendsWorker(std::size_t batchPlayers, std::size_t batchBytes, unsigned threads = 2)
        : batchPlayers_(batchPlayers), batchBytes_(batchBytes), threads_(threads) {}
    // Waits for the threads; work not settled is dropped, and the file is not written unless End came first.
    ~FriendsWorker();
    FriendsWorker(const FriendsWorker&) = delete;
    FriendsWorker& operator=(const FriendsWorker&) = delete;

    bool Started() const { return target_ != nullptr; }
    // Starts the threads. When none can be had, the work is done in the caller's own, as it arrives; when
    // only one, the keeper writes too.
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
    // What the keeper has done with a block, for the writer: the block itself, so that the new players'
    // entries are read from it again, and where the batches ended.
    struct Kept {
        platform::LargeString block;
        // The entries that named a player new to the batch: where each is in the block, its name's hash, and
        // the numbers its values have in the store.
        struct NewPlayer {
            std::size_t offset;
            std::uint32_t hash;
            FriendStore::ValueIds ids;
        };
        std::vector<NewPlayer> seen;
        struct Taken {
            std::size_t after;  // taken after this many of the seen players
            FriendStore players;
        };
        std::vector<Taken> taken;
        bool last = false;    // the end: the file is written after the batches taken
        bool failed = false;  // the keeper stopped on an exception here; what it kept before stands
        std::string failure;
    };

    void Handover();
    void Keep();
    void Write();
    // The keeper's side and the writer's, outside the lock.
    Kept Process(platform::LargeString block);
    Kept Finish();
    void Deliver(Kept& kept);
    // Hands what the keeper kept to the writer: to its thread, or done at once when it has none.
    void Pass(Kept kept);
    // Back to the spares, with the queue's bytes; under the lock. After End no block is filled again, and
    // its memory goes with the Kept.
    void Recycle(Kept& kept);
    void Note(std::string warning);
    void Fail(std::string failure);

    const std::size_t batchPlayers_, batchBytes_;
    const unsigned threads_;
    std::unique_ptr<Target> target_;
    platform::LargeString block_;  // entries not handed over yet (the caller's thread only)

    // Touched by the keeper only, or while it waits.
    FriendStore store_;
    bool keeperFailed_ = false;

    std::mutex mutex_;
    std::condition_variable wake_;   // the keeper: a block, the end, or the close
    std::condition_variable write_;  // the writer: a kept block, or the close
    std::condition_variable done_;   // the caller: room in the queue, or everything done
    std::deque<platform::LargeString> queue_;
    std::deque<Kept> kept_;
    // Blocks the writer is done with, for the caller to fill again: a block new from the system costs page
    // faults, and a long who list fills hundreds.
    std::vector<platform::LargeString> spares_;
    std::size_t queuedBytes_ = 0;  // in blocks from their handover until the writer is done with them
    bool keeping_ = false, writing_ = false;                    // a thread is at work outside the lock
    bool ending_ = false, endKept_ = false, ended_ = false;     // End called, the keeper's, the writer's
    bool closing_ = false;
    Outcome outcome_;
    bool failureTold_ = false;
    bool threaded_ = false, writerThreaded_ = false;
    std::thread keeper_, writer_;
};

}  // namespace krav
