// The single-instance lock: flock() on a file for POSIX systems, a named mutex on Windows.
#include "platform/single_instance.h"

#include <filesystem>
#include <system_error>

#include "platform/registry.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace krav::platform {

SingleInstance::~SingleInstance() {
#ifdef _WIN32
    if (mutex_ != nullptr) CloseHandle(static_cast<HANDLE>(mutex_));
#else
    if (fd_ >= 0) close(fd_);  // closing the descriptor releases the lock
#endif
}

#ifdef _WIN32
bool SingleInstance::Acquire(const std::string& name) {
    if (held_) return true;
    HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str());
    if (existing != nullptr) {
        CloseHandle(existing);
        return false;
    }
    HANDLE created = CreateMutexA(nullptr, FALSE, name.c_str());
    if (created == nullptr) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {  // another copy made it between the two calls
        CloseHandle(created);
        return false;
    }
    mutex_ = created;
    held_ = true;
    return true;
}
#else
bool SingleInstance::Acquire(const std::string& name) {
    if (held_) return true;
    namespace fs = std::filesystem;
    const std::string folder = RegistryFolder();
    if (folder.empty()) return false;
    std::error_code ec;
    fs::create_directories(fs::path(folder), ec);
    const std::string path = (fs::path(folder) / (name + ".lock")).string();
    // The file itself is never removed: only the lock on it counts, and the system drops that with the last
    // descriptor of the process, crash or not. flock() locks belong to the open file, so a second
    // SingleInstance of the same process is refused as a second process would be.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    fd_ = fd;
    held_ = true;
    return true;
}
#endif

}  // namespace krav::platform
