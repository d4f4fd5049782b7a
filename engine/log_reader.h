// Sequential reading of a log in large blocks, split into lines without copying in the common case. A second
// thread reads the blocks ahead, splits them and works out the search fields of their lines, so that the
// reading thread finds most lines ready.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/log_line.h"

namespace krav {

class LogReader {
public:
    // A block small enough to stay in the processor's second-level cache between the read that fills it and
    // the line splitting and searches that follow it.
    static constexpr std::size_t kBlockSize = 1 << 18;
    // A line longer than this is returned in pieces (Continues, NextPiece), so that memory stays bounded
    // whatever the file holds (a file of NUL bytes is one line).
    static constexpr std::size_t kLongLine = 16 << 20;
    // The UTF-8 byte order mark, EF BB BF.
    static constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

    // The blocks the read-ahead may hold: the two the reader's lines may still point into, and those
    // filled ahead of them. Fourteen blocks (3.5 MB, some 5 ms of reading) ride out the read-ahead's turns
    // off the processor, which it shares with the table writer: with four, the reading waited for it about
    // once every hundred blocks.
    static constexpr std::size_t kBlocksAhead = 16;

    LogReader();
    LogReader(const LogReader&) = delete;
    LogReader& operator=(const LogReader&) = delete;
    ~LogReader();

    // Opens a regular file for reading; a folder or a missing or unreadable file fails.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    // True when no further line can be read (end of file or a read failure).
    bool AtEnd() { return pos_ >= end_ && carry_.empty() && !Refill(); }
    // The next line without its line end (LF or CR LF; a missing final line end is no line end). The view
    // stays valid until the next call. False at the end of the file or after a read failure.
    bool NextLine(std::string_view& line) {
        // Inline for the usual line, which ends inside the block already read, and which the read-ahead
        // has mostly split already.
        if (pos_ < end_ && carry_.empty()) {
            const char* start = block_ + pos_;
            // A line split here (the first of a block, one across blocks) may have passed prepared ones.
            while (preparedAt_ < pos_ && preparedNext_ < preparedEnd_)
                preparedAt_ += (preparedNext_++)->length + 1;
            if (pos_ == preparedAt_ && preparedNext_ < preparedEnd_) {
                prepared_ = preparedNext_++;
                const std::size_t length = prepared_->length;
                pos_ += length + 1;
                consumed_ += length + 1;
                preparedAt_ = pos_;
                line = std::string_view(start, length);
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                return true;
            }
            prepared_ = nullptr;
            if (const void* hit = std::memchr(start, '\n', end_ - pos_); hit != nullptr) {
                const auto length = static_cast<std::size_t>(static_cast<const char*>(hit) - start);
                pos_ += length + 1;
                consumed_ += length + 1;
                line = std::string_view(start, length);
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                return true;
            }
        }
        return NextLineAcrossBlocks(line);
    }
    bool Failed() const { return failed_; }
    // True when the line (or piece) just returned is not the whole line: the rest follows through NextPiece.
    bool Continues() const { return continues_; }
    // The next piece of a line that continues; its last piece, without the line end, clears Continues. The
    // view stays valid until the next call. False after a read failure.
    bool NextPiece(std::string_view& piece);
    // The search fields of the line NextLine returned last, when the read-ahead worked them out; null
    // otherwise. Valid as long as the line.
    const PreparedLine* Prepared() const { return prepared_; }
    // Tells that the prepared fields of the line just returned were used. Most lines of a log are; when a
    // block's lines mostly are not (the entries of long who lists, read without a search), the read-ahead
    // leaves the pairs of the next blocks' lines to the searches that need them, which keeps it from taking
    // the time of a second thread that is busy with those entries.
    void NotePreparedUsed() { ++preparedUsed_; }
    // Whether the file starts with a byte order mark, which no line includes.
    bool HasByteOrderMark() const { return byteOrderMark_; }

    // The size the file had when it was opened, and the bytes taken up to the end of the last line returned.
    std::uint64_t InitialSize() const { return initialSize_; }
    std::uint64_t BytesConsumed() const { return consumed_; }

    // For tests: reads without the second thread, as when no thread can be had.
    void SetReadAhead(bool on) { readAheadWanted_ = on; }

private:
    class ReadAhead;
    bool Refill();
    bool NextLineAcrossBlocks(std::string_view& line);

    std::FILE* file_ = nullptr;
    // The block read, at the start of a page of storage_: the system copies a read into a buffer that lies
    // off the page boundary at a fraction of the speed (a large allocation starts 16 bytes into its page).
    static constexpr std::size_t kPage = 4096;
    static char* AlignedBlock(std::vector<char>& storage);  // sizes storage, returns its aligned block
    std::vector<char> storage_;
    char* ownBlock_ = nullptr;  // the block of storage_, read into when there is no read-ahead
    char* block_ = nullptr;     // the block being split: ownBlock_, or one of the read-ahead's
    std::size_t pos_ = 0, end_ = 0;
    std::string carry_;  // a line that spans two blocks
    bool eof_ = false, failed_ = false, continues_ = false, byteOrderMark_ = false;
    std::uint64_t initialSize_ = 0, consumed_ = 0;

    // The read-ahead, until it has found the end of the file, then kept for its blocks until Close.
    std::unique_ptr<ReadAhead> ahead_;
    bool readAheadWanted_ = true, aheadEnded_ = false;
    // The prepared lines of the current block from the read-ahead: the next to be returned, the end, and
    // the offset in the block at which the next starts.
    const PreparedLine* preparedBegin_ = nullptr;
    const PreparedLine* preparedNext_ = nullptr;
    const PreparedLine* preparedEnd_ = nullptr;
    std::size_t preparedUsed_ = 0;  // of the current block's
    std::size_t preparedAt_ = 0;
    const PreparedLine* prepared_ = nullptr;
};

// Blocks of 128 bytes the game's reader has fetched once `consumed` bytes of a file of `size` bytes are read:
// the progress bar counts these, the last partial block excluded.
inline std::int64_t FetchedBlocks(std::uint64_t consumed, std::uint64_t size) {
    std::uint64_t fetched = (consumed + 127) / 128;
    std::uint64_t whole = size / 128;
    return static_cast<std::int64_t>(fetched < whole ? fetched : whole);
}

}  // namespace krav
