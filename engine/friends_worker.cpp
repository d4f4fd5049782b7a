// Who entries handed to a second thread in blocks, each entry its name and values as a length and bytes.
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
constexpr std::size_t kQueuedBytes = std::size_t{32} << 20;

std::string_view TakeText(std::string_view block, std::size_t& at) {
    std::size_t length = 0;
    std::memcpy(&length, block.data() + at, sizeof length);
    at += sizeof length;
    const std::string_view text = block.substr(at, length);
    at += length;
    return text;
}

}  // namespace

FriendsWorker::~FriendsWorker() {
    if (!threaded_) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void FriendsWorker::Start(std::unique_ptr<Target> target) {
    target_ = std::move(target);
    block_.reserve(kBlockRoom);
    try {
        thread_ = std::thread([this] { Work(); });
        threaded_ = true;
    } catch (const std::system_error&) {
        threaded_ = false;  // no thread to be had: the work is done as it arrives
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
    if (!threaded_) {
        Process(block_);
        block_.clear();
        return;
    }
    platform::LargeString block;
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
    queue_.push_back(std::move(block));
    lock.unlock();
    wake_.notify_one();
}

void FriendsWorker::End() {
    if (!Started()) return;
    Handover();
    if (!threaded_) {
        Finish();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
}

FriendsWorker::Outcome FriendsWorker::Settle() {
    if (!Started()) return {};
    Handover();
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return queue_.empty() && !busy_ && ending_ == ended_; });
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

void FriendsWorker::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return closing_ || !queue_.empty() || (ending_ && !ended_); });
        if (closing_) return;
        busy_ = true;
        if (!queue_.empty()) {
            platform::LargeString block = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            Process(block);
            lock.lock();
            queuedBytes_ -= block.size();
            block.clear();
            spares_.push_back(std::move(block));
        } else {
            lock.unlock();
            Finish();
            lock.lock();
            ended_ = true;
        }
        busy_ = false;
        done_.notify_all();
    }
}

// A failure (no memory) stops the work: what follows is dropped, and the file is not written.
template <typename Step>
void FriendsWorker::Guarded(Step&& step) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (outcome_.failed) return;
    }
    std::string failure;
    try {
        step();
        return;
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "unknown failure";
    }
    std::lock_guard<std::mutex> lock(mutex_);
    outcome_.failed = true;
    outcome_.failure = std::move(failure);
}

void FriendsWorker::Note(std::string warning) {
    if (warning.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    outcome_.warnings.push_back(std::move(warning));
}

void FriendsWorker::Process(std::string_view block) {
    Guarded([&] {
        // Entries are taken from the block a few ahead of their turn, and what their lookups will need is
        // asked for then: each lookup of a long who list misses the cache, and several misses can be under
        // way at once. An entry is asked for twice (see FriendStore::AskSlot), kAsk and then kAsk / 2
        // entries before its turn.
        constexpr std::size_t kAsk = 8;
        struct Entry {
            std::string_view name;
            FriendStore::Values values;
            std::uint32_t hash;
        };
        std::array<Entry, kAsk> ahead;
        std::size_t taken = 0, at = 0;
        auto take = [&] {
            Entry& entry = ahead[taken++ % kAsk];
            entry.name = TakeText(block, at);
            for (std::string_view& value : entry.values)
                value = TakeText(block, at);
            entry.hash = FriendStore::HashOf(entry.name);
            store_.AskSlot(entry.hash);
        };
        while (taken < kAsk && at < block.size())
            take();
        for (std::size_t done = 0; done < taken; ++done) {
            if (done + kAsk / 2 < taken) store_.AskPlayer(ahead[(done + kAsk / 2) % kAsk].hash);
            const Entry& entry = ahead[done % kAsk];
            if (store_.Set(entry.name, entry.values)) target_->Seen(entry.name, entry.values);
            if (store_.size() >= batchPlayers_ || store_.TextBytes() >= batchBytes_)
                Note(target_->Take(store_));
            if (at < block.size()) take();  // into the place of the entry just done
        }
    });
}

void FriendsWorker::Finish() {
    Guarded([&] {
        Note(target_->Take(store_));
        Note(target_->Write());
    });
}

}  // namespace krav
