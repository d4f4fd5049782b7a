// The processing run: start steps, read loop, end-of-run steps and the replacement of the user's files.
#include "engine/processing_run.h"

#include <cstdint>
#include <exception>
#include <filesystem>
#include <system_error>

#include "engine/log_replacement.h"
#include "engine/status_texts.h"
#include "engine/table_writer.h"
#include "engine/text.h"
#include "platform/files.h"
#include "platform/native_path.h"

namespace krav {

namespace {

namespace fs = std::filesystem;

using platform::FileState;
using platform::StateOf;

}  // namespace

void ProcessingRun::Run(Session& session, const RunInputs& inputs, RunHost& host, const RunSteps& steps) {
    RunContext context(session, inputs, host);
    ProcessingRun run(context, steps);
    // The tables that grow with the names in the log are counted on a second thread while the log is read.
    TableWriter writer;
    // A failure from below (no memory, a library's exception) ends the run along its stop path, so that no
    // work file is left behind and nothing incomplete replaces the user's files.
    try {
        run.Start();
        if (!session.StopRequested) {
            writer.Attach({&session.Tables.gMobs, &session.Tables.gLoot});
            run.ReadLoop(writer);
            writer.Finish();
        }
    } catch (const std::exception& e) {
        run.Failed(e.what());
    } catch (...) {
        run.Failed("unknown failure");
    }
    writer.Detach();
    run.Finish();
}

void ProcessingRun::Failed(const char* what) {
    run_.session.AddError(std::string(texts::kUnexpectedFailure) + what + ")!");
}

void ProcessingRun::Start() {
    Session& s = run_.session;
    const RunInputs& in = run_.inputs;
    const bool readOnly = in.Mode == ShrinkMode::ReadOnly;

    s.Busy = true;
    s.WarningCount = 0;
    s.ErrorCount = 0;
    s.StopRequested = false;
    s.CloseRequested = false;
    s.ReportWritten = false;
    run_.host.RunStarted();

    s.Status.clear();
    std::error_code ec;
    s.Tables.ResetTables(fs::exists(platform::NativePath(in.ProgramFolder + kReferenceDataFile), ec));
    run_.host.RepaintStatus();

    CharacterState& c = s.Character;
    c = CharacterState{};
    c.CharacterName = in.EntryCharacter;
    s.Info = InfoFields{};
    for (std::string* field : {&s.Info.eClass, &s.Info.eLevel, &s.Info.eRace, &s.Info.eGuild, &s.Info.eBound,
                               &s.Info.eZone, &s.Info.ePlayed, &s.Info.eAsOf, &s.Info.eFrom, &s.Info.eTo}) {
        *field = kUnknown;
    }
    s.Info.eName = c.CharacterName;
    run_.host.ShowInfo();

    run_.host.SaveMainSettings();

    s.AddStatus(std::string(readOnly ? texts::kReading : texts::kProcessing) + "\"" + in.LogPath() + "\"...");
    run_.host.RepaintStatus();

    if (!readOnly && !PrepareWorkFiles()) {
        run_.host.RepaintStatus();
        return;  // another run's files, or an earlier run's unfinished replacement: not ours to touch
    }

    if (!run_.log_.Open(in.LogPath())) s.AddError(texts::kUnableToReadLog);
    if (!readOnly && !run_.newLog_.file.Create(in.WorkPath(texts::kNewLog)))
        s.AddError(texts::kUnableToWriteLog);
    // The log's byte order mark stays at the start of the log when the new log replaces it.
    if (run_.newLog_.file.IsOpen() && run_.log_.HasByteOrderMark())
        run_.CheckWrite(run_.newLog_, run_.newLog_.file.Put(LogReader::kByteOrderMark));
    if (!readOnly) {
        const std::string chat = in.WorkPath(texts::kNewChat);
        // Created only when there is none: a copy that cannot be opened for appending is never emptied.
        const bool opened = StateOf(chat) == FileState::Missing ? run_.newChat_.file.Create(chat)
                                                                : run_.newChat_.file.Append(chat);
        if (!opened) {
            s.AddError(texts::kUnableToWriteChat);
        }
    }
    if (backupNeedsAppending_ && in.Backup && !readOnly) {
        const std::string backup = in.WorkPath(texts::kTempBackup);
        if (!run_.backup_.file.Append(backup)) {
            s.AddError(texts::kUnableToUpdateBackup);
        } else {
            run_.backupOpen_ = true;
        }
    }

    if (!in.UnmatchedFile.empty() && !run_.unmatched_.Create(in.UnmatchedFile))
        s.AddError(texts::kUnableToWriteUnmatched);

    if (in.Mode == ShrinkMode::Smallest) s.AddWarning(texts::kNotCompatible);
    if (!readOnly) {
        if (!in.Backup) s.AddWarning(texts::kNoBackup);
        if (!in.Chat) s.AddWarning(texts::kNoChat);
    }
    run_.host.RepaintStatus();
}

void ProcessingRun::ReadLoop(TableWriter& writer) {
    RunHost& host = run_.host;
    host.ShowProgressBar(true);
    run_.progressMaximum_ = 10 * static_cast<std::int64_t>(run_.log_.InitialSize() / 128);
    run_.progressPosition_ = 0;
    run_.titleFrom_ = 1;  // no range known for the new maximum
    run_.titleUntil_ = 0;
    host.SetProgressMaximum(run_.progressMaximum_);
    host.SetProgressPosition(0);
    run_.UpdateProgressTitle();
    run_.CurrentLanguage = kUnknownTongue;

    std::string_view raw;
    while (run_.FetchLine(raw)) {
        const LogLine line = run_.SplitLine(raw);
        // A line that no step claims is dropped: written nowhere, counted only as read.
        if (!steps_.ClassifyLine(run_, line) && run_.unmatched_.IsOpen() &&
            !(run_.unmatched_.Put(raw) && run_.unmatched_.EndLine()) && !unmatchedFailed_) {
            unmatchedFailed_ = true;
            run_.session.AddError(texts::kUnableToWriteUnmatched);
        }
        host.ProcessPendingMessages();
        writer.ThrowIfFailed();
    }
}

void ProcessingRun::Finish() {
    Session& s = run_.session;
    const RunInputs& in = run_.inputs;
    RunHost& host = run_.host;

    try {
        EndSteps();
    } catch (const std::exception& e) {
        Failed(e.what());
    } catch (...) {
        Failed("unknown failure");
    }
    // The friends file, written beside the end steps, is done before the run goes on.
    run_.SettleFriends();

    host.SetProgressPosition(run_.progressMaximum_);
    s.Title = kAppTitle;
    host.SetTitle(s.Title);

    // The files are closed and put in place before the totals are listed: a total names only what arrived.
    for (RunContext::Output* out : {&run_.backup_, &run_.newChat_, &run_.newLog_}) {
        if (!out->file.IsOpen()) continue;
        bool closed = out->file.Close();
        if (!s.StopRequested) run_.CheckWrite(*out, closed);
    }
    run_.backupOpen_ = false;
    if (run_.unmatched_.IsOpen() && !run_.unmatched_.Close() && !unmatchedFailed_) {
        unmatchedFailed_ = true;
        s.AddError(texts::kUnableToWriteUnmatched);
    }
    run_.log_.Close();

    try {
        MoveFilesIntoPlace();
    } catch (const std::exception& e) {
        Failed(e.what());
        DeleteWorkFiles();
    } catch (...) {
        Failed("unknown failure");
        DeleteWorkFiles();
    }
    lock_.Release();

    const bool readOnly = in.Mode == ShrinkMode::ReadOnly;
    s.AddStatus(std::to_string(run_.LinesRead) + texts::kLinesRead);
    if (!s.StopRequested && !readOnly) {
        s.AddStatus(std::to_string(run_.LinesWritten) + texts::kLinesWritten);
        s.AddStatus(std::to_string(run_.ChatLinesAppended) + texts::kChatLinesAppended);
    }
    s.LinesRead = run_.LinesRead;
    s.LinesWritten = run_.LinesWritten;
    s.ChatLinesAppended = run_.ChatLinesAppended;

    if (s.WarningCount > 0) s.AddStatus(std::to_string(s.WarningCount) + texts::kWarningsReported);
    if (s.ErrorCount > 0) s.AddStatus(std::to_string(s.ErrorCount) + texts::kErrorsReported);
    host.RepaintStatus();
    host.ScrollStatusToEnd();

    s.ReportWritten = !reportPath_.empty() && StateOf(reportPath_) == FileState::File;
    s.Busy = false;
    host.RunEnded(s.ReportWritten);
    if (s.CloseRequested) host.CloseWindow();
}

void ProcessingRun::EndSteps() {
    Session& s = run_.session;
    RunHost& host = run_.host;

    if (steps_.LogEnded != nullptr) steps_.LogEnded(run_);
    // The friends file's last batch is written beside the end steps and the report. The lines they add wait
    // for the file's, which come first, as if the file had been written when the log ended; its failure
    // is known once the report is written.
    run_.HoldForFriends();

    CharacterState& c = s.Character;
    s.Info.eLevel = c.CharacterLevel;
    s.Info.eBound = c.BindPoint;
    s.Info.eZone = c.CurrentZone;
    s.Info.ePlayed = c.TimePlayed;
    s.Info.eAsOf = c.PlayedAsOf;
    s.Info.eTo = ShortDate(run_.Timestamp);
    host.ShowInfo();

    if (steps_.CheckSkillMaximums != nullptr) steps_.CheckSkillMaximums(run_);
    if (steps_.LoadGuildRoster != nullptr) steps_.LoadGuildRoster(run_);

    if (!s.StopRequested) {
        if (steps_.WriteEndRecordsAndReport != nullptr) reportPath_ = steps_.WriteEndRecordsAndReport(run_);
        run_.SettleFriends();
        // Everything written so far must be on the disk before the run may call itself complete.
        for (RunContext::Output* out : {&run_.backup_, &run_.newChat_, &run_.newLog_}) {
            if (out->file.IsOpen()) run_.CheckWrite(*out, out->file.Sync());
        }
    }
    if (!s.StopRequested) EndWarnings();
}

void ProcessingRun::EndWarnings() {
    Session& s = run_.session;
    const InfoFields& i = s.Info;
    if (i.eClass == kUnknown || i.eLevel == kUnknown || i.eRace == kUnknown || i.eGuild == kUnknown) {
        s.AddWarning(texts::kCharacterInfoUnknown);
    }
    if (i.eBound == kUnknown) s.AddWarning(texts::kBindPointUnknown);
    if (i.ePlayed == kUnknown) {
        s.AddWarning(texts::kPlayedUnknown);
    } else if (i.eAsOf == kUnknown) {
        s.AddWarning(texts::kPlayedAsOfUnknown);
    } else if (DateIsStale(i.eAsOf, ShortDate(run_.Timestamp))) {
        s.AddWarning(texts::kPlayedStale);
    }
}

bool ProcessingRun::PrepareWorkFiles() {
    Session& s = run_.session;
    const RunInputs& in = run_.inputs;
    if (!lock_.Acquire(in.LogPath())) {
        s.AddError(texts::kLogInUse);
        return false;
    }
    LogReplacement replacement(in);
    if (replacement.Pending()) {
        std::string error;
        if (replacement.Complete(false, error) != LogReplacement::Outcome::Done) {
            s.AddError(error);
            s.AddStatus(texts::kNewLogKept + replacement.NewLogPath() + texts::kNewLogKeptEnd);
            return false;
        }
        s.AddStatus(texts::kReplacementCompleted);
    }
    ownsWorkFiles_ = true;
    // What a run cut off before its end left behind: work files, and temporary files of replacements.
    DeleteWorkFiles();
    for (const std::string& pattern :
         {"*" + in.BaseFileName + ".krav-*", RemoveExtension(in.LogFileName) + ".html.krav-*"}) {
        for (const std::string& name : platform::ListFiles(in.LogsFolder, pattern))
            platform::RemoveFile(in.LogsFolder + name);
    }

    // A chat file or backup that exists must be copied: only a missing one starts empty.
    const std::string chat = in.WorkPath(texts::kChat);
    const FileState chatState = StateOf(chat);
    if (chatState == FileState::Other ||
        (chatState == FileState::File && !CopyOneFile(chat, in.WorkPath(texts::kNewChat), false))) {
        s.AddError(texts::kUnableToWriteChat);
    }
    if (in.Backup) {
        const std::string backup = in.WorkPath(texts::kOldLog);
        const FileState backupState = StateOf(backup);
        // Without a backup yet, the log as read becomes the backup at the end and needs nothing appended.
        backupNeedsAppending_ = backupState == FileState::File;
        if (backupState == FileState::Other ||
            (backupNeedsAppending_ && !CopyOneFile(backup, in.WorkPath(texts::kTempBackup), false))) {
            s.AddError(texts::kUnableToUpdateBackup);
        }
    }
    return true;
}

void ProcessingRun::DeleteWorkFiles() {
    if (!ownsWorkFiles_) return;
    const RunInputs& in = run_.inputs;
    for (const char* prefix : {texts::kNewLog, texts::kNewChat, texts::kTempBackup})
        platform::RemoveFile(in.WorkPath(prefix));
}

void ProcessingRun::MoveFilesIntoPlace() {
    Session& s = run_.session;
    const RunInputs& in = run_.inputs;
    if (s.StopRequested || in.Mode == ShrinkMode::ReadOnly) {
        DeleteWorkFiles();
        return;
    }
    const std::string log = in.LogPath();
    const std::string newLog = in.WorkPath(texts::kNewLog);
    const std::uint64_t consumed = run_.log_.BytesConsumed();
    auto fail = [&](const char* text) {
        s.AddError(text);
        DeleteWorkFiles();
    };

    // Everything complete on the disk first; the user's files change only after that.
    std::uint64_t copied = 0;
    if (in.Backup && !backupNeedsAppending_) {
        // The first backup is the log exactly as far as the run has read it.
        platform::OutputFile out;
        if (!out.Create(in.WorkPath(texts::kTempBackup)) ||
            !platform::AppendFileRange(log, 0, consumed, out, copied) || copied != consumed || !out.Sync() ||
            !out.Close()) {
            return fail(texts::kUnableToUpdateBackup);
        }
    }
    // Lines the game appended while the run was under way are carried over unchanged.
    platform::OutputFile tail;
    if (!tail.Append(newLog) || !platform::AppendFileRange(log, consumed, UINT64_MAX, tail, copied) ||
        !tail.Sync() || !tail.Close()) {
        return fail(texts::kUnableToWriteLog);
    }
    std::error_code ec;
    const std::uintmax_t newLogSize = fs::file_size(platform::NativePath(newLog), ec);
    LogReplacement replacement(in);
    if (ec || !replacement.Begin(consumed + copied, newLogSize, in.Backup)) {
        platform::RemoveFile(in.WorkPath(texts::kReplacing));
        return fail(texts::kUnableToWriteLog);
    }
    std::string error;
    switch (replacement.Complete(true, error)) {
        case LogReplacement::Outcome::Done:
            break;
        case LogReplacement::Outcome::NothingChanged:
            fail(error.c_str());
            break;
        case LogReplacement::Outcome::Unfinished:
            s.AddError(error);
            s.AddStatus(texts::kNewLogKept + newLog + texts::kNewLogKeptEnd);
            break;
    }
}

}  // namespace krav
