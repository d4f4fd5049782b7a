// The game folder: validation, the search through command line, registry, Wine prefix and picker with its
// status lines and counts, the logs folder, and the auto-log decisions with what each of them writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "install/game_folder.h"
#include "install/install_texts.h"
#include "install/registry_keys.h"
#include "platform/registry.h"
#include "tests/isolated_home.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;
using platform::Registry;
using platform::RootKey;
using Lines = std::vector<std::string>;

// A game folder with the two files the check looks for, spelled as given.
void MakeGame(const fs::path& folder, const std::string& exe = "EverQuest.exe",
              const std::string& ini = "eqclient.ini") {
    if (!exe.empty()) WriteFile(folder / exe, "");
    if (!ini.empty()) WriteFile(folder / ini, "[Defaults]\r\nLog=TRUE\r\n");
    fs::create_directories(folder);
}

std::string Text(const fs::path& folder) {
    return folder.string() + static_cast<char>(fs::path::preferred_separator);
}

void SetValue(const char* key, const char* name, const std::string& value) {
    Registry registry(RootKey::LocalMachine);
    ASSERT_TRUE(registry.OpenKey(key, true));
    ASSERT_TRUE(registry.WriteString(name, value));
}

std::string ReadValue(const char* key, const char* name) {
    Registry registry(RootKey::LocalMachine);
    return registry.OpenKey(key, false) ? registry.ReadString(name) : "<no key>";
}

class FakePicker : public TBrowseForFolderDialog {
public:
    std::string answer;  // empty: the user cancels
    int shown = 0;

protected:
    void Browse() override {
        ++shown;
        SelectedPath = answer;
        DisplayName = fs::path(answer).filename().string();
    }
};

TEST(GameFolder, NeedsBothFilesWhateverTheirCase) {
    TempFolder root;
    MakeGame(root.path() / "a", "EVERQUEST.EXE", "EQClient.ini");
    EXPECT_TRUE(IsGameFolder((root.path() / "a").string()));
    EXPECT_TRUE(IsGameFolder(Text(root.path() / "a")));
    MakeGame(root.path() / "b", "EverQuest.exe", "");
    EXPECT_FALSE(IsGameFolder((root.path() / "b").string()));
    MakeGame(root.path() / "c", "", "eqclient.ini");
    EXPECT_FALSE(IsGameFolder((root.path() / "c").string()));
    fs::create_directories(root.path() / "d" / "EverQuest.exe");  // a folder of that name does not count
    WriteFile(root.path() / "d" / "eqclient.ini", "");
    EXPECT_FALSE(IsGameFolder((root.path() / "d").string()));
    EXPECT_FALSE(IsGameFolder((root.path() / "missing").string()));
}

TEST(GameFolder, PickerFlagsFollowTheOptions) {
    FakePicker picker;
    EXPECT_EQ(picker.Flags(), 0u);
    SetUpGameFolderPicker(picker);
    EXPECT_EQ(picker.Title, texts::kGameFolderPickerTitle);
    EXPECT_EQ(picker.Options, TBrowseForFolderDialogOptions{TBrowseForFolderDialogOption::bfoDriveOnly});
    EXPECT_EQ(picker.Flags(), 0x0001u);
    picker.Options = {
        TBrowseForFolderDialogOption::bfoDriveServerOnly,   TBrowseForFolderDialogOption::bfoDriveOnly,
        TBrowseForFolderDialogOption::bfoDontGoBelowDomain, TBrowseForFolderDialogOption::bfoComputerOnly,
        TBrowseForFolderDialogOption::bfoPrinterOnly,       TBrowseForFolderDialogOption::bfoStatusText};
    EXPECT_EQ(picker.Flags(), 0x0008u | 0x0001u | 0x0002u | 0x1000u | 0x2000u | 0x0004u);
    picker.answer = "/x";
    picker.Execute();
    EXPECT_EQ(picker.SelectedPath, "/x");
    picker.answer.clear();
    picker.Execute();  // a cancel clears the last choice
    EXPECT_EQ(picker.SelectedPath, "");
}

