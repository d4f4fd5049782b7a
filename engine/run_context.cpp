// Write policies, line fetching and progress of a processing run.
#include "engine/run_context.h"

#include <cstring>
#include <limits>

#include "engine/status_texts.h"
#include "engine/text.h"

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
    if (inputs.Mode == ShrinkMode::ReadOnly) return;
    WriteWhole(newLog_, line);
    ++LinesWritten;
}

void RunContext::KeepLine(std::string_view text) {
    if (inputs.Mode == ShrinkMode::ReadOnly) return;
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
    if (inputs.Mode == ShrinkMode::Smallest) KeepLine(line);
}

void RunContext::KeepLineSmallest(std::string_view text) {
    if (inputs.Mode == ShrinkMode::Smallest) KeepLine(text);
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
    // A log under 128 bytes has a maximum of 0; its percentage stays 0 until the run ends.
    // Most calls find the position within the range of the percentage already shown: no division then.
    if (progressPosition_ >= titleFrom_ && progressPosition_ < titleUntil_) return;
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
    if (position != progressPosition_) {
        progressPosition_ = position;
        host.SetProgressPosition(position);
        UpdateProgressTitle();  // follows the position alone
    }
}

bool RunContext::FetchLine(std::string_view& raw) {
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
    if (EndRecordSeen && backupOpen_) AppendBackupLine(raw);
    UpdateProgress();
    ++LinesRead;
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
    if (!StartRecordWritten) {
        StartRecordWritten = true;
        KeepLine(Timestamp + " {KRAV} Start of File");
    }
    LogLine line;
    line.Raw = raw;
    line.Timestamp = Timestamp;
    line.Message = MessagePart(raw);
    PrepareSearch(line);
    return line;
}

}  // namespace krav
