// Block reader with memchr line splitting.
#include "engine/log_reader.h"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/native_path.h"

namespace krav {

char* LogReader::AlignedBlock(std::vector<char>& storage) {
    storage.resize(kBlockSize + kPage);
    const auto address = reinterpret_cast<std::uintptr_t>(storage.data());
    return storage.data() + (kPage - address % kPage) % kPage;
}

// Reads the file block after block on a thread of its own, as Refill would, up to kBlocksAhead - 2 blocks
// ahead of the reader, and prepares every line that starts and ends inside a block. It stops at the first
// read that gives nothing: the end of the file as it is then, or a failure.
class LogReader::ReadAhead {
public:
    enum class Outcome { Data, End, Failure };
    struct Block {
        std::vector<char> storage;
        char* data = nullptr;  // at the start of a page of storage
        std::size_t size = 0;
        Outcome outcome = Outcome::Data;
        std::size_t firstLine = 0;  // the offset of the first line that starts in the block
        std::vector<PreparedLine> lines;
    };

    explicit ReadAhead(std::FILE* file) : file_(file) {
        for (Block& block : blocks_)
            block.data = AlignedBlock(block.storage);
        thread_ = std::thread([this] { Run(); });  // std::system_error when no thread can be had
    }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    ~ReadAhead() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        Join();
    }

    // The next block, waited for. The two taken before it stay as they are until the next call.
    const Block& Next() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return filled_ > taken_; });
        const Block& block = blocks_[taken_ % kBlocksAhead];
        ++taken_;
        lock.unlock();
        changed_.notify_all();
        return block;
    }
    // Whether the lines of the blocks read from now on get their pairs.
    void WantPairs(bool wanted) { pairsWanted_.store(wanted, std::memory_order_relaxed); }
    // After the block that ends the reading: the file is the caller's again.
    void Join() {
        if (thread_.joinable()) thread_.join();
    }

private:
    void Run() {
        bool atLineStart = true;  // the file's first block starts a line
        for (std::size_t number = 0;; ++number) {
            {
                std::unique_lock lock(mutex_);
                // The reader's current block and the one before it are not to be touched.
                changed_.wait(lock, [&] { return stop_ || number + 2 < taken_ + kBlocksAhead; });
                if (stop_) return;
            }
            Block& block = blocks_[number % kBlocksAhead];
            std::fseek(file_, 0, SEEK_CUR);  // as in Refill: lines appended since a short read are seen
            block.size = std::fread(block.data, 1, kBlockSize, file_);
            block.lines.clear();
            const bool ends = block.size == 0;
            if (ends) {
                block.outcome = std::ferror(file_) ? Outcome::Failure : Outcome::End;
            } else {
                block.outcome = Outcome::Data;
                atLineStart = Split(block, atLineStart, pairsWanted_.load(std::memory_order_relaxed));
            }
            {
                std::lock_guard lock(mutex_);
                filled_ = number + 1;
            }
            changed_.notify_all();
            if (ends) return;
        }
    }

    // Prepares the lines that start and end in the block; true when its last byte ends a line.
    static bool Split(Block& block, bool atLineStart, bool pairs) {
        const char* data = block.data;
        const std::size_t size = block.size;
        std::size_t start = 0;
        if (!atLineStart) {
            const void* hit = std::memchr(data, '\n', size);
            start = hit != nullptr ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) + 1 : size;
        }
        block.firstLine = start;
        while (start < size) {
            const void* hit = std::memchr(data + start, '\n', size - start);
            if (hit == nullptr) return false;
            const auto length = static_cast<std::size_t>(static_cast<const char*>(hit) - (data + start));
            std::string_view raw(data + start, length);
            if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
            PreparedLine& line = block.lines.emplace_back();
            PrepareAhead(raw, line, pairs);
            line.length = static_cast<std::uint32_t>(length);
            start += length + 1;
        }
        return true;
    }

    std::FILE* file_;
    Block blocks_[kBlocksAhead];
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t filled_ = 0, taken_ = 0;  // blocks filled by the thread, and taken by the reader
    bool stop_ = false;
    std::atomic<bool> pairsWanted_{true};
    std::thread thread_;
};

LogReader::LogReader() = default;

LogReader::~LogReader() {
    Close();
}

