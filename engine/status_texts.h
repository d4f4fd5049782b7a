// The processing run's own status-list texts, byte for byte.
#pragma once

namespace krav::texts {

inline constexpr const char* kStoppedByUser = "* * * STOPPED BY USER * * *";
inline constexpr const char* kReading = "Reading: ";
inline constexpr const char* kProcessing = "Processing: ";

inline constexpr const char* kUnableToReadLog = "ERROR: Unable to read log file!";
inline constexpr const char* kUnableToWriteLog = "ERROR: Unable to write to log file!";
inline constexpr const char* kUnableToWriteChat = "ERROR: Unable to write to chat file!";
inline constexpr const char* kUnableToUpdateBackup = "ERROR: Unable to update backup file!";
// Followed by what failed and ")!".
inline constexpr const char* kUnexpectedFailure = "ERROR: Unable to complete the run (";
inline constexpr const char* kLogInUse = "ERROR: Log file is being processed by another run!";
inline constexpr const char* kUnableToWriteUnmatched = "ERROR: Unable to write to unmatched lines file!";
// Followed by the path of the complete new log, then kNewLogKeptEnd.
inline constexpr const char* kNewLogKept = "The new log is kept in \"";
inline constexpr const char* kNewLogKeptEnd = "\"; the next run completes the replacement.";
inline constexpr const char* kReplacementCompleted =
    "The log replacement left unfinished by an earlier run has been completed.";

inline constexpr const char* kNotCompatible =
    "WARNING: Some log data will not be compatible with other log parsers!";
inline constexpr const char* kMayNotBeCompatible =
    "WARNING: Some log data may not be compatible with other log parsers!";
inline constexpr const char* kNoBackup = "WARNING: No backup log file will be written!";
inline constexpr const char* kNoChat = "WARNING: No chat information will be saved!";

inline constexpr const char* kCharacterInfoUnknown =
    "WARNING: Some character info is unknown! If you are /ANON or /ROLEPLAY in game info may not be logged.";
inline constexpr const char* kBindPointUnknown =
    "WARNING: Bind Point is unknown! Use /CHARINFO in game to log Bind Point.";
inline constexpr const char* kPlayedUnknown =
    "WARNING: Total Time Played is unknown! Use /PLAYED in game to log Time Played.";
inline constexpr const char* kPlayedAsOfUnknown =
    "WARNING: Last use of Time Played is unknown! Use /PLAYED in game to log Time Played.";
inline constexpr const char* kPlayedStale =
    "WARNING: Total Time Played has not been updated recently! Use /PLAYED in game to log Time Played.";

inline constexpr const char* kLinesRead = " lines read";
inline constexpr const char* kLinesWritten = " lines written";
inline constexpr const char* kChatLinesAppended = " chat lines appended";
inline constexpr const char* kWarningsReported = " warnings reported";
inline constexpr const char* kErrorsReported = " errors reported";

inline constexpr const char* kProgressTitle = "KRAV (Processing ";

// Work-file prefixes, each followed by the log's base name.
inline constexpr const char* kNewLog = "NEWLOG_";
inline constexpr const char* kNewChat = "NEWCHAT_";
inline constexpr const char* kTempBackup = "TEMPBACKUP_";
inline constexpr const char* kChat = "CHAT_";
inline constexpr const char* kOldLog = "OLDLOG_";
inline constexpr const char* kOldBackup = "OLDBACKUP_";
// The journal of a replacement under way (see engine/log_replacement.h).
inline constexpr const char* kReplacing = "REPLACING_";

}  // namespace krav::texts
