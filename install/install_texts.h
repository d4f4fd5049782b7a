// The texts of the game folder search, the auto-log check and the log list, byte for byte.
#pragma once

namespace krav::texts {

inline constexpr const char* kSpecifiedDirectory = "WARNING: Specified directory (";
inline constexpr const char* kNotFoundSuffix = ") not found!";
inline constexpr const char* kTestDirectoryNotFound = "WARNING: EverQuest Test directory not found!";
inline constexpr const char* kUsingDefaultDirectory = "Using default EverQuest directory";
inline constexpr const char* kDirectoryNotValid = "ERROR: EverQuest directory is not valid!";
inline constexpr const char* kDirectoryNotFound = "ERROR: EverQuest directory not found!";
inline constexpr const char* kAlternateFolder = "Processing alternate EQ folder (";
inline constexpr const char* kTestFolder = "Processing EQ Test folder (";

inline constexpr const char* kAutoLoggingOff =
    "WARNING: EQ's Auto Logging is OFF! To use KRAV, /LOG each EQ session or turn EQ's Auto Logging on.";
inline constexpr const char* kUnableToAccessEqclient =
    "WARNING: Unable to access EQCLIENT.INI! To use KRAV, /LOG each EQ session or turn EQ's Auto Logging on.";

// The folder picker and the auto-log prompt TfAuto.
inline constexpr const char* kGameFolderPickerTitle =
    "Please Select the Folder where EverQuest is Installed:";
inline constexpr const char* kAutoLogCaption = "Auto Log?";
inline constexpr const char* kAutoLogExplanation =
    "In order for KRAV to provide current information, EQ must have logging enabled. To do this, you can use "
    "the /log command within each EQ session, or turn on EQ's Auto Logging.";
inline constexpr const char* kAutoLogQuestion = "Do you want KRAV to turn on EQ's Auto Logging?";
inline constexpr const char* kDontAskAgain = "&Don't ask me this again";
inline constexpr const char* kYes = "&Yes";
inline constexpr const char* kNo = "&No";

inline constexpr const char* kNoLogFilesIn = "ERROR: No log files in ";
inline constexpr const char* kDirectorySuffix = " directory!";
inline constexpr const char* kOldAndNewFormat = " folder contains both old format and new format logs.";
inline constexpr const char* kRunMergeQuestion = "Do you want to run Merge Utility?";
inline constexpr const char* kUnableToRunMerge = "ERROR: Unable to run Log file Merge Utility (";
inline constexpr const char* kOlderLoggedData =
    "WARNING: Log file may contain some older logged data! Run Log file Merge Utility to merge logs.";
inline constexpr const char* kProcessLogFileFor = "Process Log File for ";
inline constexpr const char* kServerPrefix = "Server ";

// Files and folders the game, the program family and the program itself name.
inline constexpr const char* kGameProgram = "EverQuest.exe";
inline constexpr const char* kClientIni = "eqclient.ini";
inline constexpr const char* kLogsFolder = "logs";
inline constexpr const char* kFamilyIni = "Vantrix.ini";
inline constexpr const char* kMergeUtility = "Ordwin.exe";

}  // namespace krav::texts
