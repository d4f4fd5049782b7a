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

// The entry of a log file name "eqlog_" + character + "_" + server + extension, as the log list builds it;
// nothing for names the list does not take (no server, a second "_", a pre-login log, the old numeric
// scheme).
std::optional<std::string> EntryOfLogFile(std::string_view fileName);

}  // namespace krav