bool LogReader::Open(const std::string& path) {
    Close();
    std::error_code ec;
    const std::filesystem::path p = platform::NativePath(path);
    if (!std::filesystem::is_regular_file(p, ec)) return false;
    file_ = platform::OpenFile(path, "rb");
    if (file_ == nullptr) return false;
    std::uintmax_t size = std::filesystem::file_size(p, ec);
    initialSize_ = ec ? 0 : static_cast<std::uint64_t>(size);
    if (storage_.empty()) ownBlock_ = block_ = AlignedBlock(storage_);
    pos_ = end_ = 0;
    carry_.clear();
    eof_ = failed_ = false;
    consumed_ = 0;
    // A byte order mark that an editor put at the start of the file belongs to no line.
    byteOrderMark_ = false;
    char head[3] = {};
    if (std::fread(head, 1, 3, file_) == 3 && std::memcmp(head, kByteOrderMark, 3) == 0) {
        byteOrderMark_ = true;
        consumed_ = 3;
    } else if (std::fseek(file_, 0, SEEK_SET) != 0) {
        Close();
        return false;
    }
    if (readAheadWanted_) {
        try {
            ahead_ = std::make_unique<ReadAhead>(file_);
        } catch (const std::system_error&) {
            ahead_.reset();  // read here, as without the second thread
        }
    }
    return true;
}

void LogReader::Close() {
    ahead_.reset();  // the thread ends before the file is closed
    aheadEnded_ = false;
    block_ = ownBlock_;  // not one of the read-ahead's blocks, which are gone
    pos_ = end_ = 0;
    prepared_ = preparedBegin_ = preparedNext_ = preparedEnd_ = nullptr;
    preparedUsed_ = 0;
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

bool LogReader::Refill() {
    if (eof_ || failed_ || file_ == nullptr) return false;
    if (ahead_ && !aheadEnded_) {
        // A block of a few lines, most of it one long line, tells nothing about the lines to come: its first
        // line, when the block starts one, is split here without its prepared fields.
        if (const std::size_t lines = static_cast<std::size_t>(preparedEnd_ - preparedBegin_); lines >= 64)
            ahead_->WantPairs(preparedUsed_ * 10 >= lines * 9);
        prepared_ = preparedBegin_ = preparedNext_ = preparedEnd_ = nullptr;
        preparedUsed_ = 0;
        const ReadAhead::Block& block = ahead_->Next();
        if (block.outcome == ReadAhead::Outcome::Data) {
            block_ = block.data;
            pos_ = 0;
            end_ = block.size;
            preparedBegin_ = preparedNext_ = block.lines.data();
            preparedEnd_ = preparedNext_ + block.lines.size();
            preparedAt_ = block.firstLine;
            return true;
        }
        // The thread has ended. Its blocks stay until Close: the lines of the last may still be in use.
        ahead_->Join();
        aheadEnded_ = true;
        if (block.outcome == ReadAhead::Outcome::Failure) {
            failed_ = true;
            return false;
        }
        // The end of the file as the thread found it. Lines the game appended since are read here.
    }
    prepared_ = preparedBegin_ = preparedNext_ = preparedEnd_ = nullptr;
    block_ = ownBlock_;
    // A short read may have left the stream at its end; lines the game appended since must still be read,
    // and some C libraries do not look at the file again until the stream is positioned.
    std::fseek(file_, 0, SEEK_CUR);
    std::size_t n = std::fread(block_, 1, kBlockSize, file_);
    pos_ = 0;
    end_ = n;
    if (n == 0) {
        if (std::ferror(file_)) {
            failed_ = true;
        } else {
            eof_ = true;
        }
        return false;
    }
    return true;
}

bool LogReader::NextLineAcrossBlocks(std::string_view& line) {
    prepared_ = nullptr;
    carry_.clear();
    continues_ = false;
    while (true) {
        if (pos_ < end_) {
            const char* start = block_ + pos_;
            const std::size_t available = end_ - pos_;
            const void* hit = std::memchr(start, '\n', available);
            if (hit != nullptr) {
                const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(hit) - start);
                pos_ += length + 1;
                consumed_ += length + 1;
                if (carry_.empty()) {
                    line = std::string_view(start, length);
                } else {
                    carry_.append(start, length);
                    line = carry_;
                }
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                return true;
            }
            carry_.append(start, available);
            consumed_ += available;
            pos_ = end_;
            if (carry_.size() >= kLongLine) {
                line = carry_;
                continues_ = true;
                return true;
            }
        }
        if (!Refill()) {
            if (failed_ || carry_.empty()) return false;
            line = carry_;  // the last line of a file without a final line end
            return true;
        }
    }
}

bool LogReader::NextPiece(std::string_view& piece) {
    prepared_ = nullptr;
    while (true) {
        if (pos_ < end_) {
            const char* start = block_ + pos_;
            const std::size_t available = end_ - pos_;
            if (const void* hit = std::memchr(start, '\n', available); hit != nullptr) {
                const auto length = static_cast<std::size_t>(static_cast<const char*>(hit) - start);
                pos_ += length + 1;
                consumed_ += length + 1;
                piece = std::string_view(start, length);
                if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
                continues_ = false;
                return true;
            }
            pos_ = end_;
            consumed_ += available;
            piece = std::string_view(start, available);
            return true;
        }
        if (!Refill()) {
            continues_ = false;  // the end of the file ends the line
            piece = {};
            return !failed_;
        }
    }
}

}  // namespace krav