TEST(GameFolderSearch, AValidGivenFolderIsUsedWithoutTheRegistry) {
    IsolatedHome env;
    TempFolder games;
    MakeGame(games.path() / "given");
    MakeGame(games.path() / "registered");
    SetValue(keys::kFamily, keys::kEverQuestPath, games.text() + "registered");
    FakePicker picker;
    Session session;
    const FolderCommand command{FolderRequest::Given, (games.path() / "given").string()};
    GameFolderChoice choice = SelectGameFolder(session, command, &picker);
    EXPECT_EQ(choice.gameFolder, Text(games.path() / "given"));
    EXPECT_EQ(choice.statusBarText, "");
    EXPECT_TRUE(session.Status.empty());
    EXPECT_EQ(session.WarningCount + session.ErrorCount, 0);
    EXPECT_EQ(picker.shown, 0);
    EXPECT_EQ(FolderLine(command, choice.gameFolder),
              "Processing alternate EQ folder (" + choice.gameFolder + ")");
}

TEST(GameFolderSearch, AnUnusableGivenFolderFallsBackToTheRegisteredOne) {
    IsolatedHome env;
    TempFolder games;
    MakeGame(games.path() / "given", "");  // no EverQuest.exe
    MakeGame(games.path() / "registered");
    SetValue(keys::kFamily, keys::kEverQuestPath, games.text() + "registered");
    Session session;
    const FolderCommand command{FolderRequest::Given, games.text() + "given"};
    GameFolderChoice choice = SelectGameFolder(session, command, nullptr);
    EXPECT_EQ(choice.gameFolder, Text(games.path() / "registered"));
    EXPECT_EQ(session.Status, (Lines{"WARNING: Specified directory (" + games.text() + "given) not found!",
                                     "Using default EverQuest directory"}));
    EXPECT_EQ(session.WarningCount, 1);
    EXPECT_EQ(session.ErrorCount, 0);
    EXPECT_EQ(FolderLine(command, choice.gameFolder),
              "Processing alternate EQ folder (" + choice.gameFolder + ")");
    EXPECT_EQ(FolderLine(FolderCommand{}, choice.gameFolder), "");
}

TEST(GameFolderSearch, TestClientFallsBackOnlyWhenTheFamilyKeyExists) {
    IsolatedHome env;
    TempFolder games;
    MakeGame(games.path() / "live");
    MakeGame(games.path() / "test");
    MakeGame(games.path() / "registered-by-game");
    const FolderCommand test{FolderRequest::Test, ""};

    // No family key: no test warning, and the game's own registration decides.
    SetValue(keys::kGameAppPath, keys::kPath, games.text() + "registered-by-game");
    Session first;
    GameFolderChoice choice = SelectGameFolder(first, test, nullptr);
    EXPECT_EQ(choice.gameFolder, Text(games.path() / "registered-by-game"));
    EXPECT_TRUE(first.Status.empty());
    EXPECT_EQ(FolderLine(test, choice.gameFolder), "Processing EQ Test folder (" + choice.gameFolder + ")");

    // Family key without the test path: the warning, then the live path.
    SetValue(keys::kFamily, keys::kEverQuestPath, games.text() + "live");
    Session second;
    choice = SelectGameFolder(second, test, nullptr);
    EXPECT_EQ(choice.gameFolder, Text(games.path() / "live"));
    EXPECT_EQ(second.Status,
              (Lines{"WARNING: EverQuest Test directory not found!", "Using default EverQuest directory"}));
    EXPECT_EQ(second.WarningCount, 1);

    SetValue(keys::kFamily, keys::kEverQuestTestPath, games.text() + "test");
    Session third;
    EXPECT_EQ(SelectGameFolder(third, test, nullptr).gameFolder, Text(games.path() / "test"));
    EXPECT_TRUE(third.Status.empty());
    // The normal client never reads the test path.
    EXPECT_EQ(FindGameFolder(FolderCommand{}, nullptr).folder, games.text() + "live");
}

