// Whole runs in temporary game folders: status lines, work files, backups, stops and failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/processing_run.h"
#include "output/standard_run.h"
#include "platform/replace_file.h"
#include "recognisers/language.h"
#include "recognisers/summary_records.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;

const std::string kLine1 = "[Mon Dec 07 04:13:59 2026] You have slain a gnoll!";
const std::string kLine2 = "[Mon Dec 07 04:14:02 2026] Ann tells you, 'hi'";
const std::string kLine3 = "[Mon Dec 07 04:15:30 2026] You say, 'bye'";
const std::string kStart = "[Mon Dec 07 04:13:59 2026] {KRAV} Start of File";
const std::string kEnd = "[Mon Dec 07 04:14:00 2026] {KRAV} End of File";

const Lines kEndWarnings = {
    "WARNING: Some character info is unknown! If you are /ANON or /ROLEPLAY in game info may not be logged.",
    "WARNING: Bind Point is unknown! Use /CHARINFO in game to log Bind Point.",
    "WARNING: Total Time Played is unknown! Use /PLAYED in game to log Time Played."};

Lines Concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ProcessingRunTest : public ::testing::Test {
protected:
    fs::path Logs() const { return game.path() / "logs"; }
    fs::path Log(const std::string& name = "eqlog_Bob_tunare.txt") const { return Logs() / name; }
    fs::path Work(const std::string& prefix) const { return Logs() / (prefix + "eqlog_Bob_tunare.txt"); }
    std::string Quoted(const RunInputs& in) const { return "\"" + in.LogPath() + "\"..."; }

    void Run(const RunInputs& in, const RunSteps& steps = KeepEverythingSteps()) {
        ProcessingRun::Run(session, in, host, steps);
    }

    TempFolder game;
    Session session;
    RecordingHost host{session};
};

TEST_F(ProcessingRunTest, ReadOnlyRunReadsEverythingAndWritesNothing) {
    const std::string log = Crlf({kLine1, kLine2});
    WriteFile(Log(), log);
    RunInputs in = MakeInputs(game, ShrinkMode::ReadOnly);
    Run(in);

    EXPECT_EQ(session.Status, Concat(Concat({"Reading: " + Quoted(in)}, kEndWarnings),
                                     {"2 lines read", "3 warnings reported"}));
    EXPECT_EQ(FileNames(Logs()), Lines{"eqlog_Bob_tunare.txt"});
    EXPECT_EQ(ReadFile(Log()), log);
    EXPECT_TRUE(session.RunSucceeded());
    EXPECT_FALSE(session.Busy);
    EXPECT_TRUE(host.started && host.ended);
    EXPECT_EQ(host.titles.back(), "Quillmark");
    EXPECT_EQ(session.Info.eName, "Bob");
    EXPECT_EQ(session.Info.eFrom, "07-Dec-2026 (04:13)");
    EXPECT_EQ(session.Info.eTo, "07-Dec-2026 (04:14)");
    EXPECT_EQ(session.Info.eClass, "unknown");
}

TEST_F(ProcessingRunTest, FirstShrinkingRunBacksUpTheWholeLogAndReplacesIt) {
    const std::string log = Crlf({kLine1, kLine2});
    WriteFile(Log(), log);
    RunInputs in = MakeInputs(game, ShrinkMode::Compatible);
    Run(in);

    EXPECT_EQ(session.Status,
              Concat(Concat({"Processing: " + Quoted(in)}, kEndWarnings),
                     {"2 lines read", "3 lines written", "2 chat lines appended", "3 warnings reported"}));
    EXPECT_EQ(FileNames(Logs()),
              (Lines{"CHAT_eqlog_Bob_tunare.txt", "OLDLOG_eqlog_Bob_tunare.txt", "eqlog_Bob_tunare.txt"}));
    EXPECT_EQ(ReadFile(Work("OLDLOG_")), log);
    EXPECT_EQ(ReadFile(Log()), Crlf({kStart, kLine1, kLine2}));
    EXPECT_EQ(ReadFile(Work("CHAT_")), Crlf({kLine1, kLine2}));
}

