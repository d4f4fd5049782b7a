// Process and terminal facts, for POSIX systems and Windows.
#include "platform/process.h"

#include <csignal>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace krav::platform {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
volatile std::sig_atomic_t gDeferred = 0;
volatile std::sig_atomic_t gSecondWhileDeferred = 0;

void EndByInterrupt() {
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
}

extern "C" void OnInterrupt(int) {
    std::signal(SIGINT, OnInterrupt);  // some systems reset the handler before calling it
    if (gInterrupted == 0) {
        gInterrupted = 1;
    } else if (gDeferred != 0) {
        gSecondWhileDeferred = 1;
    } else {
        EndByInterrupt();
    }
}

std::string WithSeparator(const std::filesystem::path& folder) {
    std::string text = folder.string();
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    if (text.empty() || text.back() != separator) text += separator;
    return text;
}

}  // namespace

std::string ProgramFolder(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
#ifdef _WIN32
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return WithSeparator(fs::path(std::string(buffer, length)).parent_path());
#else
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) return WithSeparator(self.parent_path());
#endif
    fs::path given = fs::absolute(fs::path(argv0 != nullptr ? argv0 : ""), ec);
    return WithSeparator(ec ? fs::current_path(ec) : given.parent_path());
}

std::string ProgramFile(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
#ifdef _WIN32
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::string(buffer, length);
#else
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) return self.string();
#endif
    fs::path given = fs::absolute(fs::path(argv0 != nullptr ? argv0 : ""), ec);
    return ec ? std::string(argv0 != nullptr ? argv0 : "") : given.string();
}

bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

void InstallInterruptHandler() {
    gInterrupted = 0;
    std::signal(SIGINT, OnInterrupt);
}

bool InterruptRequested() {
    return gInterrupted != 0;
}

InterruptDeferral::InterruptDeferral() {
    gDeferred = 1;
}

InterruptDeferral::~InterruptDeferral() {
    gDeferred = 0;
    if (gSecondWhileDeferred != 0) EndByInterrupt();
}

}  // namespace krav::platform
