// The processing run: start steps, read loop, end-of-run steps and the replacement of the user's files.
#include "engine/processing_run.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "engine/status_texts.h"
#include "engine/text.h"

namespace krav {

namespace {

namespace fs = std::filesystem;

void DeleteFile(const std::string& path) {
    std::error_code ignored;
    fs::remove(fs::path(path), ignored);
}

bool RenameFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(fs::path(from), fs::path(to), ec);
    return !ec;
}

// Copies everything from the stream's position to its end; true when all of it reached the file.
bool CopyRest(std::ifstream& in, WorkFile& out) {
    std::vector<char> block(LogReader::kBlockSize);
    while (in.good()) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const std::streamsize got = in.gcount();
        if (got > 0 && !out.Put(std::string_view(block.data(), static_cast<std::size_t>(got)))) return false;
    }
    return in.eof() && out.Close();
}

// Copies bytes [offset, end) of `source` to the end of `destination`. True when everything was copied.
bool AppendFileTail(const std::string& source, std::uint64_t offset, const std::string& destination) {
    std::error_code ec;
    std::uintmax_t size = fs::file_size(fs::path(source), ec);
    if (ec) return false;
    if (size <= offset) return true;
    std::ifstream in(fs::path(source), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    WorkFile out;
    return in.good() && out.Append(destination) && CopyRest(in, out);
}

// Overwrites `destination` in place with the content of `source`. The log is never renamed over: the game may
// hold it open and go on appending, and a rename would send its later lines to a deleted file.
bool OverwriteInPlace(const std::string& source, const std::string& destination) {
    std::ifstream in(fs::path(source), std::ios::binary);
    WorkFile out;
    return in.good() && out.Create(destination) && CopyRest(in, out);
}

}  // namespace

void ProcessingRun::Run(Session& session, const RunInputs& inputs, RunHost& host, const RunSteps& steps) {
    RunContext context(session, inputs, host);
    ProcessingRun run(context, steps);
    run.Start();
    if (!session.StopRequested) run.ReadLoop();
    run.Finish();
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
    s.Tables.ResetTables(fs::exists(fs::path(in.ProgramFolder + kReferenceDataFile), ec));
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

    if (!readOnly) {
        CopyOneFile(in.WorkPath(texts::kChat), in.WorkPath(texts::kNewChat), false);
        if (in.Backup) {
            backupNeedsAppending_ =
                CopyOneFile(in.WorkPath(texts::kOldLog), in.WorkPath(texts::kTempBackup), false);
            // Without a backup yet, the whole log becomes the backup and needs nothing appended.
            if (!backupNeedsAppending_) CopyOneFile(in.LogPath(), in.WorkPath(texts::kTempBackup), false);
        }
    }

    s.AddStatus(std::string(readOnly ? texts::kReading : texts::kProcessing) + "\"" + in.LogPath() + "\"...");
    run_.host.RepaintStatus();

    if (!run_.log_.Open(in.LogPath())) s.AddError(texts::kUnableToReadLog);
    if (!readOnly && !run_.newLog_.file.Create(in.WorkPath(texts::kNewLog)))
        s.AddError(texts::kUnableToWriteLog);
    // The log's byte order mark stays at the start of the log when the new log replaces it.
    if (run_.newLog_.file.IsOpen() && run_.log_.HasByteOrderMark())
        run_.CheckWrite(run_.newLog_, run_.newLog_.file.Put(LogReader::kByteOrderMark));
    if (!readOnly) {
        const std::string chat = in.WorkPath(texts::kNewChat);
        if (!run_.newChat_.file.Append(chat) && !run_.newChat_.file.Create(chat)) {
            s.AddError(texts::kUnableToWriteChat);
        }
    }
    if (backupNeedsAppending_ && in.Backup && !readOnly) {
        const std::string backup = in.WorkPath(texts::kTempBackup);
        if (!run_.backup_.file.Append(backup) && !run_.backup_.file.Create(backup)) {
            s.AddError(texts::kUnableToUpdateBackup);
        } else {
            run_.backupOpen_ = true;
        }
    }

    if (!in.UnmatchedFile.empty()) run_.unmatched_.Create(in.UnmatchedFile);

    if (in.Mode == ShrinkMode::Smallest) s.AddWarning(texts::kNotCompatible);
    if (!readOnly) {
        if (!in.Backup) s.AddWarning(texts::kNoBackup);
        if (!in.Chat) s.AddWarning(texts::kNoChat);
    }
    run_.host.RepaintStatus();
}