#ifndef _WIN32  // on Windows itself there is no Wine prefix to look into
TEST(GameFolderSearch, WinePrefixFoldersAreTriedInOrderAfterTheGamesRegistration) {
    IsolatedHome env;
    const fs::path driveC = env.wine() / "drive_c";
    MakeGame(driveC / "Program Files" / "Sony" / "EverQuest", "");  // present but lacking the game
    MakeGame(driveC / "PROGRAM FILES (X86)" / "sony" / "everquest");
    MakeGame(driveC / "EverQuest");
    FoundFolder found = FindGameFolder(FolderCommand{}, nullptr);
    EXPECT_EQ(found.folder, (driveC / "PROGRAM FILES (X86)" / "sony" / "everquest").string());
    EXPECT_EQ(found.reason, FallbackReason::None);

    // A usable registration of the game comes first.
    TempFolder games;
    MakeGame(games.path() / "registered");
    SetValue(keys::kGameAppPath, keys::kPath, games.text() + "registered");
    EXPECT_EQ(FindGameFolder(FolderCommand{}, nullptr).folder, games.text() + "registered");

    // Without WINEPREFIX the prefix is ~/.wine.
    SetValue(keys::kGameAppPath, keys::kPath, "");
    env.Unset("WINEPREFIX");
    MakeGame(env.home() / ".wine" / "drive_c" / "users" / "Public" / "Daybreak Game Company" /
             "Installed Games" / "EverQuest");
    EXPECT_EQ(
        FindGameFolder(FolderCommand{}, nullptr).folder,
        (env.home() / ".wine/drive_c/users/Public/Daybreak Game Company/Installed Games/EverQuest").string());
}
#endif

TEST(GameFolderSearch, APickedFolderIsStoredUnvalidatedAndAskedForAgain) {
    IsolatedHome env;
    TempFolder games;
    MakeGame(games.path() / "half", "EverQuest.exe", "");
    FakePicker picker;
    picker.answer = (games.path() / "half").string();
    Session session;
    GameFolderChoice choice = SelectGameFolder(session, FolderCommand{}, &picker);
    EXPECT_EQ(picker.shown, 1);
    EXPECT_EQ(choice.gameFolder, Text(games.path() / "half"));
    EXPECT_EQ(ReadValue(keys::kFamily, keys::kEverQuestPath), picker.answer);
    EXPECT_EQ(session.Status, Lines{"ERROR: EverQuest directory is not valid!"});
    EXPECT_EQ(choice.statusBarText, " ERROR: EverQuest directory is not valid!");
    EXPECT_EQ(session.ErrorCount, 1);
    EXPECT_FALSE(session.StopRequested);  // nothing runs yet

    // Next start: the stored folder is rejected again and the picker is shown again; a cancel keeps it.
    picker.answer.clear();
    Session next;
    choice = SelectGameFolder(next, FolderCommand{}, &picker);
    EXPECT_EQ(picker.shown, 2);
    EXPECT_EQ(choice.gameFolder, Text(games.path() / "half"));
    EXPECT_EQ(next.Status, Lines{"ERROR: EverQuest directory is not valid!"});
}

TEST(GameFolderSearch, NothingAnywhereAndACancelledPickerReportsNoFolder) {
    IsolatedHome env;
    FakePicker picker;
    Session session;
    GameFolderChoice choice = SelectGameFolder(session, FolderCommand{}, &picker);
    EXPECT_EQ(picker.shown, 1);
    EXPECT_EQ(choice.gameFolder, "");
    EXPECT_EQ(choice.statusBarText, " ERROR: EverQuest directory not found!");
    EXPECT_EQ(session.Status, Lines{"ERROR: EverQuest directory not found!"});
    EXPECT_EQ(session.ErrorCount, 1);
    EXPECT_EQ(ReadValue(keys::kFamily, keys::kEverQuestPath), "<no key>");  // a cancel stores nothing

    // A registry store that cannot be used is passed over silently.
    WriteFile(env.root().path() / "nowhere", "a file where a folder should be");
    env.Set("KRAV_REGISTRY_DIR", (env.root().path() / "nowhere" / "registry").string());
    TempFolder games;
    MakeGame(games.path() / "picked");
    picker.answer = (games.path() / "picked").string();
    Session unstored;
    EXPECT_EQ(SelectGameFolder(unstored, FolderCommand{}, &picker).gameFolder, Text(games.path() / "picked"));
    EXPECT_TRUE(unstored.Status.empty());
}

