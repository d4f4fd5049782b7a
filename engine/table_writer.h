// The counts of the tables that grow with the log (the mobs, the loot), changed on a thread of their own.
// On a long log these tables hold a row for each of a hundred thousand names: finding a row is a few
// misses of the processor's caches, and growing them is memory the system must clear first. The reading
// of the log need not wait for that. The reading thread writes each operation, with copies of its texts,
// into a block; a second thread does the operations, in the order given, on the same tables.
//
// What the tables hold does not depend on the thread: each table gets the same operations in the same
// order. Any other use of an attached table (a lookup, a read of a cell, a sort) first waits until the
// operations given so far are done (StatTable does so on its own), so that whoever reads a table reads it
// as if every operation had been done at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace krav {

class StatTable;

// What one operation needs besides its table: a key, a zone, a column and a number.
struct TableOp {
    std::string_view key, zone;
    int col = 0;
    std::int64_t number = 0;
};
using ApplyTableOp = void (*)(StatTable& table, const TableOp& op);

class TableWriter {
public:
    TableWriter() = default;
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;
    // Detach.
    ~TableWriter();

    // Starts the thread and attaches the tables. False, with nothing attached, on a machine of one core,
    // when no thread can be had, or while tables are attached already: the operations are then done where
    // they are given, as without a writer. A writer detached may be attached again.
    bool Attach(std::initializer_list<StatTable*> tables);
    // Waits until every operation given is done and detaches the tables. An exception an operation threw on
    // the writer's thread is thrown here (the operations after it are dropped, as a run that fails drops
    // the rest of its lines).
    void Finish();
    // Finish without the exception: for the paths on which the run has failed already. The thread has ended
    // before the tables are let go.
    void Detach() noexcept;

    // True on the writer's own thread, where the operations are done rather than given.
    static bool OnWriterThread();

    // Gives `apply(table, op)` to the thread, with copies of the op's texts. Throws what an earlier operation
    // threw on the writer's thread, so that a failure ends the run soon; so does ThrowIfFailed, which the
    // read loop calls once a line.
    void Post(StatTable& table, ApplyTableOp apply, const TableOp& op);
    void ThrowIfFailed() {
        if (failed_.load(std::memory_order_relaxed)) ThrowFailure();
    }
    // Returns once every operation given so far is done. Allocates nothing, and a failure waits for Finish
    // or ThrowIfFailed: it is called from the tables' reads, the window's among them.
    void Drain();

private:
    struct Block {
        std::vector<char> bytes;
        std::size_t used = 0;
    };
    void Handover(std::unique_lock<std::mutex>& lock);  // the block being filled, to the queue
    void Run();
    static void Apply(const Block& block);
    [[noreturn]] void ThrowFailure();

    std::vector<StatTable*> tables_;
    Block block_;         // operations not handed over yet (the giving thread only)
    bool given_ = false;  // operations given since the last Drain (the giving thread only)

    std::mutex mutex_;
    std::condition_variable wake_;           // the writer: a block, or the close
    std::condition_variable done_;           // the giver: room in the queue, or everything done
    // The blocks handed over, oldest first: a ring of fixed size, so that handing one over takes no memory.
    std::vector<Block> queue_;
    std::size_t first_ = 0, queued_ = 0;
    std::vector<std::vector<char>> spares_;  // done with, to be filled again; room for all reserved
    bool working_ = false, closing_ = false;
    std::exception_ptr failure_;
    std::atomic<bool> failed_{false};  // failure_ is set
    std::thread thread_;
};

}  // namespace krav
