// Starting a program: ShellExecute on Windows; elsewhere a detached child whose exec outcome comes back over
// a close-on-exec pipe, so that a program that cannot run is reported as a failure and not as a start.
#include "platform/shell.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include "platform/native_path.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace krav::platform {

std::vector<std::string> SplitParameters(std::string_view parameters) {
    std::vector<std::string> result;
    std::string current;
    bool inQuotes = false, inParameter = false;
    for (char c : parameters) {
        if (c == '"') {
            inQuotes = !inQuotes;
            inParameter = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (inParameter) result.push_back(std::move(current));
            current.clear();
            inParameter = false;
        } else {
            current += c;
            inParameter = true;
        }
    }
    if (inParameter) result.push_back(std::move(current));
    return result;
}

#ifdef _WIN32

bool StartProgram(const std::string& program, std::string_view parameters, const std::string& workingFolder) {
    // Only a program: "open" would show a folder or a document in whatever the system associates with it.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(NativePath(program), ec)) return false;
    if (!workingFolder.empty() && !std::filesystem::is_directory(NativePath(workingFolder), ec)) return false;
    const std::wstring file = NativePath(program).native();
    const std::wstring text = WideText(parameters);
    const std::wstring folder = workingFolder.empty() ? std::wstring() : NativePath(workingFolder).native();
    // The program gets a window of its own, as a program started from the desktop does.
    HINSTANCE result = ShellExecuteW(nullptr, L"open", file.c_str(), text.c_str(),
                                     folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

#else

namespace {

// Reports errno to the waiting parent and ends the child; only async-signal-safe calls after a fork.
[[noreturn]] void Fail(int pipe) {
    int error = errno;
    ssize_t ignored = ::write(pipe, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

}  // namespace

bool StartProgram(const std::string& program, std::string_view parameters, const std::string& workingFolder) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::path(program), ec) ||
        ::access(program.c_str(), X_OK) != 0) {
        return false;
    }
    // Everything the child needs is made before the fork.
    std::vector<std::string> args = SplitParameters(parameters);
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return false;
    pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        // The program runs in a grandchild that init adopts, so nothing is left to reap once it ends.
        ::close(report[0]);
        pid_t grandchild = ::fork();
        if (grandchild < 0) Fail(report[1]);
        if (grandchild > 0) ::_exit(0);
        ::setsid();
        if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0) Fail(report[1]);
        ::execv(program.c_str(), argv.data());
        Fail(report[1]);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t n;
    while ((n = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    // Nothing read means the exec closed the pipe: the program runs.
    return n == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

#endif

}  // namespace krav::platform