TEST(GameFolder, LogsFolderIsFoundWhateverItsCase) {
    TempFolder root;
    fs::create_directories(root.path() / "Logs");
    EXPECT_EQ(LogsFolderOf(root.text()), Text(root.path() / "Logs"));
    TempFolder bare;
    EXPECT_EQ(LogsFolderOf(bare.text()), Text(bare.path() / "logs"));
#ifndef _WIN32  // a folder whose name differs only in case is the same folder on Windows
    fs::create_directories(root.path() / "logs");
    EXPECT_EQ(LogsFolderOf(root.path().string()), Text(root.path() / "logs"));
#endif
}

// The prompt's answer and box as a test sets them; counts how often it was shown.
class FakePrompt : public AutoLogPrompt {
public:
    FakePrompt(bool yes, bool tick) : yes_(yes), tick_(tick) {}
    int shown = 0;
    bool ShowModal() override {
        ++shown;
        return yes_;
    }
    bool DontAskAgain() const override { return tick_ && shown > 0; }

private:
    bool yes_, tick_;
};

struct AutoLogCase {
    std::string iniName = "eqclient.ini";
    std::string ini = {};  // file content
    std::int64_t autoLog = 0;
    bool yes = false, tick = false;
};

struct AutoLogOutcome {
    std::int64_t autoLog;
    int shown;
    Lines status;
    int warnings;
    std::string storedAutoLog;  // "<none>" when not written
    std::string ini;
};

AutoLogOutcome RunAutoLog(const AutoLogCase& c) {
    IsolatedHome env;
    TempFolder game;
    if (!c.iniName.empty()) WriteFile(game.path() / c.iniName, c.ini);
    Registry settings(RootKey::CurrentUser);
    EXPECT_TRUE(settings.OpenKey(keys::kSettings, true));
    FakePrompt prompt(c.yes, c.tick);
    Session session;
    AutoLogOutcome out;
    out.autoLog = AutoLogCheck(session, game.text(), c.autoLog, prompt, settings);
    out.shown = prompt.shown;
    out.status = session.Status;
    out.warnings = session.WarningCount;
    out.storedAutoLog = settings.ValueExists(keys::kAutoLog) ? settings.ReadString(keys::kAutoLog) : "<none>";
    out.ini = c.iniName.empty() ? "" : ReadFile(game.path() / c.iniName);
    EXPECT_EQ(FileNames(game.path()).size(), c.iniName.empty() ? 0u : 1u);  // never a second client file
    return out;
}

TEST(AutoLog, LoggingAlreadyOnNeedsNoPrompt) {
    const std::string on = "[Defaults]\r\nLog=true\r\n";
    AutoLogOutcome out = RunAutoLog({.ini = on, .autoLog = 0});
    EXPECT_EQ(out.shown, 0);
    EXPECT_TRUE(out.status.empty());
    EXPECT_EQ(out.storedAutoLog, "<none>");
    EXPECT_EQ(out.ini, on);
}

TEST(AutoLog, AStoredYesTurnsLoggingOnAtEveryStart) {
    AutoLogOutcome off = RunAutoLog({.ini = "[Defaults]\r\nLog=FALSE\r\nSound=1\r\n", .autoLog = 1});
    EXPECT_EQ(off.shown, 0);
    EXPECT_TRUE(off.status.empty());
    EXPECT_EQ(off.ini, "[Defaults]\r\nLog=TRUE\r\nSound=1\r\n");
    AutoLogOutcome on = RunAutoLog({.ini = "[Defaults]\r\nlog = true\r\n", .autoLog = 1});
    EXPECT_EQ(on.ini, "[Defaults]\r\nlog=TRUE\r\n");  // written again although it was on
}