TEST_F(ProcessingRunTest, LaterRunAppendsOnlyTheRawLinesAfterTheEndRecordToTheBackup) {
    // The log as a shrinking run left it, with lines the game appended since (one LF-ended, one unfinished).
    WriteFile(Log(), Crlf({kStart, kLine1, kEnd}) + kLine2 + "\n" + kLine3);
    WriteFile(Work("OLDLOG_"), "old raw line\r\n");
    WriteFile(Work("CHAT_"), "earlier chat\r\n");
    Run(MakeInputs(game, ShrinkMode::Compatible));

    EXPECT_EQ(ReadFile(Work("OLDLOG_")), Crlf({"old raw line", kLine2, kLine3}));
    EXPECT_EQ(ReadFile(Work("CHAT_")), "earlier chat\r\n" + Crlf({kLine1, kLine2, kLine3}));
    // Records are consumed by their step; the start record is written afresh.
    EXPECT_EQ(ReadFile(Log()), Crlf({kStart, kLine1, kLine2, kLine3}));
    EXPECT_EQ(FileNames(Logs()).size(), 3u);
}

TEST_F(ProcessingRunTest, StopLeavesEveryFileAsItWasAndNoWorkFile) {
    Lines lines;
    for (int i = 0; i < 50; ++i)
        lines.push_back(kLine1);
    const std::string log = Crlf(lines);
    WriteFile(Log(), log);
    WriteFile(Work("OLDLOG_"), "backup\r\n");
    WriteFile(Work("CHAT_"), "chat\r\n");
    // Messages are processed before and after every line: the tenth call follows the fifth line.
    host.onPending = [this](int calls) {
        if (calls == 10) session.Stop();
    };
    RunInputs in = MakeInputs(game, ShrinkMode::Compatible);
    Run(in);

    EXPECT_EQ(session.Status, (Lines{"Processing: " + Quoted(in), "* * * STOPPED BY USER * * *",
                                     "5 lines read", "1 errors reported"}));
    EXPECT_EQ(ReadFile(Log()), log);
    EXPECT_EQ(ReadFile(Work("OLDLOG_")), "backup\r\n");
    EXPECT_EQ(ReadFile(Work("CHAT_")), "chat\r\n");
    EXPECT_EQ(FileNames(Logs()).size(), 3u);
    EXPECT_FALSE(session.RunSucceeded());
    EXPECT_FALSE(session.Busy);
}

TEST_F(ProcessingRunTest, ConfirmedCloseStopsTheRunThenClosesTheWindow) {
    WriteFile(Log(), Crlf({kLine1, kLine2, kLine3}));
    host.onPending = [this](int) {
        session.Stop();
        session.CloseRequested = true;
    };
    Run(MakeInputs(game, ShrinkMode::ReadOnly));
    EXPECT_TRUE(host.ended);
    EXPECT_TRUE(host.closed);
    EXPECT_EQ(session.Status[1], "* * * STOPPED BY USER * * *");
    EXPECT_EQ(session.ErrorCount, 1);
}

TEST_F(ProcessingRunTest, FilesThatExistButCannotBeUsedStopTheRunAndChangeNothing) {
    const std::string log = Crlf({kLine1, kLine2});
    RunInputs in = MakeInputs(game, ShrinkMode::Compatible);
    struct Case {
        const char* inTheWay;  // a folder where this file should be
        const char* error;
    };
    for (const Case& c : {Case{"CHAT_", "ERROR: Unable to write to chat file!"},
                          Case{"OLDLOG_", "ERROR: Unable to update backup file!"},
                          Case{"NEWLOG_", "ERROR: Unable to write to log file!"}}) {
        fs::remove_all(Logs());
        WriteFile(Log(), log);
        fs::create_directories(Work(c.inTheWay) / "x");
        Run(in);
        EXPECT_EQ(session.Status, (Lines{"Processing: " + Quoted(in), c.error, "0 lines read", "1 errors reported"}))
            << c.inTheWay;
        EXPECT_EQ(ReadFile(Log()), log);
        EXPECT_EQ(FileNames(Logs()), (Lines{std::string(c.inTheWay) + "eqlog_Bob_tunare.txt", "eqlog_Bob_tunare.txt"}));
        EXPECT_FALSE(session.RunSucceeded());
    }
}

