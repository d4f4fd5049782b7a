// The main window's own texts: captions, hints and the mode messages, byte for byte (Windows-1252).
#pragma once

namespace krav::texts {

// Notebook pages.
inline constexpr const char* kPageInfo = "&Info";
inline constexpr const char* kPageSkills = "&Skills";
inline constexpr const char* kPageZones = "&Zones";
inline constexpr const char* kPageFactions = "F&actions";
inline constexpr const char* kPageMobs = "Mo&bs";
inline constexpr const char* kPageVendors = "Ve&ndors";
inline constexpr const char* kPageItems = "&Items";
inline constexpr const char* kPageCombat = "&Combat";
inline constexpr const char* kPageSpells = "Sp&ells";
inline constexpr const char* kPageMisc = "&Misc";
inline constexpr const char* kPageGuild = "G&uild";

// Info fields.
inline constexpr const char* kLabelName = "Character's Name:";
inline constexpr const char* kLabelClass = "Class:";
inline constexpr const char* kLabelLevel = "Level:";
inline constexpr const char* kLabelRace = "Race:";
inline constexpr const char* kLabelGuild = "Guild:";
inline constexpr const char* kLabelBound = "Bound in:";
inline constexpr const char* kLabelZone = "Last Zone Entered:";
inline constexpr const char* kLabelFrom = "Log entries from:";
inline constexpr const char* kLabelTo = "to:";
inline constexpr const char* kLabelPlayed = "Total Time Played:";
inline constexpr const char* kLabelAsOf = "as of:";

// Controls below the notebook: captions and hints.
inline constexpr const char* kReadOnlyCaption = "&Don't Shrink Log File (Read Only)";
inline constexpr const char* kReadOnlyHint = "Read log file without writing";
inline constexpr const char* kCompatibleCaption = "S&hrink Log File (Compatible)";
inline constexpr const char* kCompatibleHint = "Write log file that is compatible with other software";
inline constexpr const char* kSmallestCaption = "Shrin&k Log File (Smallest)";
inline constexpr const char* kSmallestHint = "Write smallest possible log file";
inline constexpr const char* kLogFileLabel = "Lo&g File:";
inline constexpr const char* kLogFileHint = "Select log file";
inline constexpr const char* kSortTextCaption = "Sort by &Text";
inline constexpr const char* kSortTextHint = "Sort all tables alphabetically";
inline constexpr const char* kSortValueCaption = "Sort by &Value";
inline constexpr const char* kSortValueHint = "Sort all tables numerically";
inline constexpr const char* kOptionsCaption = "&Options...";
inline constexpr const char* kOptionsHint = "Define Options";
inline constexpr const char* kProcessCaption = "&Process";
inline constexpr const char* kStopCaption = "Stop";
inline constexpr const char* kStopHint = "Stop processing";
inline constexpr const char* kReportCaption = "&Report";
inline constexpr const char* kReportHint = "View/Print generated report for processed log file (html)";
inline constexpr const char* kReportHintFor = "View/Print generated report for ";
inline constexpr const char* kReportHintOn = " on ";
inline constexpr const char* kReportHintSuffix = " (html)";
inline constexpr const char* kExitCaption = "E&xit";
inline constexpr const char* kExitHint = "Exit programme";
// The status bar's notice until a folder error replaces it.
inline constexpr const char* kStatusBarNotice = "Choose a log file and press Process.";

// The close query during a run.
inline constexpr const char* kStopAndExitQuestion = "Are you sure you want to stop processing and exit?";

// ShowModeMessages.
inline constexpr const char* kSmallestMessage = "Log will be compressed to smallest size possible.";
inline constexpr const char* kCompatibleMessage =
    "Log will be compressed to be compatible with other log parsers, where possible.";
inline constexpr const char* kReadOnlyMessage = "No changes will be written to log file.";
inline constexpr const char* kAlternateFilesMessage = "Alternate (.log) files will be parsed.";

}  // namespace krav::texts
