// Log entries ("tunare_Bob") and the file names derived from them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace krav {

std::string_view EntryServer(std::string_view entry);
std::string_view EntryCharacter(std::string_view entry);
// "eqlog_" + character + "_" + server + the extension (".txt" while none is given).
std::string LogFileName(std::string_view entry, std::string_view parseExtension);
// The same name, always ending in ".txt": the base of every work file's name.
std::string BaseFileName(std::string_view entry);

enum class LogFileKind {
    Listed,     // a log of the current naming scheme
    Skipped,    // not a character's log: no server, a second "_", a pre-login log
    OldFormat,  // the client's older scheme, with a number where the server or the character stands
};

// How the log list takes a file name "eqlog_" + character + "_" + server + extension; `entry` receives the
// entry of a listed name. Names holding a colon or a control character are skipped too: they cannot occur
// where the game runs, and a colon would split the entry in the wrong place.
LogFileKind ClassifyLogFile(std::string_view fileName, std::string* entry = nullptr);

// The entry of a log file name, as the log list builds it; nothing for names the list does not take.
std::optional<std::string> EntryOfLogFile(std::string_view fileName);

}  // namespace krav