TEST_F(ProcessingRunTest, ASecondRunOnTheSameLogLeavesTheFirstRunsFilesAlone) {
    const std::string log = Crlf({kLine1, kLine2});
    WriteFile(Log(), log);
    WriteFile(Work("NEWLOG_"), "the first run's new log\r\n");
    platform::LogLock first;
    ASSERT_TRUE(first.Acquire(Log().string()));
    RunInputs in = MakeInputs(game, ShrinkMode::Smallest);
    Run(in);
    EXPECT_EQ(session.Status, (Lines{"Processing: " + Quoted(in), "ERROR: Log file is being processed by another run!",
                                     "0 lines read", "1 errors reported"}));
    EXPECT_EQ(ReadFile(Work("NEWLOG_")), "the first run's new log\r\n");
    EXPECT_EQ(ReadFile(Log()), log);
    first.Release();
    Run(in);
    EXPECT_TRUE(session.RunSucceeded());
    EXPECT_EQ(FileNames(Logs()),
              (Lines{"CHAT_eqlog_Bob_tunare.txt", "OLDLOG_eqlog_Bob_tunare.txt", "eqlog_Bob_tunare.txt"}));
}

TEST_F(ProcessingRunTest, OpenFailuresAreReportedAndTheLoopIsSkipped) {
    fs::create_directories(Log());  // a folder where the log should be
    RunInputs readOnly = MakeInputs(game, ShrinkMode::ReadOnly);
    Run(readOnly);
    EXPECT_EQ(session.Status, (Lines{"Reading: " + Quoted(readOnly), "ERROR: Unable to read log file!",
                                     "0 lines read", "1 errors reported"}));
    EXPECT_EQ(session.Info.eTo, "");

    // A missing logs folder: nothing can be opened and nothing is created.
    fs::remove_all(Logs());
    RunInputs compatible = MakeInputs(game, ShrinkMode::Compatible);
    Run(compatible);
    EXPECT_EQ(session.Status,
              (Lines{"Processing: " + Quoted(compatible), "ERROR: Unable to read log file!",
                     "ERROR: Unable to write to log file!", "ERROR: Unable to write to chat file!",
                     "0 lines read", "3 errors reported"}));
    EXPECT_FALSE(fs::exists(Logs()));
}

TEST_F(ProcessingRunTest, DotLogLogsKeepTxtAuxiliaryNames) {
    WriteFile(Log("eqlog_Bob_tunare.log"), Crlf({kLine1}));
    Run(MakeInputs(game, ShrinkMode::Smallest, "Bob", "tunare", ".log"));
    EXPECT_EQ(FileNames(Logs()),
              (Lines{"CHAT_eqlog_Bob_tunare.txt", "OLDLOG_eqlog_Bob_tunare.txt", "eqlog_Bob_tunare.log"}));
    EXPECT_EQ(ReadFile(Log("eqlog_Bob_tunare.log")), Crlf({kStart, kLine1}));
}

