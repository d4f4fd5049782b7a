// Operations handed to the writer's thread in blocks: each a header (the table, the function that does it,
// the column, the number and the lengths of the texts) followed by the texts' bytes.
#include "engine/table_writer.h"

#include <cstring>
#include <utility>

#include "engine/stat_table.h"

namespace krav {

namespace {

// A block holds a thousand operations or so: small enough to stay in the caches between the two threads,
// large enough that handing it over costs little. The queue is bounded, so that a writer that falls behind
// holds up the reading instead of the memory growing with the log.
constexpr std::size_t kBlockBytes = std::size_t{64} << 10;
constexpr std::size_t kQueuedBlocks = 16;

struct Header {
    StatTable* table;
    ApplyTableOp apply;
    std::int64_t number;
    std::size_t keyLength, zoneLength, size;  // size: the whole operation's, header and texts, aligned
    int col;
};
constexpr std::size_t kAlign = alignof(Header);

thread_local bool tWriterThread = false;

}  // namespace

TableWriter::~TableWriter() {
    Detach();
}

bool TableWriter::OnWriterThread() {
    return tWriterThread;
}

bool TableWriter::Attach(std::initializer_list<StatTable*> tables) {
    if (thread_.joinable() || std::thread::hardware_concurrency() < 2) return false;
    // What an earlier attachment left: its thread has ended.
    closing_ = working_ = given_ = false;
    failure_ = nullptr;
    failed_.store(false, std::memory_order_relaxed);
    first_ = queued_ = 0;
    block_.used = 0;
    try {
        queue_.resize(kQueuedBlocks);
        // Every block there is: those queued, the one being done and the one being filled.
        spares_.reserve(kQueuedBlocks + 2);
        block_.bytes.resize(kBlockBytes);
        thread_ = std::thread([this] { Run(); });
    } catch (...) {
        return false;
    }
    tables_.assign(tables.begin(), tables.end());
    for (StatTable* table : tables_)
        table->SetWriter(this);
    return true;
}

void TableWriter::ThrowFailure() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::rethrow_exception(failure_);
}

void TableWriter::Post(StatTable& table, ApplyTableOp apply, const TableOp& op) {
    ThrowIfFailed();
    const std::size_t texts = op.key.size() + op.zone.size();
    const std::size_t size = (sizeof(Header) + texts + kAlign - 1) / kAlign * kAlign;
    if (block_.used + size > block_.bytes.size()) {
        if (block_.used > 0) {
            std::unique_lock<std::mutex> lock(mutex_);
            Handover(lock);
        }
        // A new block (a spare, or none when memory ran short), or a key longer than a block.
        if (block_.bytes.size() < size || block_.bytes.size() < kBlockBytes)
            block_.bytes.resize(size < kBlockBytes ? kBlockBytes : size);
    }
    char* at = block_.bytes.data() + block_.used;
    const Header header{&table, apply, op.number, op.key.size(), op.zone.size(), size, op.col};
    std::memcpy(at, &header, sizeof header);
    if (!op.key.empty()) std::memcpy(at + sizeof header, op.key.data(), op.key.size());
    if (!op.zone.empty()) std::memcpy(at + sizeof header + op.key.size(), op.zone.data(), op.zone.size());
    block_.used += size;
    given_ = true;
}

void TableWriter::Handover(std::unique_lock<std::mutex>& lock) {
    done_.wait(lock, [this] { return queued_ < queue_.size(); });
    queue_[(first_ + queued_++) % queue_.size()] = std::move(block_);
    wake_.notify_one();
    block_ = Block{};
    if (!spares_.empty()) {
        block_.bytes = std::move(spares_.back());
        spares_.pop_back();
    }
    lock.unlock();
}

void TableWriter::Drain() {
    if (!given_) return;
    std::unique_lock<std::mutex> lock(mutex_);
    if (block_.used > 0) {
        Handover(lock);
        lock.lock();
    }
    done_.wait(lock, [this] { return queued_ == 0 && !working_; });
    given_ = false;
}

void TableWriter::Run() {
    tWriterThread = true;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return queued_ > 0 || closing_; });
        if (queued_ == 0) return;
        Block block = std::move(queue_[first_]);
        first_ = (first_ + 1) % queue_.size();
        --queued_;
        working_ = true;
        const bool failed = failure_ != nullptr;
        lock.unlock();
        std::exception_ptr failure;
        if (!failed) {
            try {
                Apply(block);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        lock.lock();
        if (failure) {
            failure_ = failure;
            failed_.store(true, std::memory_order_relaxed);
        }
        working_ = false;
        if (spares_.size() < spares_.capacity()) spares_.push_back(std::move(block.bytes));
        done_.notify_all();
    }
}

void TableWriter::Apply(const Block& block) {
    const char* bytes = block.bytes.data();
    for (std::size_t at = 0; at < block.used;) {
        Header header;
        std::memcpy(&header, bytes + at, sizeof header);
        const char* texts = bytes + at + sizeof header;
        const TableOp op{std::string_view(texts, header.keyLength),
                         std::string_view(texts + header.keyLength, header.zoneLength), header.col,
                         header.number};
        header.apply(*header.table, op);
        at += header.size;
    }
}

void TableWriter::Finish() {
    if (!thread_.joinable()) return;
    Drain();
    std::exception_ptr failure;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        failure = failure_;
    }
    Detach();
    if (failure) std::rethrow_exception(failure);
}

void TableWriter::Detach() noexcept {
    if (!thread_.joinable()) return;
    // The last block handed over; the thread does what is queued before it ends.
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (block_.used > 0) {
            Handover(lock);
            lock.lock();
        }
        closing_ = true;
    }
    wake_.notify_one();
    thread_.join();
    given_ = false;
    for (StatTable* table : tables_)
        table->SetWriter(nullptr);
    tables_.clear();
}

}  // namespace krav
