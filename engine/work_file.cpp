// Buffered work-file writing.
#include "engine/work_file.h"

#include <cstring>

namespace krav {

namespace {
constexpr std::size_t kBufferSize = 1 << 20;
}

bool WorkFile::Create(const std::string& path) {
    Close();
    failed_ = false;
    used_ = 0;
    if (!file_.Create(path)) return false;
    buffer_.resize(kBufferSize);
    return true;
}

bool WorkFile::Append(const std::string& path) {
    Close();
    failed_ = false;
    used_ = 0;
    if (!file_.Append(path)) return false;
    buffer_.resize(kBufferSize);
    return true;
}

bool WorkFile::Put(std::string_view text) {
    if (!file_.IsOpen() || failed_) return false;
    if (text.empty()) return true;
    if (used_ + text.size() > buffer_.size()) {
        if (!Flush()) return false;
        if (text.size() > buffer_.size()) {
            if (!file_.Write(text)) failed_ = true;
            return !failed_;
        }
    }
    std::memcpy(buffer_.data() + used_, text.data(), text.size());
    used_ += text.size();
    return true;
}

bool WorkFile::Flush() {
    if (!file_.IsOpen() || failed_) return !failed_;
    if (used_ > 0 && !file_.Write(std::string_view(buffer_.data(), used_))) failed_ = true;
    used_ = 0;
    return !failed_;
}

bool WorkFile::Sync() {
    if (Flush() && !file_.Sync()) failed_ = true;
    return !failed_;
}

bool WorkFile::Close() {
    if (!file_.IsOpen()) return !failed_;
    Flush();
    if (!file_.Close()) failed_ = true;
    return !failed_;
}

}  // namespace krav