TEST_F(ProcessingRunTest, EmptyLogReadsNoLineAndWritesNoStartRecord) {
    WriteFile(Log(), "");
    RunInputs in = MakeInputs(game, ShrinkMode::Smallest);
    in.Backup = false;
    in.Chat = false;
    Run(in);
    EXPECT_EQ(session.Status,
              Concat(Concat({"Processing: " + Quoted(in),
                             "WARNING: Some log data will not be compatible with other log parsers!",
                             "WARNING: No backup log file will be written!",
                             "WARNING: No chat information will be saved!"},
                            kEndWarnings),
                     {"0 lines read", "0 lines written", "0 chat lines appended", "6 warnings reported"}));
    EXPECT_EQ(session.Info.eFrom, "unknown");
    EXPECT_EQ(session.Info.eTo, "");
    EXPECT_EQ(FileNames(Logs()), (Lines{"CHAT_eqlog_Bob_tunare.txt", "eqlog_Bob_tunare.txt"}));
    EXPECT_EQ(ReadFile(Log()), "");
    EXPECT_EQ(host.titles, (Lines{"KRAV (Processing 0%)", "Quillmark"}));
    EXPECT_EQ(host.maximum, 0);
}

TEST_F(ProcessingRunTest, LinesAreRebuiltWholeWhateverTheirEndsLengthOrBytes) {
    const std::string longMessage(3 << 20, 'x');  // longer than a read block
    const std::string oddBytes = "[Mon Dec 07 04:16:00 2026] \x80\xe9\xff\x01\t end";
    const std::string lone = "[Mon Dec 07 04:17:00 2026] carriage\rreturn";
    WriteFile(Log(), kLine1 + "\n" + "[Mon Dec 07 04:15:00 2026] " + longMessage + "\r\n" + oddBytes +
                         "\r\n" + lone + "\n\r\n" + kLine3);
    Run(MakeInputs(game, ShrinkMode::Compatible));
    // The empty line carries the last timestamp part over and has an empty message.
    EXPECT_EQ(ReadFile(Log()), Crlf({kStart, kLine1, "[Mon Dec 07 04:15:00 2026] " + longMessage, oddBytes,
                                     lone, "[Mon Dec 07 04:17:00 2026] ", kLine3}));
    EXPECT_EQ(session.LinesRead, 6);
}

TEST_F(ProcessingRunTest, GiganticLinesAreKeptWholeInTheNewLogAndTheBackup) {
    // Longer than the reader holds in memory at once: passed on in pieces, every byte kept.
    const std::string huge = kLine1 + std::string(LogReader::kLongLine + 5, 'x') + "\r";
    const std::string nul(LogReader::kLongLine + 7, '\0');
    WriteFile(Log(), Crlf({kStart, kEnd, kLine1, huge, kLine2}) + nul);
    WriteFile(Work("OLDLOG_"), "old\r\n");
    Run(MakeInputs(game, ShrinkMode::Compatible));
    EXPECT_TRUE(session.RunSucceeded());
    EXPECT_EQ(session.LinesRead, 6);
    EXPECT_EQ(ReadFile(Log()), Crlf({kStart, kLine1, huge, kLine2, nul}));
    EXPECT_EQ(ReadFile(Work("OLDLOG_")), Crlf({"old", kLine1, huge, kLine2, nul}));

    // A file that is one such line still starts with its start record.
    fs::remove_all(Logs());
    WriteFile(Log(), nul);
    Run(MakeInputs(game, ShrinkMode::Smallest));
    EXPECT_TRUE(ReadFile(Log()).starts_with(" {KRAV} Start of File\r\n" + nul + "\r\n"));
}

TEST_F(ProcessingRunTest, BlankLeadingLinesLeaveTheStartRecordWithoutTimestamp) {
    WriteFile(Log(), "\r\n" + Crlf({kLine1}));
    Run(MakeInputs(game, ShrinkMode::Compatible));
    EXPECT_EQ(ReadFile(Log()), Crlf({" {KRAV} Start of File", " ", kLine1}));
    EXPECT_EQ(session.Info.eFrom, "07-Dec-2026 (04:13)");
}

std::string gLateLines;
std::string gLatePath;

