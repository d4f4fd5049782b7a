// Finding the game's installation folder (command line, registry, Wine prefix, folder picker), reporting
// the outcome in the status list, and the check of the client's auto-log setting with its prompt.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "engine/session.h"
#include "platform/registry.h"

namespace krav {

// What the command line asked for: the normal client (also after a usage request or an unknown parameter),
// the test client (-t) or a given folder (-p PATH, the path in `commandText`).
enum class FolderRequest { Normal, Test, Given };
struct FolderCommand {
    FolderRequest request = FolderRequest::Normal;
    std::string commandText;
};

enum class FallbackReason { None, GivenFolderUnusable, TestFolderUnusable };

// True when the folder holds both "EverQuest.exe" and "eqclient.ini", names matched without regard to case.
bool IsGameFolder(std::string_view folder);

// The folder picker's restrictions, in declaration order, and the shell's browse flag of each.
enum class TBrowseForFolderDialogOption {
    bfoDriveServerOnly,
    bfoDriveOnly,
    bfoDontGoBelowDomain,
    bfoComputerOnly,
    bfoPrinterOnly,
    bfoStatusText,
};
using TBrowseForFolderDialogOptions = std::set<TBrowseForFolderDialogOption>;
std::uint32_t ShellBrowseFlag(TBrowseForFolderDialogOption option);

// The folder picker: its settings here, its modal browser supplied by the window.
class TBrowseForFolderDialog {
public:
    virtual ~TBrowseForFolderDialog() = default;

    std::string Title;
    TBrowseForFolderDialogOptions Options;
    // Results of the last Execute: the chosen folder's path (empty when cancelled) and its display name.
    std::string SelectedPath;
    std::string DisplayName;

    // The union of the flags of Options.
    std::uint32_t Flags() const;
    // Shows the browser and fills the two results.
    void Execute();

protected:
    // Shows the modal folder browser with Title and Flags() and fills the results; leaves SelectedPath empty
    // when the user cancels.
    virtual void Browse() = 0;
};

// The main window's picker: its title and [bfoDriveOnly].
void SetUpGameFolderPicker(TBrowseForFolderDialog& picker);

struct FoundFolder {
    std::string folder;  // possibly empty, possibly not a game folder
    FallbackReason reason = FallbackReason::None;
};

// Looks for the game folder in the order the command line, the registry, the Wine prefix and the picker
// give; never reports anything. `picker` may be null.
FoundFolder FindGameFolder(const FolderCommand& command, TBrowseForFolderDialog* picker);

struct GameFolderChoice {
    std::string gameFolder;     // with a trailing separator when not empty; used even when not valid
    std::string statusBarText;  // empty unless the folder is missing or not valid
};

// Finds the game folder and reports the outcome in the status list, with its warning and error counts.
GameFolderChoice SelectGameFolder(Session& session, const FolderCommand& command,
                                  TBrowseForFolderDialog* picker);

// The status line that names a folder other than the normal client's; empty for the normal client.
std::string FolderLine(const FolderCommand& command, std::string_view gameFolder);

// The game folder's "logs" folder (found without regard to case), with a trailing separator. An empty game
// folder gives the "logs" folder at the root.
std::string LogsFolderOf(std::string_view gameFolder);

// The auto-log prompt TfAuto, shown by the window.
class AutoLogPrompt {
public:
    virtual ~AutoLogPrompt() = default;
    // Shows the prompt modally: true for Yes; No and the close box give false.
    virtual bool ShowModal() = 0;
    // Whether "&Don't ask me this again" is ticked.
    virtual bool DontAskAgain() const = 0;
};

// Checks the client's "Log" setting in "eqclient.ini" and, with the user's consent, turns it on. `autoLog`
// is the stored AutoLog number; `settingsKey` is the settings key, open, where a remembered answer goes.
// Returns the AutoLog number as the check leaves it.
std::int64_t AutoLogCheck(Session& session, std::string_view gameFolder, std::int64_t autoLog,
                          AutoLogPrompt& prompt, platform::Registry& settingsKey);

}  // namespace krav
