// Game folder discovery and validation, and the auto-log check.
#include "install/game_folder.h"

#include <array>
#include <optional>

#include "engine/text.h"
#include "install/install_texts.h"
#include "install/registry_keys.h"
#include "platform/files.h"
#include "platform/profile.h"

namespace krav {

namespace {

using platform::EntryKind;
using platform::Registry;
using platform::RootKey;

// Where a Windows installer puts the game inside a Wine prefix, most likely first.
constexpr std::array<const char*, 4> kWineGameFolders = {
    "drive_c/Program Files/Sony/EverQuest",
    "drive_c/Program Files (x86)/Sony/EverQuest",
    "drive_c/users/Public/Daybreak Game Company/Installed Games/EverQuest",
    "drive_c/EverQuest",
};

bool Usable(const std::string& candidate) {
    return !candidate.empty() && IsGameFolder(candidate);
}

// The game folder in the Wine prefix, as the game's own registration would name it there.
std::optional<std::string> WineGameFolder() {
    const std::string prefix = platform::WinePrefix();
    if (prefix.empty()) return std::nullopt;
    for (const char* relative : kWineGameFolders) {
        std::optional<std::string> folder = platform::FindPathNoCase(prefix, relative, EntryKind::Folder);
        if (folder && IsGameFolder(*folder)) return folder;
    }
    return std::nullopt;
}

}  // namespace

bool IsGameFolder(std::string_view folder) {
    const std::string base = AddTrailingBackslash(folder);
    return platform::FindNameNoCase(base, texts::kGameProgram, EntryKind::File) &&
           platform::FindNameNoCase(base, texts::kClientIni, EntryKind::File);
}

std::uint32_t ShellBrowseFlag(TBrowseForFolderDialogOption option) {
    switch (option) {
        case TBrowseForFolderDialogOption::bfoDriveServerOnly:
            return 0x0008;  // BIF_RETURNFSANCESTORS
        case TBrowseForFolderDialogOption::bfoDriveOnly:
            return 0x0001;  // BIF_RETURNONLYFSDIRS
        case TBrowseForFolderDialogOption::bfoDontGoBelowDomain:
            return 0x0002;  // BIF_DONTGOBELOWDOMAIN
        case TBrowseForFolderDialogOption::bfoComputerOnly:
            return 0x1000;  // BIF_BROWSEFORCOMPUTER
        case TBrowseForFolderDialogOption::bfoPrinterOnly:
            return 0x2000;  // BIF_BROWSEFORPRINTER
        case TBrowseForFolderDialogOption::bfoStatusText:
            return 0x0004;  // BIF_STATUSTEXT
    }
    return 0;
}

std::uint32_t TBrowseForFolderDialog::Flags() const {
    std::uint32_t flags = 0;
    for (TBrowseForFolderDialogOption option : Options)
        flags |= ShellBrowseFlag(option);
    return flags;
}

void TBrowseForFolderDialog::Execute() {
    SelectedPath.clear();
    DisplayName.clear();
    Browse();
}

void SetUpGameFolderPicker(TBrowseForFolderDialog& picker) {
    picker.Title = texts::kGameFolderPickerTitle;
    picker.Options = {TBrowseForFolderDialogOption::bfoDriveOnly};
}

FoundFolder FindGameFolder(const FolderCommand& command, TBrowseForFolderDialog* picker) {
    FoundFolder found;
    const bool test = command.request == FolderRequest::Test;
    if (command.request == FolderRequest::Given) {
        found.folder = command.commandText;
        if (Usable(found.folder)) return found;  // the registry is not consulted
        found.reason = FallbackReason::GivenFolderUnusable;
    }

    Registry family(RootKey::LocalMachine);
    if (family.OpenKey(keys::kFamily, false)) {
        if (test) found.folder = family.ReadString(keys::kEverQuestTestPath);
        if (!Usable(found.folder)) {
            if (test) found.reason = FallbackReason::TestFolderUnusable;
            found.folder = family.ReadString(keys::kEverQuestPath);
        }
        family.CloseKey();
    }

    if (!Usable(found.folder)) {
        Registry appPath(RootKey::LocalMachine);
        if (appPath.OpenKey(keys::kGameAppPath, false)) {
            found.folder = appPath.ReadString(keys::kPath);
            appPath.CloseKey();
        }
        // The game runs in Wine here, and Wine's own registry is out of the store's sight.
        if (!Usable(found.folder)) {
            if (std::optional<std::string> wine = WineGameFolder()) found.folder = *wine;
        }
    }

    if (!Usable(found.folder) && picker != nullptr) {
        picker->Execute();
        if (!picker->SelectedPath.empty()) {
            found.folder = picker->SelectedPath;
            // Stored unvalidated, so that the choice is offered as the default next time.
            Registry store(RootKey::LocalMachine);
            if (store.OpenKey(keys::kFamily, true)) {
                store.WriteString(keys::kEverQuestPath, found.folder);
                store.CloseKey();
            }
        }
    }
    return found;
}

GameFolderChoice SelectGameFolder(Session& session, const FolderCommand& command,
                                  TBrowseForFolderDialog* picker) {
    FoundFolder found = FindGameFolder(command, picker);
    switch (found.reason) {
        case FallbackReason::GivenFolderUnusable:
            session.AddWarning(texts::kSpecifiedDirectory + command.commandText + texts::kNotFoundSuffix);
            session.AddStatus(texts::kUsingDefaultDirectory);
            break;
        case FallbackReason::TestFolderUnusable:
            session.AddWarning(texts::kTestDirectoryNotFound);
            session.AddStatus(texts::kUsingDefaultDirectory);
            break;
        case FallbackReason::None:
            break;
    }
    GameFolderChoice choice;
    if (!found.folder.empty()) {
        choice.gameFolder = AddTrailingBackslash(found.folder);
        if (!IsGameFolder(choice.gameFolder)) {
            choice.statusBarText = std::string(" ") + texts::kDirectoryNotValid;
            session.CountError(texts::kDirectoryNotValid);
        }
    } else {
        choice.statusBarText = std::string(" ") + texts::kDirectoryNotFound;
        session.CountError(texts::kDirectoryNotFound);
    }
    return choice;
}

std::string FolderLine(const FolderCommand& command, std::string_view gameFolder) {
    const char* opening = command.request == FolderRequest::Given  ? texts::kAlternateFolder
                          : command.request == FolderRequest::Test ? texts::kTestFolder
                                                                   : nullptr;
    if (opening == nullptr) return {};
    std::string line = opening;
    line.append(gameFolder).append(")");
    return line;
}

std::string LogsFolderOf(std::string_view gameFolder) {
    const std::string base = AddTrailingBackslash(gameFolder);
    std::string logs =
        platform::FindNameNoCase(base, texts::kLogsFolder, EntryKind::Folder).value_or(texts::kLogsFolder);
    return AddTrailingBackslash(base + logs);
}

std::int64_t AutoLogCheck(Session& session, std::string_view gameFolder, std::int64_t autoLog,
                          AutoLogPrompt& prompt, platform::Registry& settingsKey) {
    // Without a game folder there is no client file to look at; the current folder is not one.
    std::optional<std::string> iniName;
    if (!gameFolder.empty())
        iniName =
            platform::FindNameNoCase(AddTrailingBackslash(gameFolder), texts::kClientIni, EntryKind::File);
    if (!iniName) {
        session.AddWarning(texts::kUnableToAccessEqclient);
        return autoLog;
    }
    const platform::Profile ini(AddTrailingBackslash(gameFolder) + *iniName);
    std::string log = ini.ReadString("Defaults", "Log", "");
    for (char& c : log)
        c = UpperCase(c);

    bool shown = false;
    if (log != "TRUE") {
        if (autoLog == 0) {
            shown = true;
            autoLog = prompt.ShowModal() ? 1 : -1;
        }
        if (autoLog != 1) session.AddWarning(texts::kAutoLoggingOff);
    }
    if (shown && prompt.DontAskAgain()) settingsKey.WriteString(keys::kAutoLog, std::to_string(autoLog));
    if (autoLog == 1) ini.WriteString("Defaults", "Log", "TRUE");
    return autoLog;
}

}  // namespace krav