std::string AppendLateLines(RunContext&) {
    std::ofstream(gLatePath, std::ios::binary | std::ios::app) << gLateLines;
    return {};
}

TEST_F(ProcessingRunTest, LinesTheGameAppendsWhileTheRunEndsAreKeptUnchanged) {
    WriteFile(Log(), Crlf({kLine1, kLine2}));
    gLatePath = Log().string();
    gLateLines = kLine3 + "\n[Mon Dec 07 04:20:00 2026] unfinished";
    const RunSteps steps{KeepEverythingSteps().ClassifyLine, nullptr, nullptr, AppendLateLines, nullptr};
    Run(MakeInputs(game, ShrinkMode::Smallest), steps);
    EXPECT_EQ(ReadFile(Log()), Crlf({kStart, kLine1, kLine2}) + gLateLines);
    EXPECT_EQ(ReadFile(Work("OLDLOG_")), Crlf({kLine1, kLine2}));
}

TEST_F(ProcessingRunTest, LinesTheGameAppendsDuringTheLoopAreReadAsLines) {
    WriteFile(Log(), Crlf({kLine1}));
    host.onPending = [this](int calls) {
        if (calls == 1) std::ofstream(Log(), std::ios::binary | std::ios::app) << Crlf({kLine2});
    };
    Run(MakeInputs(game, ShrinkMode::Compatible));
    EXPECT_EQ(session.LinesRead, 2);
    EXPECT_EQ(ReadFile(Log()), Crlf({kStart, kLine1, kLine2}));
    // The first backup is the log as far as it was read, not as it was when the run started.
    EXPECT_EQ(ReadFile(Work("OLDLOG_")), Crlf({kLine1, kLine2}));
}

TEST_F(ProcessingRunTest, ProgressCountsWholeBlocksAndEndsAtItsMaximum) {
    Lines lines(40, kLine1);  // 40 x 52 bytes = 2080 bytes = 16 whole blocks and a part
    WriteFile(Log(), Crlf(lines));
    Run(MakeInputs(game, ShrinkMode::ReadOnly));
    EXPECT_EQ(host.maximum, 160);
    ASSERT_GE(host.positions.size(), 3u);
    EXPECT_EQ(host.positions[host.positions.size() - 2], 144);  // 90 % once the last line is read
    EXPECT_EQ(host.positions.back(), 160);
    for (std::size_t i = 1; i + 1 < host.positions.size(); ++i)
        EXPECT_LE(host.positions[i - 1], host.positions[i]);
    EXPECT_EQ(host.titles.front(), "KRAV (Processing 0%)");
    EXPECT_EQ(host.titles[host.titles.size() - 2], "KRAV (Processing 90%)");
    EXPECT_EQ(host.titles.back(), "Quillmark");
    // A title is set only when it changes, and it always shows the percentage of the position just set.
    for (std::size_t i = 1; i < host.titles.size(); ++i)
        EXPECT_NE(host.titles[i - 1], host.titles[i]);
    Lines expected;
    for (std::int64_t position : host.positions) {
        const std::string title = "KRAV (Processing " + std::to_string(position * 100 / 160) + "%)";
        if (position < 160 && (expected.empty() || expected.back() != title)) expected.push_back(title);
    }
    expected.push_back("Quillmark");
    EXPECT_EQ(host.titles, expected);
}

TEST_F(ProcessingRunTest, ProgressTitleFollowsEveryPercentOfALongerLog) {
    // Lines of many lengths over 1,000 blocks, so that every percentage and its edges are passed.
    Lines lines;
    for (int i = 0; lines.size() < 2000; ++i)
        lines.push_back(kLine1 + std::string(static_cast<std::size_t>(i * 7 % 61), 'x'));
    WriteFile(Log(), Crlf(lines));
    Run(MakeInputs(game, ShrinkMode::ReadOnly));
    ASSERT_GT(host.maximum, 0);
    Lines expected;
    for (std::int64_t position : host.positions) {
        if (position >= host.maximum) break;
        const std::string title = "KRAV (Processing " + std::to_string(position * 100 / host.maximum) + "%)";
        if (expected.empty() || expected.back() != title) expected.push_back(title);
    }
    expected.push_back("Quillmark");
    EXPECT_EQ(host.titles, expected);
    EXPECT_GE(host.titles.size(), 80u);
}

