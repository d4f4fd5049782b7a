// Who entries handed to the keeper's thread in blocks, each entry its name and values as a length and bytes;
// the writer's thread reads the new players' entries from the same blocks.
#include "engine/friends_worker.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <exception>
#include <system_error>
#include <utility>

namespace krav {

namespace {

// A block holds some twenty thousand entries: each block wakes the worker, which costs the reading a call
// into the system. Its room is one large page (see platform/large_pages.h), a little more than it is filled
// to, so that an entry seldom makes it grow. The queue is bounded, so that a worker that falls behind holds
// up the reading instead of the memory growing with the log.
constexpr std::size_t kBlockRoom = platform::kLargeBlock - 1;  // a string takes a byte more, for its end
constexpr std::size_t kBlockBytes = kBlockRoom - (std::size_t{64} << 10);
constexpr std::size_t kQueuedBytes = std::size_t{32} << 20;  // with the blocks the writer has yet to read

std::string_view TakeText(std::string_view block, std::size_t& at) {
    std::size_t length = 0;
    std::memcpy(&length, block.data() + at, sizeof length);
    at += sizeof length;
    const std::string_view text = block.substr(at, length);
    at += length;
    return text;
}

// The entry at `at`, which moves past it.
std::string_view TakeEntry(std::string_view block, std::size_t& at, FriendStore::Values& values) {
    const std::string_view name = TakeText(block, at);
    for (std::string_view& value : values)
        value = TakeText(block, at);
    return name;
}

std::string FailureText(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown failure";
    }
}

}  // namespace

FriendsWorker::~FriendsWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    wake_.notify_one();
    write_.notify_one();
    if (keeper_.joinable()) keeper_.join();
    if (writer_.joinable()) writer_.join();
}

void FriendsWorker::Start(std::unique_ptr<Target> target) {
    target_ = std::move(target);
    block_.reserve(kBlockRoom);
    // The writer first: the keeper, once running, asks whether there is one.
    try {
        if (threads_ >= 2) {
            writer_ = std::thread([this] { Write(); });
            writerThreaded_ = true;
        }
    } catch (const std::system_error&) {
        writerThreaded_ = false;  // the keeper writes too
    }
    try {
        if (threads_ >= 1) {
            keeper_ = std::thread([this] { Keep(); });
            threaded_ = true;
        }
    } catch (const std::system_error&) {
        threaded_ = false;  // the players are kept in the caller's thread, as they arrive
    }
}

bool FriendsWorker::Add(std::string_view name, const FriendStore::Values& values) {
    std::size_t size = sizeof(std::size_t) + name.size();
    for (std::string_view value : values)
        size += sizeof(std::size_t) + value.size();
    const std::size_t at = block_.size();
    block_.resize(at + size);
    char* p = block_.data() + at;
    auto put = [&p](std::string_view text) {
        const std::size_t length = text.size();
        std::memcpy(p, &length, sizeof length);
        std::memcpy(p + sizeof length, text.data(), length);
        p += sizeof length + length;
    };
    put(name);
    for (std::string_view value : values)
        put(value);
    if (block_.size() < kBlockBytes) return true;
    Handover();
    std::lock_guard<std::mutex> lock(mutex_);
    return !outcome_.failed || failureTold_;
}

void FriendsWorker::Handover() {
    if (block_.empty()) return;
    platform::LargeString block;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [&] { return queuedBytes_ < kQueuedBytes; });
        if (!spares_.empty()) {
            block.swap(spares_.back());
            spares_.pop_back();
        } else {
            block.reserve(kBlockRoom);
        }
        block.swap(block_);
        queuedBytes_ += block.size();
        if (threaded_) queue_.push_back(std::move(block));
    }
    if (threaded_) {
        wake_.notify_one();
    } else {
        Pass(Process(std::move(block)));
    }
}

void FriendsWorker::End() {
    if (!Started()) return;
    Handover();
    std::vector<platform::LargeString> spares;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
        spares.swap(spares_);
    }
    // No block is filled again. Their memory goes back to the system now: the end of the last batch, which
    // writes the changed players again, takes fresh memory, and memory just given back is far cheaper to
    // have again than memory the process never had.
    spares.clear();
    if (threaded_) {
        wake_.notify_one();
    } else {
        Pass(Finish());
    }
}

FriendsWorker::Outcome FriendsWorker::Settle() {
    if (!Started()) return {};
    Handover();
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] {
        return queue_.empty() && kept_.empty() && !keeping_ && !writing_ && ending_ == ended_;
    });
    Outcome outcome;
    outcome.warnings.swap(outcome_.warnings);
    // A failure is told once; the work stays stopped.
    if (outcome_.failed && !failureTold_) {
        failureTold_ = true;
        outcome.failed = true;
        outcome.failure = outcome_.failure;
    }
    return outcome;
}

void FriendsWorker::Keep() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return closing_ || !queue_.empty() || (ending_ && !endKept_); });
        if (closing_) return;
        keeping_ = true;
        Kept kept;
        if (!queue_.empty()) {
            platform::LargeString block = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            kept = Process(std::move(block));
        } else {
            endKept_ = true;
            lock.unlock();
            kept = Finish();
        }
        Pass(std::move(kept));
        lock.lock();
        keeping_ = false;
        done_.notify_all();
    }
}

