// Shared pieces of the run-level tests: temporary folders, file contents and a recording run host.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "engine/processing_run.h"

namespace krav::test {

// `size` characters drawn from `alphabet`: the input of the tests that compare a shortcut with the plain
// computation on random texts.
std::string RandomText(std::mt19937& random, std::size_t size, std::string_view alphabet);

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // The folder as the program's folder texts are: with a trailing separator.
    std::string text() const;

private:
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const std::string& content);

// What a program run to its end left: its exit status and standard output.
struct ProgramResult {
    int status = -1;
    std::string out;
};
// Runs the program with the arguments (each passed as one parameter, as typed between quotes) and waits for
// it; standard error goes to `errorFile` (discarded when empty). The status is -1 when it did not end by
// itself.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& errorFile = {});
// krav-cli of this build: beside the tests on Windows (where the build's path is not the system's),
// else where the build put it.
std::string CliPath();
// The stand-in for a started program (tests/start_recorder.cpp), to be copied where a test needs it; its
// name ends in ".exe" on Windows, where only such a name runs.
std::string RecorderPath();
// What a started recorder wrote to `path`: waits up to five seconds for the file to appear and to be
// readable with content. On Windows the recorder's rename can still hold the new name open for a moment
// after it appears, so the first open may fail; the file is never empty once complete.
std::string WaitForRecord(const std::filesystem::path& path);

// A POSIX-style absolute path of a test as this system spells it: on Windows "/a/b/" becomes "C:\a\b\".
std::string Native(std::string_view posixPath);
std::string ReadFile(const std::filesystem::path& path);
// The names of the files in a folder, sorted.
std::vector<std::string> FileNames(const std::filesystem::path& folder);

// Inputs of a run over logs/eqlog_<character>_<server><extension> in a game folder.
RunInputs MakeInputs(const TempFolder& game, ShrinkMode mode, const std::string& character = "Bob",
                     const std::string& server = "tunare", const std::string& extension = ".txt");

// Records what a run shows and lets a test act between lines.
class RecordingHost : public RunHost {
public:
    explicit RecordingHost(Session& session) : session_(session) {}

    std::vector<std::string> titles;
    std::vector<std::int64_t> positions;
    std::int64_t maximum = -1;
    int pendingCalls = 0;
    bool started = false, ended = false, closed = false, reportAvailable = false;
    // Called at every ProcessPendingMessages with the number of calls so far.
    std::function<void(int)> onPending;

    void ProcessPendingMessages() override;
    void RunStarted() override { started = true; }
    void RunEnded(bool report) override {
        ended = true;
        reportAvailable = report;
    }
    void SetProgressMaximum(std::int64_t m) override { maximum = m; }
    void SetProgressPosition(std::int64_t p) override { positions.push_back(p); }
    void SetTitle(const std::string& title) override { titles.push_back(title); }
    void CloseWindow() override { closed = true; }

private:
    Session& session_;
};

// Steps for exercising the run itself: every line is kept whole, chat-appended on the tell channel and
// claimed; records are still read by the real record step.
const RunSteps& KeepEverythingSteps();

using Lines = std::vector<std::string>;

// The lines, each followed by CR LF.
std::string Crlf(const Lines& lines);
// "[Mon Dec <day> <time> 2026] " + message.
std::string At(const std::string& time, const std::string& message, const std::string& day = "07");
// The messages stamped one second apart from 10:00:00.
Lines Timed(const Lines& messages);
// True when the log text holds the line of this message.
bool Holds(const std::string& log, const std::string& message);
// The data rows of a table, each as its cells joined by "|".
Lines TableRows(const StatTable& table);

// Whole runs of the standard steps over a log of a temporary game folder whose program folder holds a
// reference file with a few languages.
class StandardRunTest : public ::testing::Test {
protected:
    StandardRunTest();

    std::filesystem::path Log(const std::string& character = "Bob") const;
    void Run(const Lines& lines, ShrinkMode mode = ShrinkMode::ReadOnly,
             const std::string& character = "Bob");
    bool HasStatus(const std::string& line) const;
    // The new log of a shrinking run without the records written at its end.
    std::string Kept(const std::string& character = "Bob") const;

    TempFolder game;
    Session session;
    RecordingHost host{session};
};

}  // namespace krav::test
