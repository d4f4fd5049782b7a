// Server display names and their import.
#include "install/server_names.h"

#include "engine/text.h"
#include "install/install_texts.h"
#include "install/log_names.h"
#include "install/registry_keys.h"
#include "platform/profile.h"
#include "platform/registry.h"

namespace krav {

namespace {

constexpr const char* kServerData = "ServerData";
constexpr const char* kVersion = "Version";
constexpr const char* kServerNamesSection = "ServerNames";

}  // namespace

std::string ServerDisplayName(std::string_view entry) {
    const std::string_view server = EntryServer(entry);
    std::string name = texts::kServerPrefix;
    name.append(server);
    // An empty short name would read the key's default value, which holds the table's version number.
    if (server.empty()) return name;
    platform::Registry names(platform::RootKey::LocalMachine);
    if (names.OpenKey(keys::kServerNames, false)) {
        std::string stored = names.ReadString(server);
        if (!stored.empty()) name = std::move(stored);
        names.CloseKey();
    }
    return name;
}

void ImportServerNames(std::string_view programFolder) {
    const platform::Profile ini(AddTrailingBackslash(programFolder) + texts::kFamilyIni);
    const std::string version = ini.ReadString(kServerData, kVersion, "");
    platform::Registry names(platform::RootKey::LocalMachine);
    if (!names.OpenKey(keys::kServerNames, true)) return;
    if (ReadInteger(names.ReadString(""), 0) < ReadInteger(version, 0)) {
        for (const std::string& server : ini.KeyNames(kServerNamesSection)) {
            if (server.empty()) continue;
            std::string display = ini.ReadString(kServerNamesSection, server, "");
            if (!display.empty()) names.WriteString(server, display);
        }
        names.WriteString("", version);
    }
    names.CloseKey();
}

std::string ProcessHint(std::string_view entry) {
    std::string hint = texts::kProcessLogFileFor;
    hint.append(EntryCharacter(entry)).append(" on ").append(ServerDisplayName(entry));
    return hint;
}

}  // namespace krav
