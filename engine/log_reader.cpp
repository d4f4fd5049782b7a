// Block reader with memchr line splitting.
#include "engine/log_reader.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/native_path.h"

namespace krav {

bool LogReader::Open(const std::string& path) {
    Close();
    std::error_code ec;
    const std::filesystem::path p = platform::NativePath(path);
    if (!std::filesystem::is_regular_file(p, ec)) return false;
    file_ = platform::OpenFile(path, "rb");
    if (file_ == nullptr) return false;
    std::uintmax_t size = std::filesystem::file_size(p, ec);
    initialSize_ = ec ? 0 : static_cast<std::uint64_t>(size);
    if (storage_.empty()) {
        storage_.resize(kBlockSize + kPage);
        const auto address = reinterpret_cast<std::uintptr_t>(storage_.data());
        block_ = storage_.data() + (kPage - address % kPage) % kPage;
    }
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
    return true;
}

void LogReader::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

bool LogReader::Refill() {
    if (eof_ || failed_ || file_ == nullptr) return false;
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