TEST(AutoLog, AStoredNoOrOtherNumberWarnsWithoutAsking) {
    for (std::int64_t number : {-1, 5}) {
        AutoLogOutcome out = RunAutoLog({.ini = "[Defaults]\r\nLog=FALSE\r\n", .autoLog = number});
        EXPECT_EQ(out.shown, 0);
        EXPECT_EQ(out.autoLog, number);
        EXPECT_EQ(out.status, Lines{texts::kAutoLoggingOff});
        EXPECT_EQ(out.warnings, 1);
        EXPECT_EQ(out.storedAutoLog, "<none>");
        EXPECT_EQ(out.ini, "[Defaults]\r\nLog=FALSE\r\n");
    }
}

TEST(AutoLog, ThePromptsAnswerIsStoredOnlyWhenTheBoxIsTicked) {
    const std::string off = "[Defaults]\r\nLog=FALSE\r\n";
    AutoLogOutcome noUnticked = RunAutoLog({.ini = off, .yes = false, .tick = false});
    EXPECT_EQ(noUnticked.shown, 1);
    EXPECT_EQ(noUnticked.status, Lines{texts::kAutoLoggingOff});
    EXPECT_EQ(noUnticked.storedAutoLog, "<none>");  // asked again next time
    EXPECT_EQ(noUnticked.ini, off);

    AutoLogOutcome noTicked = RunAutoLog({.ini = off, .yes = false, .tick = true});
    EXPECT_EQ(noTicked.storedAutoLog, "-1");
    EXPECT_EQ(noTicked.ini, off);

    AutoLogOutcome yesUnticked = RunAutoLog({.ini = off, .yes = true, .tick = false});
    EXPECT_EQ(yesUnticked.autoLog, 1);
    EXPECT_TRUE(yesUnticked.status.empty());
    EXPECT_EQ(yesUnticked.storedAutoLog, "<none>");
    EXPECT_EQ(yesUnticked.ini, "[Defaults]\r\nLog=TRUE\r\n");

    AutoLogOutcome yesTicked = RunAutoLog({.ini = off, .yes = true, .tick = true});
    EXPECT_EQ(yesTicked.storedAutoLog, "1");
    EXPECT_EQ(yesTicked.ini, "[Defaults]\r\nLog=TRUE\r\n");
}

TEST(AutoLog, TheClientFileIsFoundWhateverItsCaseAndItsSectionCreated) {
    AutoLogOutcome out =
        RunAutoLog({.iniName = "EQClient.ini", .ini = "[Options]\r\nX=1\r\n", .yes = true, .tick = false});
    EXPECT_EQ(out.shown, 1);
    EXPECT_EQ(out.ini, "[Options]\r\nX=1\r\n\r\n[Defaults]\r\nLog=TRUE\r\n");
}

TEST(AutoLog, AMissingClientFileWarnsAndNeverPrompts) {
    AutoLogOutcome out = RunAutoLog({.iniName = "", .autoLog = 0, .yes = true, .tick = true});
    EXPECT_EQ(out.shown, 0);
    EXPECT_EQ(out.status, Lines{texts::kUnableToAccessEqclient});
    EXPECT_EQ(out.warnings, 1);
    EXPECT_EQ(out.storedAutoLog, "<none>");

    IsolatedHome env;
    Registry settings(RootKey::CurrentUser);
    FakePrompt prompt(true, true);
    Session session;
    AutoLogCheck(session, "", 1, prompt, settings);  // no game folder: the current folder is not looked at
    EXPECT_EQ(session.Status, Lines{texts::kUnableToAccessEqclient});
    EXPECT_FALSE(fs::exists("eqclient.ini"));
}

}  // namespace
}  // namespace krav::test
