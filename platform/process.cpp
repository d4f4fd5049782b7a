// Process and terminal facts, for POSIX systems and Windows.
#include "platform/process.h"

#include "platform/native_path.h"

#include <csignal>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>
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
    std::string text = PathText(folder);
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    if (text.empty() || text.back() != separator) text += separator;
    return text;
}

// The running program's own file as the system names it; else `argv0` made absolute; empty when neither
// can be told.
std::filesystem::path ProgramPath(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
#ifdef _WIN32
    // The name may be longer than the old limit; the buffer grows until it holds all of it.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::wstring buffer(size, L'\0');
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) break;
        if (length < size) {
            buffer.resize(length);
            return fs::path(buffer);
        }
    }
#else
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) return self;
#endif
    fs::path given = fs::absolute(NativePath(argv0 != nullptr ? argv0 : ""), ec);
    return ec ? fs::path() : given;
}

}  // namespace

std::string ProgramFolder(const char* argv0) {
    const std::filesystem::path self = ProgramPath(argv0);
    if (!self.empty()) return WithSeparator(self.parent_path());
    std::error_code ec;
    return WithSeparator(std::filesystem::current_path(ec));
}

std::string ProgramFile(const char* argv0) {
    const std::filesystem::path self = ProgramPath(argv0);
    return self.empty() ? std::string(argv0 != nullptr ? argv0 : "") : PathText(self);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count); wide != nullptr) {
        std::vector<std::string> args;
        for (int i = 1; i < count; ++i)
            args.push_back(NarrowText(wide[i]));
        LocalFree(wide);
        return args;
    }
#endif
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
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