void FriendsWorker::Write() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        write_.wait(lock, [&] { return closing_ || !kept_.empty(); });
        if (closing_) return;
        writing_ = true;
        Kept kept = std::move(kept_.front());
        kept_.pop_front();
        lock.unlock();
        Deliver(kept);
        lock.lock();
        Recycle(kept);
        writing_ = false;
        done_.notify_all();
    }
}

void FriendsWorker::Pass(Kept kept) {
    if (!writerThreaded_) {
        Deliver(kept);
        std::lock_guard<std::mutex> lock(mutex_);
        Recycle(kept);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        kept_.push_back(std::move(kept));
    }
    write_.notify_one();
}

void FriendsWorker::Recycle(Kept& kept) {
    queuedBytes_ -= kept.block.size();
    if (kept.last) ended_ = true;
    if (!ending_ && kept.block.capacity() >= kBlockRoom) {
        kept.block.clear();
        spares_.push_back(std::move(kept.block));
    }
}

void FriendsWorker::Note(std::string warning) {
    if (warning.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    outcome_.warnings.push_back(std::move(warning));
}

// A failure (no memory) stops the work: what follows is dropped, and the file is not written. The keeper's
// failure is told when the writer comes to it, after what the keeper passed on before it.
void FriendsWorker::Fail(std::string failure) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (outcome_.failed) return;
    outcome_.failed = true;
    outcome_.failure = std::move(failure);
}

FriendsWorker::Kept FriendsWorker::Process(platform::LargeString block) {
    Kept kept;
    kept.block = std::move(block);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        keeperFailed_ = keeperFailed_ || outcome_.failed;
    }
    if (keeperFailed_) return kept;
    try {
        // Entries are taken from the block a few ahead of their turn, and what their lookups will need is
        // asked for then: each lookup of a long who list misses the cache, and several misses can be under
        // way at once. An entry is asked for twice (see FriendStore::AskSlot), kAsk and then kAsk / 2
        // entries before its turn.
        constexpr std::size_t kAsk = 8;
        struct Entry {
            std::size_t offset;
            std::string_view name;
            FriendStore::Values values;
            std::uint32_t hash;
        };
        const std::string_view text = kept.block;
        std::array<Entry, kAsk> ahead;
        std::size_t taken = 0, at = 0;
        auto take = [&] {
            Entry& entry = ahead[taken++ % kAsk];
            entry.offset = at;
            entry.name = TakeEntry(text, at, entry.values);
            entry.hash = FriendStore::HashOf(entry.name);
            store_.AskSlot(entry.hash);
        };
        while (taken < kAsk && at < text.size())
            take();
        for (std::size_t done = 0; done < taken; ++done) {
            if (done + kAsk / 2 < taken) store_.AskPlayer(ahead[(done + kAsk / 2) % kAsk].hash);
            const Entry& entry = ahead[done % kAsk];
            if (store_.Set(entry.name, entry.values))
                kept.seen.push_back({entry.offset, entry.hash, store_.NewestIds()});
            if (store_.size() >= batchPlayers_ || store_.TextBytes() >= batchBytes_) {
                kept.taken.push_back({kept.seen.size(), std::move(store_)});
                store_ = FriendStore();
            }
            if (at < text.size()) take();  // into the place of the entry just done
        }
    } catch (...) {
        keeperFailed_ = kept.failed = true;
        kept.failure = FailureText(std::current_exception());
    }
    return kept;
}

FriendsWorker::Kept FriendsWorker::Finish() {
    Kept kept;
    kept.last = true;
    if (keeperFailed_) return kept;
    try {
        kept.taken.push_back({0, std::move(store_)});
        store_ = FriendStore();
    } catch (...) {
        keeperFailed_ = kept.failed = true;
        kept.failure = FailureText(std::current_exception());
    }
    return kept;
}

void FriendsWorker::Deliver(Kept& kept) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (outcome_.failed) return;
    }
    try {
        std::size_t next = 0;
        auto takeAfter = [&](std::size_t seen) {
            for (; next < kept.taken.size() && kept.taken[next].after == seen; ++next)
                Note(target_->Take(kept.taken[next].players));
        };
        // Each new player costs the target lookups that miss the cache: it hears of the player a few
        // players ahead, to ask for them.
        constexpr std::size_t kAhead = 4;
        auto ahead = [&](std::size_t i) {
            std::size_t at = kept.seen[i].offset;
            target_->Ahead(TakeText(kept.block, at), kept.seen[i].hash);
        };
        for (std::size_t i = 0; i < kAhead && i < kept.seen.size(); ++i)
            ahead(i);
        FriendStore::Values values;
        for (std::size_t i = 0; i < kept.seen.size(); ++i) {
            takeAfter(i);
            if (i + kAhead < kept.seen.size()) ahead(i + kAhead);
            std::size_t at = kept.seen[i].offset;
            const std::string_view name = TakeEntry(kept.block, at, values);
            target_->Seen(name, kept.seen[i].hash, values, kept.seen[i].ids);
        }
        takeAfter(kept.seen.size());
        if (kept.failed) {
            Fail(std::move(kept.failure));
        } else if (kept.last) {
            Note(target_->Write());
        }
    } catch (...) {
        Fail(FailureText(std::current_exception()));
    }
}

}  // namespace krav