void ProcessingRun::ReadLoop() {
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
        if (!steps_.ClassifyLine(run_, line) && run_.unmatched_.IsOpen()) {
            run_.unmatched_.Put(raw);
            run_.unmatched_.EndLine();
        }
        host.ProcessPendingMessages();
    }
}

void ProcessingRun::Finish() {
    Session& s = run_.session;
    const RunInputs& in = run_.inputs;
    RunHost& host = run_.host;

    if (steps_.LogEnded != nullptr) steps_.LogEnded(run_);

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
        // Everything written so far must be in the files before the run may call itself complete.
        for (RunContext::Output* out : {&run_.backup_, &run_.newChat_, &run_.newLog_}) {
            if (out->file.IsOpen()) run_.CheckWrite(*out, out->file.Flush());
        }
    }
    if (!s.StopRequested) EndWarnings();

    host.SetProgressPosition(run_.progressMaximum_);
    s.Title = kAppTitle;
    host.SetTitle(s.Title);

    const bool readOnly = in.Mode == ShrinkMode::ReadOnly;
    s.AddStatus(std::to_string(run_.LinesRead) + texts::kLinesRead);
    if (!s.StopRequested && !readOnly) {
        s.AddStatus(std::to_string(run_.LinesWritten) + texts::kLinesWritten);
        s.AddStatus(std::to_string(run_.ChatLinesAppended) + texts::kChatLinesAppended);
    }
    s.LinesRead = run_.LinesRead;
    s.LinesWritten = run_.LinesWritten;
    s.ChatLinesAppended = run_.ChatLinesAppended;

    for (RunContext::Output* out : {&run_.backup_, &run_.newChat_, &run_.newLog_}) {
        if (!out->file.IsOpen()) continue;
        bool closed = out->file.Close();
        if (!s.StopRequested) run_.CheckWrite(*out, closed);
    }
    run_.backupOpen_ = false;
    run_.unmatched_.Close();
    run_.log_.Close();

    MoveFilesIntoPlace();

    if (s.WarningCount > 0) s.AddStatus(std::to_string(s.WarningCount) + texts::kWarningsReported);
    if (s.ErrorCount > 0) s.AddStatus(std::to_string(s.ErrorCount) + texts::kErrorsReported);
    host.RepaintStatus();
    host.ScrollStatusToEnd();

    std::error_code ec;
    s.ReportWritten = !reportPath_.empty() && fs::exists(fs::path(reportPath_), ec);
    s.Busy = false;
    host.RunEnded(s.ReportWritten);
    if (s.CloseRequested) host.CloseWindow();
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

void ProcessingRun::MoveFilesIntoPlace() {
    const RunInputs& in = run_.inputs;
    const std::string newLog = in.WorkPath(texts::kNewLog);
    const std::string newChat = in.WorkPath(texts::kNewChat);
    const std::string tempBackup = in.WorkPath(texts::kTempBackup);

    if (run_.session.StopRequested || in.Mode == ShrinkMode::ReadOnly) {
        DeleteFile(newLog);
        DeleteFile(newChat);
        DeleteFile(tempBackup);
        return;
    }
    // The complete backup first, renamed into place; when it cannot be, the still unchanged log is saved.
    if (in.Backup && !RenameFile(tempBackup, in.WorkPath(texts::kOldLog))) {
        CopyOneFile(in.LogPath(), in.WorkPath(texts::kOldBackup), false);
    }
    if (ReplaceLog()) DeleteFile(newLog);
    RenameFile(newChat, in.WorkPath(texts::kChat));
}

bool ProcessingRun::ReplaceLog() {
    const RunInputs& in = run_.inputs;
    const std::string newLog = in.WorkPath(texts::kNewLog);
    // Lines the game appended while the run was under way are carried over unchanged, so none is lost.
    if (!AppendFileTail(in.LogPath(), run_.log_.BytesConsumed(), newLog)) {
        run_.session.AddError(texts::kUnableToWriteLog);
        return false;
    }
    if (!OverwriteInPlace(newLog, in.LogPath())) {
        // The new log stays beside it, complete, for the user to recover.
        run_.session.AddError(texts::kUnableToWriteLog);
        return false;
    }
    return true;
}

}  // namespace krav
