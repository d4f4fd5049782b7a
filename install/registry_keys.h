// The registry keys the program and its family share, and the names of their values.
#pragma once

namespace krav::keys {

// Under HKEY_CURRENT_USER.
inline constexpr const char* kSettings = "Software\\Halcyra\\Vantrix\\KRAV\\Settings";
inline constexpr const char* kAutoLog = "AutoLog";

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kFamily = "Software\\Halcyra\\Vantrix";
inline constexpr const char* kEverQuestPath = "EverQuestPath";
inline constexpr const char* kEverQuestTestPath = "EverQuestTestPath";
inline constexpr const char* kServerNames = "Software\\Halcyra\\Vantrix\\Server Names";
inline constexpr const char* kGameAppPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Everquest.exe";
inline constexpr const char* kPath = "Path";
// The program's own entry under the system's application paths.
inline constexpr const char* kOwnAppPath = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KRAV.exe";

}  // namespace krav::keys
