// Shrinking runs of krav-cli under injected faults: every call that changes a file fails in turn (once, and
// for good as on a full disk), or the process is killed there. After each, and after a plain run that follows,
// no raw line is missing from the log and its backup, the chat file lost nothing, and the exit status and the
// status lines tell the truth.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;

const std::string kLogName = "eqlog_Bob_tunare.txt";

struct Outcome {
    int status = -1;  // -1: killed
    std::string out;
};

Outcome RunCli(const fs::path& log, const std::string& environment) {
    const std::string command = environment + " exec " + KRAV_CLI_PATH + " process --mode smallest '" +
                                log.string() + "' 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::set<std::string> LinesOf(const fs::path& file) {
    std::set<std::string> lines;
    std::istringstream in(fs::exists(file) ? ReadFile(file) : std::string());
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.insert(line);
    }
    return lines;
}

std::size_t CountLines(const fs::path& file) {
    const std::string text = fs::exists(file) ? ReadFile(file) : std::string();
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

Lines Batch(int from, int to) {
    Lines lines;
    for (int i = from; i < to; ++i) {
        const std::string stamp = "[Tue Dec 08 10:" + std::to_string(10 + i / 60) + ":" +
                                  (i % 60 < 10 ? "0" : "") + std::to_string(i % 60) + " 2026] ";
        switch (i % 4) {
            case 0: lines.push_back(stamp + "You have slain a gnoll " + std::to_string(i) + "!"); break;
            case 1: lines.push_back(stamp + "Ann tells you, 'note " + std::to_string(i) + "'"); break;
            case 2: lines.push_back(stamp + "A wind " + std::to_string(i) + " blows."); break;
            default: lines.push_back(stamp + "You say, 'word " + std::to_string(i) + "'"); break;
        }
    }
    return lines;
}

class FaultWalk : public ::testing::Test {
protected:
    // A log that a first run has shrunk, with lines the game appended since: the run copies the chat file
    // and the backup, appends to both and replaces all three.
    void SetUp() override {
        const fs::path logs = scratch.path() / "seed" / "logs";
        WriteFile(logs / kLogName, Crlf(Batch(0, 12)));
        ASSERT_EQ(RunCli(logs / kLogName, "").status, 0);
        WriteFile(logs / kLogName, ReadFile(logs / kLogName) + Crlf(Batch(12, 24)));
        for (const std::string& line : Batch(0, 24)) {
            raw.insert(line);
            if (line.find(" tells you, ") != std::string::npos || line.find("] You say, ") != std::string::npos)
                chat.insert(line);
        }
        before = Snapshot(logs);
    }

    std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& logs) const {
        std::vector<std::pair<std::string, std::string>> files;
        for (const std::string& name : FileNames(logs))
            files.emplace_back(name, ReadFile(logs / name));
        return files;
    }

    fs::path Fresh(int trial) {
        const fs::path logs = scratch.path() / ("t" + std::to_string(trial)) / "logs";
        for (const auto& [name, content] : before)
            WriteFile(logs / name, content);
        return logs;
    }

    std::string Content(const std::string& name) const {
        for (const auto& [file, content] : before)
            if (file == name) return content;
        return {};
    }

    // What must hold whatever happened to the run.
    void CheckNothingLost(const fs::path& logs, const std::string& what) {
        const std::set<std::string> log = LinesOf(logs / kLogName);
        const std::set<std::string> backup = LinesOf(logs / ("OLDLOG_" + kLogName));
        const std::set<std::string> chatFile = LinesOf(logs / ("CHAT_" + kLogName));
        for (const std::string& line : raw)
            ASSERT_TRUE(log.count(line) || backup.count(line)) << what << ": raw line lost: " << line;
        for (const std::string& line : chat) {
            ASSERT_TRUE(chatFile.count(line) || log.count(line)) << what << ": chat line lost: " << line;
        }
        // The report is the last good page or a whole new one.
        const fs::path report = logs / "eqlog_Bob_tunare.html";
        if (fs::exists(report)) {
            ASSERT_TRUE(ReadFile(report).ends_with("</html>\n")) << what;
        }
    }

    // A failed run that reported no kept new log left the log and the chat file as they were.
    void CheckOutcome(const fs::path& logs, const Outcome& run, const std::string& what) {
        if (run.status == -1) return;  // killed
        const bool error = run.out.find("\nERROR: ") != std::string::npos;
        ASSERT_EQ(run.status, error ? 1 : 0) << what << "\n" << run.out;
        const std::string chatFile = "CHAT_" + kLogName;
        if (!error) {
            const std::size_t at = run.out.find(" chat lines appended\n");
            ASSERT_NE(at, std::string::npos) << what;
            const std::size_t start = run.out.rfind('\n', at) + 1;
            const std::size_t appended = std::stoul(run.out.substr(start, at - start));
            const std::string old = Content(chatFile);
            const auto earlier = static_cast<std::size_t>(std::count(old.begin(), old.end(), '\n'));
            EXPECT_EQ(CountLines(logs / chatFile), earlier + appended) << what;
            return;
        }
        EXPECT_EQ(run.out.find(" chat lines appended"), std::string::npos) << what << "\n" << run.out;
        if (run.out.find("The new log is kept in") != std::string::npos) {
            EXPECT_TRUE(fs::exists(logs / ("NEWLOG_" + kLogName))) << what;
        } else {
            EXPECT_EQ(ReadFile(logs / kLogName), Content(kLogName)) << what << "\n" << run.out;
            // The chat file is the old one, or (when only the log could not be replaced) holds every line.
            const std::string now = ReadFile(logs / chatFile);
            EXPECT_EQ(now.compare(0, Content(chatFile).size(), Content(chatFile)), 0) << what;
        }
    }

    // The next plain run completes and leaves no work file.
    void CheckNextRunCompletes(const fs::path& logs, const std::string& what) {
        const Outcome next = RunCli(logs / kLogName, "");
        ASSERT_EQ(next.status, 0) << what << "\n" << next.out;
        CheckNothingLost(logs, what + ", then a plain run");
        for (const std::string& name : FileNames(logs)) {
            EXPECT_TRUE(name == kLogName || name == "OLDLOG_" + kLogName || name == "CHAT_" + kLogName ||
                        name == "eqlog_Bob_tunare.html")
                << what << ": left behind: " << name;
        }
    }

    // Walks N over every counted call of the run, with the given fault settings.
    void Walk(const std::string& settings) {
        const fs::path counted = scratch.path() / "count";
        const fs::path dry = Fresh(0);
        ASSERT_EQ(RunCli(dry / kLogName, "LD_PRELOAD=" KRAV_FAULT_LIBRARY " KRAV_FAULT_COUNT=" + counted.string())
                      .status,
                  0);
        const int calls = std::stoi(ReadFile(counted));
        ASSERT_GT(calls, 10);
        for (int n = 1; n <= calls; ++n) {
            const std::string what = settings + " at call " + std::to_string(n) + " of " + std::to_string(calls);
            const fs::path logs = Fresh(n);
            const Outcome run =
                RunCli(logs / kLogName, "LD_PRELOAD=" KRAV_FAULT_LIBRARY " KRAV_FAULT_AT=" + std::to_string(n) +
                                            " " + settings);
            ASSERT_NO_FATAL_FAILURE(CheckNothingLost(logs, what));
            ASSERT_NO_FATAL_FAILURE(CheckOutcome(logs, run, what));
            // The game goes on writing before the next run.
            const std::string late = "[Tue Dec 08 11:00:00 2026] A late line " + std::to_string(n) + ".";
            WriteFile(logs / kLogName, ReadFile(logs / kLogName) + late + "\r\n");
            raw.insert(late);
            ASSERT_NO_FATAL_FAILURE(CheckNextRunCompletes(logs, what));
            raw.erase(late);
            fs::remove_all(logs.parent_path());
        }
    }

    TempFolder scratch;
    std::set<std::string> raw, chat;
    std::vector<std::pair<std::string, std::string>> before;
};

TEST_F(FaultWalk, EachCallFailingOnceWithNoSpaceLeft) {
    Walk("KRAV_FAULT_ERRNO=ENOSPC KRAV_FAULT_MODE=once");
}

TEST_F(FaultWalk, EveryCallFailingFromTheNthOnAsOnAFullDisk) {
    Walk("KRAV_FAULT_ERRNO=EIO KRAV_FAULT_MODE=forever");
}

TEST_F(FaultWalk, KilledAtEachCallThenRunAgain) {
    Walk("KRAV_FAULT_MODE=kill");
}

}  // namespace
}  // namespace krav::test
