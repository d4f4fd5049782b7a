// What every classifier step and end-of-run step of a processing run works with: the session, the run's
// inputs, the per-line state, the five write policies and the reading of extra lines.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/friends_worker.h"
#include "engine/log_line.h"
#include "engine/log_reader.h"
#include "engine/run_host.h"
#include "engine/run_inputs.h"
#include "engine/session.h"
#include "engine/work_file.h"

namespace krav {

inline constexpr const char* kUnknownTongue = "an unknown tongue";

// Working state that recognisers keep between lines of one run.
struct RecogniserState {
    bool FriendsFileWarned = false;  // the friends file could not be written once already
    // The players of who lists on their way to the friends file, started by the first entry (see
    // RunContext::StartFriends).
    FriendsWorker Friends{kFriendsBatch, kFriendsBatchBytes};
    // Who lists of a long log name the same players again and again: each player is kept once a batch, with
    // its latest values; a batch ends when very many players wait, at the end of the log otherwise. The
    // friends file's edit holds the file in memory and writes it once, at the end of the run. The batch
    // bounds the memory of the store; the bytes bound it for entries of absurd length.
    static constexpr std::size_t kFriendsBatch = 200000;
    static constexpr std::size_t kFriendsBatchBytes = std::size_t{1} << 30;
    // The date of the who list being read, for its entries: one text for the many entries of one time.
    std::string WhoTimestamp, WhoDate;
    std::string OfferedItem;             // the item of the last merchant's price offer
    std::int64_t OfferedPrice = 0;       // its unit price in copper
    std::string PendingSpecial;          // the special attack just announced
    std::string Greeting, GreetingName;  // a merchant's greeting of the character, and the name in it
    Needle GreetingNeedle{std::string_view()};
    bool CharacterRecordSeen = false;     // a "Character" record was read
    bool CompatibleWarningGiven = false;  // a compatible run met records of a smallest one
};

class RunContext {
public:
    RunContext(Session& session, const RunInputs& inputs, RunHost& host);
    ~RunContext();
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    Session& session;
    const RunInputs& inputs;
    RunHost& host;

    // Per-line state of the log's line format.
    std::string Timestamp;       // the current timestamp part
    std::string FirstTimestamp;  // the first non-empty timestamp part of the run
    std::string CurrentLanguage = kUnknownTongue;
    bool StartRecordWritten = false;
    // Set by the " {KRAV} End of File" record: from the next line on every raw line also goes to the backup.
    bool EndRecordSeen = false;

    RecogniserState State;

    std::int64_t LinesRead = 0;
    std::int64_t LinesWritten = 0;
    std::int64_t ChatLinesAppended = 0;

    ShrinkMode Mode() const { return inputs.Mode; }

    // The write policies. A LogLine is written whole (timestamp part, one blank, message); a text is written
    // as it stands (summary records). Each line ends in CR LF.
    void KeepLine(const LogLine& line);
    void KeepLine(std::string_view text);
    void KeepLineCompatible(const LogLine& line);
    void KeepLineCompatible(std::string_view text);
    void KeepLineSmallest(const LogLine& line);
    void KeepLineSmallest(std::string_view text);
    // Whether KeepLine and KeepLineSmallest write anything in this run: what builds many lines asks first.
    bool KeepsLines() const { return inputs.Mode != ShrinkMode::ReadOnly; }
    bool KeepsSmallestLines() const { return inputs.Mode == ShrinkMode::Smallest; }
    void AppendChatLine(bool channelFlag, const LogLine& line);
    void AppendBackupLine(std::string_view raw);

    // Starts State.Friends with the friends file as its target; from then on a status line waits for what
    // the friends file has to say first.
    void StartFriends(std::unique_ptr<FriendsWorker::Target> target);
    // Waits for the friends file's work handed over so far and adds its warning (once a run) or its failure
    // to the status list, then the lines held since HoldForFriends.
    void SettleFriends();
    // Status lines from here to the next SettleFriends wait for it, instead of it waiting for them: the
    // friends file is written beside the work that adds them.
    void HoldForFriends();

    // For recognisers that read the lines following their own (who lists): one more raw line, with the end,
    // stop, backup, progress and count handling of every line. False at the end of the log or on a stop.
    bool ReadExtraLine(std::string_view& raw);

private:
    friend class ProcessingRun;

    struct Output {
        WorkFile file;
        const char* failureText;
        bool failureReported = false;
    };

    bool FetchLine(std::string_view& raw);
    bool PassLongLine(std::string_view first);
    void WriteStartRecordOnce();
    LogLine SplitLine(std::string_view raw);
    void WriteWhole(Output& out, const LogLine& line);
    void WriteText(Output& out, std::string_view text);
    void CheckWrite(Output& out, bool ok);
    void UpdateProgress();
    void UpdateProgressTitle();

    LogReader log_;
    // The search fields the reader prepared for the line it returned last, which starts at preparedRaw_.
    const PreparedLine* prepared_ = nullptr;
    const char* preparedRaw_ = nullptr;
    Output newLog_;
    Output newChat_;
    Output backup_;
    bool backupOpen_ = false;
    WorkFile unmatched_;

    std::int64_t progressMaximum_ = 0;
    std::int64_t progressPosition_ = 0;
    std::int64_t titlePercent_ = -1;
    // The positions that show titlePercent_: from titleFrom_ up to, not including, titleUntil_.
    std::int64_t titleFrom_ = 1, titleUntil_ = 0;
    bool settling_ = false;
};

}  // namespace krav
