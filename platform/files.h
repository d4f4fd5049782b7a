// File-system lookups the way the game's own platform does them: names compared without regard to letter
// case, and wildcard listings of a folder. The game and its tools were made for a file system that ignores
// case, so a player's "Logs" folder or "EQClient.ini" must be found as readily as "logs" and "eqclient.ini".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace krav::platform {

enum class EntryKind { File, Folder };

// The name, as spelled on disk, of the file or folder in `folder` whose name equals `name` without regard to
// case; the exact spelling wins when several match. Nothing when there is none or `folder` is empty.
std::optional<std::string> FindNameNoCase(std::string_view folder, std::string_view name, EntryKind kind);

// Follows a relative path of "/"-separated names down from `base`, each name found without regard to case;
// the last one must be of the given kind. The path as spelled on disk, or nothing.
std::optional<std::string> FindPathNoCase(std::string_view base, std::string_view relative, EntryKind kind);

// Matches a whole name against a pattern of '*' (any run of characters) and '?' (one character), ignoring
// the case of the letters A-Z.
bool WildcardMatchNoCase(std::string_view pattern, std::string_view name);

// The names of the plain files (no folders) in `folder` that match the pattern, in byte order. Empty when the
// folder cannot be read.
std::vector<std::string> ListFiles(std::string_view folder, std::string_view pattern);

// The Wine prefix a Windows game would be installed in: $WINEPREFIX, else ~/.wine; empty when neither can
// be told.
std::string WinePrefix();

}  // namespace krav::platform
