// Shared pieces of the run-level tests.
#include "tests/test_support.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

#include "install/log_names.h"
#include "output/standard_run.h"
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
    return path_.string() + "/";
}

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
