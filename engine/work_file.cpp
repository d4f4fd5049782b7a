// Buffered work-file writing.
#include "engine/work_file.h"

#include <cstring>

#include "platform/native_path.h"

namespace krav {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}

bool WorkFile::Open(const std::string& path, const char* mode) {
    Close();
    failed_ = false;
    file_ = platform::OpenFile(path, mode);
    if (file_ == nullptr) return false;
    std::setvbuf(file_, nullptr, _IONBF, 0);  // the buffer below is the only one
    buffer_.resize(kBufferSize);
    used_ = 0;
    return true;
}

bool WorkFile::Create(const std::string& path) {
    return Open(path, "wb");
}
bool WorkFile::Append(const std::string& path) {
    return Open(path, "ab");
}

bool WorkFile::Put(std::string_view text) {
    if (file_ == nullptr || failed_) return false;
    if (text.empty()) return true;
    if (used_ + text.size() > buffer_.size()) {
        if (!Flush()) return false;
        if (text.size() > buffer_.size()) {
            if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
            return !failed_;
        }
    }
    std::memcpy(buffer_.data() + used_, text.data(), text.size());
    used_ += text.size();
    return true;
}

bool WorkFile::Flush() {
    if (file_ == nullptr || failed_) return !failed_;
    if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
    used_ = 0;
    if (!failed_ && std::fflush(file_) != 0) failed_ = true;
    return !failed_;
}

bool WorkFile::Close() {
    if (file_ == nullptr) return !failed_;
    Flush();
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace krav
