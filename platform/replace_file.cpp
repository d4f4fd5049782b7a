// File replacement, checked output files and in-place rewriting, for POSIX systems and Windows.
#include "platform/replace_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/native_path.h"

namespace krav::platform {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCopyBlock = 1 << 20;

testing::BeforeRenameHook gBeforeRename = nullptr;

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

#ifdef _WIN32
constexpr int kCreate = _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT;
constexpr int kCreateNew = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT;
constexpr int kAppend = _O_WRONLY | _O_APPEND | _O_BINARY | _O_NOINHERIT;

int OpenHandle(const std::string& path, int flags) {
    int handle = -1;
    return _wsopen_s(&handle, NativePath(path).c_str(), flags, _SH_DENYNO, _S_IREAD | _S_IWRITE) == 0 ? handle : -1;
}
bool WriteHandle(int handle, const char* data, std::size_t length) {
    while (length > 0) {
        const unsigned part = length > (1u << 30) ? (1u << 30) : static_cast<unsigned>(length);
        const int n = _write(handle, data, part);
        if (n <= 0) return false;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}
bool SyncHandle(int handle) {
    return _commit(handle) == 0;
}
void StartWriteBack(int, std::uint64_t, std::uint64_t) {}
bool CloseFileHandle(int handle) {
    return _close(handle) == 0;
}
#else
constexpr int kCreate = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
constexpr int kCreateNew = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
constexpr int kAppend = O_WRONLY | O_APPEND | O_CLOEXEC;

int OpenHandle(const std::string& path, int flags) {
    int handle;
    do {
        handle = ::open(path.c_str(), flags, 0666);
    } while (handle < 0 && errno == EINTR);
    return handle;
}
bool WriteHandle(int handle, const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(handle, data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}
bool SyncHandle(int handle) {
    return ::fsync(handle) == 0;
}
// Starts the disk write of bytes already written, without waiting for it; only a request, and a failure
// shows when the file is flushed.
void StartWriteBack(int handle, std::uint64_t offset, std::uint64_t length) {
#if defined(__linux__) && defined(SYNC_FILE_RANGE_WRITE)
    ::sync_file_range(handle, static_cast<off_t>(offset), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE);
#else
    static_cast<void>(handle), static_cast<void>(offset), static_cast<void>(length);
#endif
}
bool CloseFileHandle(int handle) {
    // After close fails with EINTR the descriptor is gone on Linux: never close twice.
    return ::close(handle) == 0 || errno == EINTR;
}
#endif

// A name beside the target that no other writer uses: the process, a counter and the time.
std::string TemporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return target + ".krav-" + std::to_string(ProcessId()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(static_cast<unsigned long long>(ticks) % 1000000007ull);
}

}  // namespace

bool OutputFile::Open(const std::string& path, int flags) {
    Close();
    handle_ = OpenHandle(path, flags);
    return handle_ >= 0;
}

bool OutputFile::Create(const std::string& path) {
    return Open(path, kCreate);
}

bool OutputFile::Append(const std::string& path) {
    return Open(path, kAppend);
}

bool OutputFile::Write(std::string_view bytes) {
    return handle_ >= 0 && WriteHandle(handle_, bytes.data(), bytes.size());
}

bool OutputFile::Sync() {
    return handle_ >= 0 && SyncHandle(handle_);
}

bool OutputFile::Close() {
    if (handle_ < 0) return true;
    const bool closed = CloseFileHandle(handle_);
    handle_ = -1;
    return closed;
}

bool ReplacementFile::Open(const std::string& target) {
    Abandon();
    failed_ = false;
    written_ = writingBack_ = 0;
    target_ = target;
    if (StateOf(target) == FileState::Other) return false;  // never a folder or a device
    for (int attempt = 0; attempt < 8; ++attempt) {
        temporary_ = TemporaryName(target);
        if (file_.Open(temporary_, kCreateNew)) return true;
        if (errno != EEXIST) break;
    }
    temporary_.clear();
    return false;
}

bool ReplacementFile::Write(std::string_view bytes) {
    if (!file_.IsOpen() || failed_) return false;
    if (!file_.Write(bytes)) {
        failed_ = true;
        return false;
    }
    // A large file goes to the disk as it is written, so that Commit's flush has little left to wait for:
    // a friends file of tens of megabytes took tens of milliseconds to flush at the end of a run.
    written_ += bytes.size();
    if (written_ - writingBack_ >= kWriteBackStep) {
        StartWriteBack(file_.handle_, writingBack_, written_ - writingBack_);
        writingBack_ = written_;
    }
    return true;
}

bool ReplacementFile::Commit() {
    if (!file_.IsOpen() || failed_) {
        Abandon();
        return false;
    }
    bool ok = file_.Sync();
    ok = file_.Close() && ok;
    if (ok && gBeforeRename != nullptr) gBeforeRename(temporary_);
    ok = ok && RenameOver(temporary_, target_);
    if (!ok) {
        Abandon();
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacementFile::Abandon() {
    file_.Close();
    if (!temporary_.empty()) RemoveFile(temporary_);
    temporary_.clear();
}

bool ReplaceFileWith(const std::string& target, std::string_view text) {
    ReplacementFile file;
    return file.Open(target) && file.Write(text) && file.Commit();
}

namespace {

int OpenForReading(const std::string& path) {
#ifdef _WIN32
    int handle = -1;
    return _wsopen_s(&handle, NativePath(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, 0) == 0 ? handle
                                                                                                    : -1;
#else
    return OpenHandle(path, O_RDONLY | O_CLOEXEC);
#endif
}

// Reads the next block of `handle` into `block`; -1 on a failure, 0 at the end.
long long ReadBlock(int handle, std::vector<char>& block) {
#ifdef _WIN32
    return _read(handle, block.data(), static_cast<unsigned>(block.size()));
#else
    ssize_t got;
    do {
        got = ::read(handle, block.data(), block.size());
    } while (got < 0 && errno == EINTR);
    return got;
#endif
}

bool SkipTo(int handle, std::uint64_t offset) {
#ifdef _WIN32
    return _lseeki64(handle, static_cast<__int64>(offset), SEEK_SET) >= 0;
#else
    return ::lseek(handle, static_cast<off_t>(offset), SEEK_SET) >= 0;
#endif
}

// Copies from the handle's position to its end, or `limit` bytes, into `write`; false on a failed read or
// write.
template <typename Writer>
bool CopyToEnd(int handle, Writer&& write, std::uint64_t& copied, std::uint64_t limit = UINT64_MAX) {
    std::vector<char> block(kCopyBlock);
    while (copied < limit) {
        if (limit - copied < block.size()) block.resize(static_cast<std::size_t>(limit - copied));
        const long long got = ReadBlock(handle, block);
        if (got < 0) return false;
        if (got == 0) return true;
        if (!write(std::string_view(block.data(), static_cast<std::size_t>(got)))) return false;
        copied += static_cast<std::uint64_t>(got);
    }
    return true;
}

}  // namespace

bool AppendFileRange(const std::string& source, std::uint64_t offset, std::uint64_t limit, OutputFile& out,
                     std::uint64_t& copied) {
    copied = 0;
    const int handle = OpenForReading(source);
    if (handle < 0) return false;
    const bool ok = SkipTo(handle, offset) &&
                    CopyToEnd(handle, [&](std::string_view b) { return out.Write(b); }, copied, limit);
    CloseFileHandle(handle);
    return ok;
}

bool CopyFileOver(const std::string& source, const std::string& target) {
    if (StateOf(source) != FileState::File) return false;
    const int handle = OpenForReading(source);
    if (handle < 0) return false;
    ReplacementFile file;
    std::uint64_t copied = 0;
    const bool ok =
        file.Open(target) && CopyToEnd(handle, [&](std::string_view b) { return file.Write(b); }, copied);
    CloseFileHandle(handle);
    return ok && file.Commit();
}

bool RenameOver(const std::string& from, const std::string& target) {
#ifdef _WIN32
    const std::wstring wideFrom = NativePath(from).native();
    const std::wstring wideTo = NativePath(target).native();
    return MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    if (::rename(from.c_str(), target.c_str()) != 0) return false;
    return SyncFolderOf(target);
#endif
}

bool RemoveFile(const std::string& path) {
#ifdef _WIN32
    const std::wstring wide = NativePath(path).native();
    if (DeleteFileW(wide.c_str()) != 0) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
#else
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
#endif
}

bool SyncFolderOf(const std::string& path) {
#ifdef _WIN32
    (void)path;  // MoveFileEx with MOVEFILE_WRITE_THROUGH has flushed the change already
    return true;
#else
    std::string folder = fs::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    const int handle = OpenHandle(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) return false;
    const bool ok = SyncHandle(handle);
    CloseFileHandle(handle);
    return ok;
#endif
}

FileState StateOf(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(NativePath(path), ec);
    if (status.type() == fs::file_type::not_found) return FileState::Missing;
    if (!ec && fs::is_regular_file(status)) return FileState::File;
    return FileState::Other;
}

bool InPlaceFile::Open(const std::string& path) {
    Close();
    if (StateOf(path) != FileState::File) return false;
#ifdef _WIN32
    handle_ = OpenHandle(path, _O_RDWR | _O_BINARY | _O_NOINHERIT);
#else
    handle_ = OpenHandle(path, O_RDWR | O_CLOEXEC);
#endif
    return handle_ >= 0;
}

bool InPlaceFile::Size(std::uint64_t& size) {
    if (handle_ < 0) return false;
#ifdef _WIN32
    const __int64 end = _lseeki64(handle_, 0, SEEK_END);
    if (end < 0) return false;
    size = static_cast<std::uint64_t>(end);
#else
    struct stat info;
    if (::fstat(handle_, &info) != 0) return false;
    size = static_cast<std::uint64_t>(info.st_size);
#endif
    return true;
}

bool InPlaceFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t length, std::size_t& got) {
    got = 0;
    if (handle_ < 0) return false;
#ifdef _WIN32
    if (_lseeki64(handle_, static_cast<__int64>(offset), SEEK_SET) < 0) return false;
    const int n = _read(handle_, buffer, static_cast<unsigned>(length > (1u << 30) ? (1u << 30) : length));
#else
    ssize_t n;
    do {
        n = ::pread(handle_, buffer, length, static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
#endif
    if (n < 0) return false;
    got = static_cast<std::size_t>(n);
    return true;
}

bool InPlaceFile::WriteAt(std::uint64_t offset, std::string_view bytes) {
    if (handle_ < 0) return false;
#ifdef _WIN32
    if (_lseeki64(handle_, static_cast<__int64>(offset), SEEK_SET) < 0) return false;
    return WriteHandle(handle_, bytes.data(), bytes.size());
#else
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(handle_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
#endif
}

bool InPlaceFile::Truncate(std::uint64_t size) {
    if (handle_ < 0) return false;
#ifdef _WIN32
    return _chsize_s(handle_, static_cast<__int64>(size)) == 0;
#else
    return ::ftruncate(handle_, static_cast<off_t>(size)) == 0;
#endif
}

bool InPlaceFile::Sync() {
    return handle_ >= 0 && SyncHandle(handle_);
}

bool InPlaceFile::Close() {
    if (handle_ < 0) return true;
    const bool closed = CloseFileHandle(handle_);
    handle_ = -1;
    return closed;
}

bool LogLock::Acquire(const std::string& logPath) {
    Release();
#ifdef _WIN32
    // A named mutex per log; the log itself is not locked, so the game goes on writing to it.
    std::string name = "Local\\KRAV_LOG_";
    unsigned long long hash = 1469598103934665603ull;
    std::error_code ec;
    // One name for one file, however its path is spelt: letter case and separators folded.
    for (char c : PathText(fs::absolute(NativePath(logPath), ec).lexically_normal())) {
        const char folded = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c == '/' ? '\\' : c;
        hash = (hash ^ static_cast<unsigned char>(folded)) * 1099511628211ull;
    }
    name += std::to_string(hash);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    handle_ = mutex;
    return true;
#else
    // An advisory lock on the log itself: the game takes none, and the system drops it with the process.
    handle_ = OpenHandle(logPath, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info;
    if (handle_ >= 0 && (::fstat(handle_, &info) != 0 || !S_ISREG(info.st_mode))) Release();
    if (handle_ < 0) return true;  // no log to guard (missing, a folder, a pipe): opening it reports that
    if (::flock(handle_, LOCK_EX | LOCK_NB) != 0) {
        ::close(handle_);
        handle_ = -1;
        return false;
    }
    return true;
#endif
}

void LogLock::Release() {
#ifdef _WIN32
    if (handle_ != nullptr) ::CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
#else
    if (handle_ >= 0) ::close(handle_);
    handle_ = -1;
#endif
}

void testing::SetBeforeRenameHook(BeforeRenameHook hook) {
    gBeforeRename = hook;
}

}  // namespace krav::platform
