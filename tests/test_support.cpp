// Shared pieces of the run-level tests.
#include "tests/test_support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include "install/log_names.h"
#include "output/standard_run.h"
#include "platform/native_path.h"
#include "platform/process.h"
#include "recognisers/character.h"
#include "recognisers/summary_records.h"

namespace krav::test {

std::string RandomText(std::mt19937& random, std::size_t size, std::string_view alphabet) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i)
        text += alphabet[random() % alphabet.size()];
    return text;
}

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    static const unsigned salt = std::random_device{}();
    path_ =
        fs::temp_directory_path() / ("krav-test-" + std::to_string(salt) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempFolder::text() const {
    return path_.string() + static_cast<char>(fs::path::preferred_separator);
}

#ifdef _WIN32

namespace {

// One parameter of a Windows command line, quoted so that the program's start-up code splits it back.
std::wstring QuoteParameter(const std::wstring& arg) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const fs::path& errorFile) {
    ProgramResult result;
    std::wstring commandLine = QuoteParameter(platform::WideText(program));
    for (const std::string& arg : args)
        commandLine += L" " + QuoteParameter(platform::WideText(arg));

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readOut = nullptr, writeOut = nullptr;
    if (!CreatePipe(&readOut, &writeOut, &inherit, 0)) return result;
    SetHandleInformation(readOut, HANDLE_FLAG_INHERIT, 0);
    HANDLE error = CreateFileW(errorFile.empty() ? L"NUL" : errorFile.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeOut;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(writeOut);
    if (error != INVALID_HANDLE_VALUE) CloseHandle(error);
    if (started) {
        char buffer[4096];
        DWORD n = 0;
        while (::ReadFile(readOut, buffer, sizeof buffer, &n, nullptr) && n > 0)
            result.out.append(buffer, n);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) result.status = static_cast<int>(code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readOut);
    // The C library's text mode writes a line end as CR LF; the tests compare the lines.
    std::string lines;
    for (char c : result.out) {
        if (c != '\r') lines += c;
    }
    result.out = std::move(lines);
    return result;
}

std::string CliPath() {
    return platform::ProgramFolder(nullptr) + "krav-cli.exe";
}

std::string RecorderPath() {
    return platform::ProgramFolder(nullptr) + "krav_start_recorder.exe";
}

std::string Native(std::string_view posixPath) {
    std::string path = posixPath.starts_with('/') ? "C:" + std::string(posixPath) : std::string(posixPath);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

#else

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const fs::path& errorFile) {
    auto quote = [](const std::string& text) {
        std::string out = "'";
        for (char c : text)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    };
    std::string command = quote(program);
    for (const std::string& arg : args)
        command += " " + quote(arg);
    command += " 2>" + (errorFile.empty() ? std::string("/dev/null") : quote(errorFile.string()));
    ProgramResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string CliPath() {
    return KRAV_CLI_PATH;
}

std::string RecorderPath() {
    return KRAV_RECORDER_PATH;
}

std::string Native(std::string_view posixPath) {
    return std::string(posixPath);
}

#endif

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string WaitForRecord(const fs::path& path) {
    // A file that is missing, or that cannot be opened yet, reads as empty.
    std::string text = ReadFile(path);
    for (int i = 0; i < 500 && text.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        text = ReadFile(path);
    }
    return text;
}

std::vector<std::string> FileNames(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

RunInputs MakeInputs(const TempFolder& game, ShrinkMode mode, const std::string& character,
                     const std::string& server, const std::string& extension) {
    RunInputs in;
    const std::string entry = server + "_" + character;
    in.GameFolder = game.text();
    in.LogsFolder = game.text() + "logs/";
    in.ProgramFolder = game.text();
    in.EntryServer = server;
    in.EntryCharacter = character;
    in.ParseExtension = extension;
    in.LogFileName = LogFileName(entry, extension);
    in.BaseFileName = BaseFileName(entry);
    in.Mode = mode;
    in.Report = false;  // the report's own tests ask for it
    return in;
}

void RecordingHost::ProcessPendingMessages() {
    ++pendingCalls;
    if (onPending) onPending(pendingCalls);
}

namespace {

bool KeepAndChat(RunContext& run, const LogLine& line) {
    if (ReadSummaryRecord(run, line)) return true;
    run.KeepLine(line);
    run.AppendChatLine(run.inputs.Channels.Tell, line);
    return true;
}

}  // namespace

const RunSteps& KeepEverythingSteps() {
    static const RunSteps steps{KeepAndChat, nullptr, nullptr, nullptr, nullptr};
    return steps;
}

std::string Crlf(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string At(const std::string& time, const std::string& message, const std::string& day) {
    return "[Mon Dec " + day + " " + time + " 2026] " + message;
}

Lines Timed(const Lines& messages) {
    Lines lines;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const std::string s = std::to_string(100 + i % 60).substr(1);
        const std::string m = std::to_string(100 + i / 60).substr(1);
        lines.push_back(At("10:" + m + ":" + s, messages[i]));
    }
    return lines;
}

bool Holds(const std::string& log, const std::string& message) {
    return log.find("] " + message + "\r\n") != std::string::npos;
}

Lines TableRows(const StatTable& table) {
    Lines rows;
    for (int r = 1; table.HasRows && r < table.RowCount(); ++r) {
        std::string row;
        for (int c = 0; c < table.ColCount(); ++c)
            row += (c == 0 ? "" : "|") + table.Cell(c, r);
        rows.push_back(row);
    }
    return rows;
}

StandardRunTest::StandardRunTest() {
    WriteFile(game.path() / "KRAV.ini", "[Languages]\r\nElvish=1\r\nDwarvish=1\r\n");
    LoadLanguages(session, game.text());
}

fs::path StandardRunTest::Log(const std::string& character) const {
    return game.path() / "logs" / ("eqlog_" + character + "_tunare.txt");
}

void StandardRunTest::Run(const Lines& lines, ShrinkMode mode, const std::string& character) {
    WriteFile(Log(character), Crlf(lines));
    ProcessingRun::Run(session, MakeInputs(game, mode, character), host, StandardRunSteps());
}

std::string StandardRunTest::Kept(const std::string& character) const {
    const std::string log = ReadFile(Log(character));
    std::size_t end = log.find(" {KRAV} Surname: ");
    if (end == std::string::npos) return log;
    end = log.rfind('\n', end);
    end = end == std::string::npos ? 0 : end + 1;
    // A smallest log has the character's saved line right before the identity records.
    if (end > 0 && log.substr(0, end - 2).ends_with(" saved.")) {
        std::size_t before = log.rfind('\n', end - 3);
        end = before == std::string::npos ? 0 : before + 1;
    }
    return log.substr(0, end);
}

bool StandardRunTest::HasStatus(const std::string& line) const {
    return std::find(session.Status.begin(), session.Status.end(), line) != session.Status.end();
}

}  // namespace krav::test
