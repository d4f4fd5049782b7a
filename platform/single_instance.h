// One copy of the program at a time: a lock that the system itself lets go of when the process ends, however
// it ends, so a copy that crashed never keeps the next one from starting.
#pragma once

#include <string>

namespace krav::platform {

class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock named `name`; false when another process (or another SingleInstance of this one) holds
    // it, or when it cannot be made at all. On POSIX systems the lock is a file in the registry store's
    // folder, so copies that share their settings exclude each other; on Windows it is the named mutex.
    bool Acquire(const std::string& name);
    bool Held() const { return held_; }

private:
    bool held_ = false;
#ifdef _WIN32
    void* mutex_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace krav::platform
