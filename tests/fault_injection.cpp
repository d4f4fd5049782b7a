// Loaded with LD_PRELOAD into krav-cli: counts the calls that change files (opens for writing, writes,
// flushes to the disk, renames, truncations, copies) and makes the Nth of them fail, or kills the process
// there. Environment:
//   KRAV_FAULT_AT=N        the call to act on (1-based); 0 or unset only counts
//   KRAV_FAULT_ERRNO=EIO   the failure (ENOSPC when unset)
//   KRAV_FAULT_MODE=once|forever|kill
//                          fail the Nth call only, fail it and every later one (a full disk), or SIGKILL
//   KRAV_FAULT_COUNT=PATH  at exit, the number of calls counted is written there
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <sys/sendfile.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long gCount = 0;
long gAt = 0;
int gErrno = ENOSPC;
enum class Mode { Once, Forever, Kill } gMode = Mode::Once;
bool gReady = false;

void Setup() {
    if (gReady) return;
    gReady = true;
    if (const char* at = std::getenv("KRAV_FAULT_AT")) gAt = std::atol(at);
    if (const char* e = std::getenv("KRAV_FAULT_ERRNO"); e != nullptr && std::strcmp(e, "EIO") == 0) gErrno = EIO;
    if (const char* m = std::getenv("KRAV_FAULT_MODE")) {
        if (std::strcmp(m, "forever") == 0) gMode = Mode::Forever;
        if (std::strcmp(m, "kill") == 0) gMode = Mode::Kill;
    }
}

// True when this call is to fail (errno set); never returns when the process is to die here.
bool Fault() {
    Setup();
    ++gCount;
    if (gAt <= 0 || gCount < gAt) return false;
    if (gCount > gAt && gMode != Mode::Forever) return false;
    if (gMode == Mode::Kill) {
        kill(getpid(), SIGKILL);
        pause();
    }
    errno = gErrno;
    return true;
}

template <typename F>
F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool Writing(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0;
}

struct Reporter {
    ~Reporter() {
        if (const char* path = std::getenv("KRAV_FAULT_COUNT")) {
            if (std::FILE* f = std::fopen(path, "w")) {
                std::fprintf(f, "%ld\n", gCount);
                std::fclose(f);
            }
        }
    }
} gReporter;

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & O_CREAT) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (Writing(flags) && Fault()) return -1;
    return Next<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & O_CREAT) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (Writing(flags) && Fault()) return -1;
    return Next<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    mode_t mode = 0;
    if (flags & O_CREAT) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (Writing(flags) && Fault()) return -1;
    return Next<int (*)(int, const char*, int, ...)>("openat")(dir, path, flags, mode);
}

ssize_t write(int fd, const void* data, size_t length) {
    // The status list on standard output and the progress bar are not what this walks over.
    if (fd > 2 && Fault()) return -1;
    return Next<ssize_t (*)(int, const void*, size_t)>("write")(fd, data, length);
}

ssize_t pwrite(int fd, const void* data, size_t length, off_t offset) {
    if (Fault()) return -1;
    return Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite")(fd, data, length, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t length, off_t offset) {
    if (Fault()) return -1;
    return Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64")(fd, data, length, offset);
}

int fsync(int fd) {
    if (Fault()) return -1;
    return Next<int (*)(int)>("fsync")(fd);
}

int fdatasync(int fd) {
    if (Fault()) return -1;
    return Next<int (*)(int)>("fdatasync")(fd);
}

int rename(const char* from, const char* to) {
    if (Fault()) return -1;
    return Next<int (*)(const char*, const char*)>("rename")(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    if (Fault()) return -1;
    return Next<int (*)(int, const char*, int, const char*)>("renameat")(fromDir, from, toDir, to);
}

int ftruncate(int fd, off_t length) {
    if (Fault()) return -1;
    return Next<int (*)(int, off_t)>("ftruncate")(fd, length);
}

int ftruncate64(int fd, off_t length) {
    if (Fault()) return -1;
    return Next<int (*)(int, off_t)>("ftruncate64")(fd, length);
}

ssize_t copy_file_range(int in, off_t* inOffset, int out, off_t* outOffset, size_t length, unsigned flags) {
    if (Fault()) return -1;
    return Next<ssize_t (*)(int, off_t*, int, off_t*, size_t, unsigned)>("copy_file_range")(
        in, inOffset, out, outOffset, length, flags);
}

ssize_t sendfile(int out, int in, off_t* offset, size_t count) {
    if (Fault()) return -1;
    return Next<ssize_t (*)(int, int, off_t*, size_t)>("sendfile")(out, in, offset, count);
}

}  // extern "C"