TEST_F(ProcessingRunTest, StandardStepsDropEveryLineTheyDoNotKnow) {
    WriteFile(Log(), Crlf({kLine1, "[Mon Dec 07 04:13:59 2026] Bob says, in Elvish, 'well met'",
                           "[Mon Dec 07 04:14:00 2026] Your Location is -1021.34, 2087.92, 41.18"}));
    Run(MakeInputs(game, ShrinkMode::Compatible), StandardRunSteps());
    // A compatible log ends in the identity records and the end record, stamped with the last line's time.
    const std::string t = "[Mon Dec 07 04:14:00 2026] {KRAV} ";
    EXPECT_EQ(ReadFile(Log()),
              Crlf({kStart, kLine1, t + "Surname: ", t + "Class: unknown", t + "Level: unknown",
                    t + "Race: unknown", t + "Guild: unknown", t + "Zone: unknown", t + "Played: unknown",
                    t + "As of: unknown", t + "End of File"}));
    EXPECT_EQ(session.LinesRead, 3);
}

class ClassifierStepTest : public ::testing::Test {
protected:
    LogLine Line(std::string_view message) { return MessageLine(message); }

    Session session;
    RunInputs inputs;
    RecordingHost host{session};
    RunContext run{session, inputs, host};
};

TEST_F(ClassifierStepTest, LanguageTaggedSpeechSetsTheCurrentLanguage) {
    EXPECT_TRUE(CaptureLanguage(run, Line("Bob says, in Elvish, 'well met'")));
    EXPECT_EQ(run.CurrentLanguage, "Elvish");
    EXPECT_TRUE(CaptureLanguage(run, Line("Ann tells the group, in an unknown tongue, 'hi'")));
    EXPECT_EQ(run.CurrentLanguage, "an unknown tongue");
    EXPECT_TRUE(CaptureLanguage(run, Line("Ann TELLS THE GROUP, IN Dwarvish, 'hi'")));
    EXPECT_EQ(run.CurrentLanguage, "Dwarvish");
    // No comma after the language.
    EXPECT_TRUE(CaptureLanguage(run, Line("Bob says, in Elvish")));
    EXPECT_EQ(run.CurrentLanguage, "");
    // Quoted speech is never searched.
    run.CurrentLanguage = "kept";
    EXPECT_FALSE(CaptureLanguage(run, Line("Bob says, 'in a moment'")));
    EXPECT_FALSE(CaptureLanguage(run, Line("Bob tells you, 'Ann says, in Elvish, hi'")));
    EXPECT_EQ(run.CurrentLanguage, "kept");
}

TEST_F(ClassifierStepTest, SummaryRecordsAreConsumedAndTheEndRecordIsNoted) {
    EXPECT_TRUE(ReadSummaryRecord(run, Line("{KRAV} Zones: Blackburrow (3) // ")));
    EXPECT_TRUE(ReadSummaryRecord(run, Line("{krav} end of file")));  // the marker ignores case, the key not
    EXPECT_FALSE(run.EndRecordSeen);
    EXPECT_FALSE(ReadSummaryRecord(run, Line("Bob says, '{KRAV} End of File'")));
    EXPECT_FALSE(ReadSummaryRecord(run, Line("x {KRAV} End of File")));
    EXPECT_TRUE(ReadSummaryRecord(run, Line("{Krav} End of File")));
    EXPECT_TRUE(run.EndRecordSeen);
}

}  // namespace
}  // namespace krav::test
