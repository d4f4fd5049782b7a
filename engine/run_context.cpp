// Write policies, line fetching and progress of a processing run.
#include "engine/run_context.h"

#include <cstring>
#include <limits>

#include "engine/status_texts.h"
#include "engine/text.h"
#include "platform/large_pages.h"

namespace krav {

RunContext::RunContext(Session& s, const RunInputs& in, RunHost& h)
    : session(s),
      inputs(in),
      host(h),
      newLog_{{}, texts::kUnableToWriteLog},
      newChat_{{}, texts::kUnableToWriteChat},
      backup_{{}, texts::kUnableToUpdateBackup} {
    Timestamp.reserve(kTimestampLength);
    FirstTimestamp.reserve(kTimestampLength);
}

RunContext::~RunContext() {
    // The session outlives the run: its status lines no longer wait for this run's friends file.
    session.BeforeStatus = nullptr;
}

void RunContext::StartFriends(std::unique_ptr<FriendsWorker::Target> target) {
    State.Friends.Start(std::move(target));
    session.BeforeStatus = [this] { SettleFriends(); };
}

void RunContext::HoldForFriends() {
    if (State.Friends.Started()) session.HoldStatus();
}

void RunContext::SettleFriends() {
    if (settling_) return;
    std::vector<std::string> held = session.EndHold();
    settling_ = true;  // the lines added here come in through the same door
    FriendsWorker::Outcome outcome = State.Friends.Settle();
    for (std::string& warning : outcome.warnings) {
        // The run goes on without the friends file; the user hears of it once.
        if (State.FriendsFileWarned) break;
        State.FriendsFileWarned = true;
        session.AddWarning(std::move(warning));
    }
    if (outcome.failed) session.AddError(std::string(texts::kUnexpectedFailure) + outcome.failure + ")!");
    settling_ = false;
    for (std::string& line : held)
        session.Status.push_back(std::move(line));
}

void RunContext::CheckWrite(Output& out, bool ok) {
    // A failed write ends the run along the stop path, so nothing incomplete replaces the user's files.
    if (!ok && !out.failureReported) {
        out.failureReported = true;
        session.AddError(out.failureText);
    }
}

void RunContext::WriteWhole(Output& out, const LogLine& line) {
    bool ok =
        out.file.Put(line.Timestamp) && out.file.Put(" ") && out.file.Put(line.Message) && out.file.EndLine();
    CheckWrite(out, ok);
}

void RunContext::WriteText(Output& out, std::string_view text) {
    CheckWrite(out, out.file.Put(text) && out.file.EndLine());
}

void RunContext::KeepLine(const LogLine& line) {
    if (!KeepsLines()) return;
    WriteWhole(newLog_, line);
    ++LinesWritten;
}

void RunContext::KeepLine(std::string_view text) {
    if (!KeepsLines()) return;
    WriteText(newLog_, text);
    ++LinesWritten;
}

void RunContext::KeepLineCompatible(const LogLine& line) {
    if (inputs.Mode == ShrinkMode::Compatible) KeepLine(line);
}

void RunContext::KeepLineCompatible(std::string_view text) {
    if (inputs.Mode == ShrinkMode::Compatible) KeepLine(text);
}

void RunContext::KeepLineSmallest(const LogLine& line) {
    if (KeepsSmallestLines()) KeepLine(line);
}

void RunContext::KeepLineSmallest(std::string_view text) {
    if (KeepsSmallestLines()) KeepLine(text);
}

void RunContext::AppendChatLine(bool channelFlag, const LogLine& line) {
    if (!channelFlag || !inputs.Chat || inputs.Mode == ShrinkMode::ReadOnly) return;
    WriteWhole(newChat_, line);
    ++ChatLinesAppended;
}

void RunContext::AppendBackupLine(std::string_view raw) {
    if (!backupOpen_) return;
    WriteText(backup_, raw);
}

void RunContext::UpdateProgressTitle() {
    // A log under 128 bytes has a maximum of 0; its percentage stays 0 until the run ends. The positions that
    // keep the percentage are remembered, so that UpdateProgress calls here only when the position leaves them.
    const std::int64_t percent = progressMaximum_ > 0 ? progressPosition_ * 100 / progressMaximum_ : 0;
    if (progressMaximum_ > 0) {
        titleFrom_ = (percent * progressMaximum_ + 99) / 100;
        titleUntil_ = ((percent + 1) * progressMaximum_ + 99) / 100;
    } else {
        titleFrom_ = std::numeric_limits<std::int64_t>::min();
        titleUntil_ = std::numeric_limits<std::int64_t>::max();
    }
    if (percent == titlePercent_) return;
    titlePercent_ = percent;
    std::string title = texts::kProgressTitle + std::to_string(percent) + "%)";
    if (title != session.Title) {
        session.Title = std::move(title);
        host.SetTitle(session.Title);
    }
}

void RunContext::UpdateProgress() {
    const std::int64_t position = 9 * FetchedBlocks(log_.BytesConsumed(), log_.InitialSize());
    if (position == progressPosition_) return;
    // The position moves every 128 bytes, most lines: the heap and the title are looked at less often.
    constexpr std::int64_t kHeapStep = 9 * 512;  // 64 KB of the log, in which the tables grow by little
    if (position / kHeapStep != progressPosition_ / kHeapStep) platform::AdviseHeap();
    progressPosition_ = position;
    host.SetProgressPosition(position);
    // The title follows the position alone, and changes only when its percentage does: no division before.
    if (position < titleFrom_ || position >= titleUntil_) UpdateProgressTitle();
}

bool RunContext::FetchLine(std::string_view& raw) {
    while (true) {
        if (log_.AtEnd()) {
            if (log_.Failed()) session.AddError(texts::kUnableToReadLog);
            return false;
        }
        host.ProcessPendingMessages();
        if (session.StopRequested) return false;
        if (!log_.NextLine(raw)) {
            if (log_.Failed()) session.AddError(texts::kUnableToReadLog);
            return false;
        }
        prepared_ = log_.Prepared();
        preparedRaw_ = raw.data();
        if (log_.Continues()) [[unlikely]] {
            if (!PassLongLine(raw)) return false;
            continue;
        }
        if (EndRecordSeen && backupOpen_) AppendBackupLine(raw);
        UpdateProgress();
        ++LinesRead;
        return true;
    }
}

void RunContext::WriteStartRecordOnce() {
    if (StartRecordWritten) return;
    StartRecordWritten = true;
    KeepLine(Timestamp + " {KRAV} Start of File");
}

bool RunContext::PassLongLine(std::string_view first) {
    // No message of the game is megabytes long: such a line is kept exactly as read, without being
    // classified, piece by piece, so that it never has to fit in memory.
    const bool keep = inputs.Mode != ShrinkMode::ReadOnly;
    const bool backup = EndRecordSeen && backupOpen_;
    WriteStartRecordOnce();
    bool heldCr = false;  // a CR at the end of a piece may be the first half of the line end
    auto put = [&](std::string_view piece) {
        if (heldCr && keep) CheckWrite(newLog_, newLog_.file.Put("\r"));
        if (heldCr && backup) CheckWrite(backup_, backup_.file.Put("\r"));
        heldCr = !piece.empty() && piece.back() == '\r';
        if (heldCr) piece.remove_suffix(1);
        if (keep) CheckWrite(newLog_, newLog_.file.Put(piece));
        if (backup) CheckWrite(backup_, backup_.file.Put(piece));
    };
    put(first);
    std::string_view piece;
    while (log_.Continues()) {
        if (!log_.NextPiece(piece)) {
            session.AddError(texts::kUnableToReadLog);
            return false;
        }
        if (!log_.Continues() && piece.empty()) heldCr = false;  // that CR began the line end
        put(piece);
        UpdateProgress();
    }
    put({});
    if (keep) CheckWrite(newLog_, newLog_.file.EndLine());
    if (backup) CheckWrite(backup_, backup_.file.EndLine());
    ++LinesRead;
    if (keep) ++LinesWritten;
    return true;
}

bool RunContext::ReadExtraLine(std::string_view& raw) {
    return FetchLine(raw);
}

LogLine RunContext::SplitLine(std::string_view raw) {
    if (std::string_view part = TimestampPart(raw); !part.empty()) {
        // The usual part has the full length: copied over the last one without going through assign.
        if (part.size() == kTimestampLength && Timestamp.size() == kTimestampLength) {
            std::memcpy(Timestamp.data(), part.data(), kTimestampLength);
        } else {
            Timestamp.assign(part);
        }
    }
    if (FirstTimestamp.empty()) {
        FirstTimestamp = Timestamp;
        session.Info.eFrom = ShortDate(FirstTimestamp);
    }
    WriteStartRecordOnce();
    LogLine line;
    line.Raw = raw;
    line.Timestamp = Timestamp;
    line.Message = MessagePart(raw);
    // Most lines come with their search fields worked out by the reader's second thread.
    if (prepared_ != nullptr && raw.data() == preparedRaw_) {
        TakePrepared(line, *prepared_);
        log_.NotePreparedUsed();
    } else {
        PrepareSearch(line);
    }
    return line;
}

}  // namespace krav
