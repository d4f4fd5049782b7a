// The log list and server names: which file names become entries and in what order, the preselection, the
// empty list, the merge question, entries split back into file names, and the server name import.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/text.h"
#include "install/catalogue.h"
#include "install/install_texts.h"
#include "install/log_names.h"
#include "install/registry_keys.h"
#include "install/server_names.h"
#include "platform/registry.h"
#include "tests/isolated_home.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class FakeCatalogueHost : public CatalogueHost {
public:
    bool answer = false;
    bool startResult = true;
    bool useRealStart = false;
    int disabled = 0, asked = 0, closed = 0;
    std::string question, program, parameters, workingFolder;

    void DisableProcess() override { ++disabled; }
    bool AskRunMergeUtility(const std::string& q) override {
        ++asked;
        question = q;
        return answer;
    }
    bool StartMergeUtility(const std::string& p, const std::string& a, const std::string& w) override {
        program = p;
        parameters = a;
        workingFolder = w;
        return useRealStart ? CatalogueHost::StartMergeUtility(p, a, w) : startResult;
    }
    void CloseMainWindow() override { ++closed; }
};

// A game folder whose logs folder holds the named files.
struct Game {
    TempFolder folder;
    explicit Game(const Lines& logs) {
        fs::create_directories(folder.path() / "logs");
        for (const std::string& name : logs)
            WriteFile(folder.path() / "logs" / name, "[Mon Dec 07 04:13:59 2026] Welcome to EverQuest!\r\n");
    }
    ListRequest Request(const std::string& preselect = "", bool first = false) const {
        ListRequest r;
        r.logsFolder = folder.text() + "logs/";
        r.parseExtension = ".txt";
        r.folderDescription = "EverQuest";
        r.entryToPreselect = preselect;
        r.programFolder = folder.text();
        r.gameFolder = folder.text();
        r.firstActivation = first;
        return r;
    }
};

TEST(LogNames, FileNamesAreTakenSkippedOrRecognisedAsOldFormat) {
    struct Case {
        const char* name;
        LogFileKind kind;
        const char* entry;
    };
    const Case cases[] = {
        {"eqlog_Bob_tunare.txt", LogFileKind::Listed, "tunare_Bob"},
        {"EQLOG_Bob_tunare.TXT", LogFileKind::Listed, "tunare_Bob"},
        {"eqlog_Bob_tunare", LogFileKind::Listed, "tunare_Bob"},
        {"eqlog_Bob_tunare_prelogin.txt", LogFileKind::Skipped, ""},
        {"eqlog_Bob_tunare_old.txt", LogFileKind::Skipped, ""},
        {"eqlog_Bob.txt", LogFileKind::Skipped, ""},
        {"eqlog_Bob_.txt", LogFileKind::Skipped, ""},
        {"notes_Bob_tunare.txt", LogFileKind::Skipped, ""},
        {"eqlog_Bob_12.txt", LogFileKind::OldFormat, ""},
        {"eqlog_1234_tunare.txt", LogFileKind::OldFormat, ""},
        {"eqlog_-7_tunare.txt", LogFileKind::OldFormat, ""},
        {"eqlog_Bob:x_tunare.txt", LogFileKind::Skipped, ""},
        {"eqlog_Bob\n_tunare.txt", LogFileKind::Skipped, ""},
        {"eqlog_B\xF6rk_tunare.txt", LogFileKind::Listed, "tunare_B\xF6rk"},
    };
    for (const Case& c : cases) {
        std::string entry = "untouched";
        EXPECT_EQ(ClassifyLogFile(c.name, &entry), c.kind) << c.name;
        if (c.kind == LogFileKind::Listed) {
            EXPECT_EQ(entry, c.entry) << c.name;
        }
        EXPECT_EQ(EntryOfLogFile(c.name).has_value(), c.kind == LogFileKind::Listed) << c.name;
    }
}

TEST(LogNames, EntriesSplitAtTheirSeparator) {
    EXPECT_EQ(EntryServer("tunare: Bob"), "tunare");
    EXPECT_EQ(EntryCharacter("tunare: Bob"), "Bob");
    EXPECT_EQ(EntryServer("tunare_Bob"), "tunare");
    EXPECT_EQ(EntryCharacter("tunare_Bob"), "Bob");
    EXPECT_EQ(EntryCharacter("tunare"), "tunare");
    EXPECT_EQ(LogFileName("tunare: Bob", ".log"), "eqlog_Bob_tunare.log");
    EXPECT_EQ(LogFileName("tunare_Bob", ""), "eqlog_Bob_tunare.txt");
    EXPECT_EQ(BaseFileName("tunare_Bob"), "eqlog_Bob_tunare.txt");
}

TEST(ListLogs, EntriesAreSortedByServerThenCharacterIgnoringCase) {
    Game game({"eqlog_Bob_tunare.txt", "eqlog_Al_tunare.txt", "eqlog_Bob_bristle.txt", "eqlog_bea_Tunare.txt",
               "eqlog_Cy_tunarex.txt", "eqlog_Bob_tunare_prelogin.txt", "eqlog_Bob_tunare_old.txt",
               "eqlog_Dee_tunare.log", "readme.txt"});
    fs::create_directories(game.folder.path() / "logs" / "eqlog_Dir_tunare.txt");  // a folder is no log
    Session session;
    LogList cLogs;
    FakeCatalogueHost host;
    ListLogs(session, cLogs, game.Request("", true), host);
    EXPECT_EQ(cLogs.Items(), (Lines{"bristle_Bob", "tunare_Al", "Tunare_bea", "tunare_Bob", "tunarex_Cy"}));
    EXPECT_EQ(cLogs.FileNames()[2], "eqlog_bea_Tunare.txt");
    EXPECT_EQ(cLogs.ItemIndex, 0);
    EXPECT_EQ(cLogs.Hint, game.folder.text() + "logs/");
    EXPECT_TRUE(session.Status.empty());
    EXPECT_EQ(host.asked + host.disabled, 0);  // "_old" is no old-format log
}

TEST(ListLogs, TheExtensionChoosesTheLogsAndTheirFileNames) {
    Game game({"eqlog_Bob_tunare.txt", "eqlog_Al_tunare.LOG", "eqlog_Cy_tunare.log.txt"});
    Session session;
    LogList cLogs;
    FakeCatalogueHost host;
    ListRequest request = game.Request();
    request.parseExtension = ".log";
    ListLogs(session, cLogs, request, host);
    EXPECT_EQ(cLogs.Items(), Lines{"tunare_Al"});
    EXPECT_EQ(cLogs.SelectedFileName(), "eqlog_Al_tunare.LOG");
    EXPECT_EQ(LogFileName(cLogs.Text(), ".log"), "eqlog_Al_tunare.log");
    EXPECT_EQ(BaseFileName(cLogs.Text()), "eqlog_Al_tunare.txt");

    request.parseExtension = "";  // before the settings are read: ".txt"
    ListLogs(session, cLogs, request, host);
    EXPECT_EQ(cLogs.Items(), (Lines{"tunare_Bob", "tunare_Cy"}));
}

TEST(ListLogs, TheStoredEntryIsPreselectedIgnoringCase) {
    Game game({"eqlog_Bob_tunare.txt", "eqlog_Al_tunare.txt"});
    Session session;
    LogList cLogs;
    FakeCatalogueHost host;
    ListLogs(session, cLogs, game.Request("TUNARE_bob"), host);
    EXPECT_EQ(cLogs.Text(), "tunare_Bob");
    ListLogs(session, cLogs, game.Request("tunare_Gone"), host);
    EXPECT_EQ(cLogs.Text(), "tunare_Al");

#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps no two names differing only in case";
#endif
    // Where the file system keeps two logs differing only in case, the stored spelling picks its own.
    Game twins({"eqlog_Bob_tunare.txt", "eqlog_bob_tunare.txt"});
    ListLogs(session, cLogs, twins.Request("tunare_bob"), host);
    EXPECT_EQ(cLogs.Text(), "tunare_bob");
    EXPECT_EQ(cLogs.SelectedFileName(), "eqlog_bob_tunare.txt");
}

TEST(ListLogs, AnEmptyListIsAnErrorThatDisablesProcess) {
    Game game({"eqlog_Bob_tunare_prelogin.txt"});
    Session session;
    LogList cLogs;
    FakeCatalogueHost host;
    ListRequest request = game.Request();
    request.folderDescription = "EverQuest Test";
    ListLogs(session, cLogs, request, host);
    EXPECT_TRUE(cLogs.Empty());
    EXPECT_EQ(cLogs.ItemIndex, -1);
    EXPECT_EQ(cLogs.Text(), "");
    EXPECT_EQ(session.Status, Lines{"ERROR: No log files in EverQuest Test directory!"});
    EXPECT_EQ(session.ErrorCount, 1);
    EXPECT_FALSE(session.StopRequested);
    EXPECT_EQ(host.disabled, 1);

    request.logsFolder = game.folder.text() + "missing/";
    request.folderDescription = "specified";
    ListLogs(session, cLogs, request, host);
    EXPECT_EQ(session.Status.back(), "ERROR: No log files in specified directory!");
    EXPECT_EQ(host.disabled, 2);
}

TEST(ListLogs, OldFormatLogsLeadToTheMergeQuestionOnlyAtStartUp) {
    Game game({"eqlog_Bob_12.txt", "eqlog_1234_tunare.txt"});
    FakeCatalogueHost host;
    LogList cLogs;
    Session later;
    ListLogs(later, cLogs, game.Request(), host);
    EXPECT_EQ(host.asked, 0);
    EXPECT_EQ(later.Status, Lines{"ERROR: No log files in EverQuest directory!"});

    Session declined;
    ListLogs(declined, cLogs, game.Request("", true), host);
    EXPECT_EQ(host.asked, 1);
    EXPECT_EQ(
        host.question,
        "EverQuest folder contains both old format and new format logs.\nDo you want to run Merge Utility?");
    EXPECT_EQ(declined.Status,
              (Lines{"ERROR: No log files in EverQuest directory!", texts::kOlderLoggedData}));
    EXPECT_EQ(declined.WarningCount, 1);
    EXPECT_EQ(host.closed, 0);
    EXPECT_EQ(host.program, "");  // nothing started

    host.answer = true;
    Session started;
    ListRequest request = game.Request("", true);
    request.mergeArguments = MergeArguments({FolderRequest::Given, "/games/eq two"});
    ListLogs(started, cLogs, request, host);
    EXPECT_EQ(host.program, game.folder.text() + "Ordwin.exe");
    EXPECT_EQ(host.parameters, "-p /games/eq two");
    EXPECT_EQ(host.workingFolder, game.folder.text());
    EXPECT_TRUE(started.CloseRequested);
    EXPECT_EQ(host.closed, 1);

    host.startResult = false;
    Session failed;
    ListLogs(failed, cLogs, request, host);
    EXPECT_EQ(failed.Status.back(),
              "ERROR: Unable to run Log file Merge Utility (" + game.folder.text() + "Ordwin.exe).");
    EXPECT_EQ(failed.ErrorCount, 2);
    EXPECT_FALSE(failed.CloseRequested);
    EXPECT_EQ(host.closed, 1);
}

TEST(ListLogs, TheMergeUtilityIsReallyStartedWhenItCanRun) {
    Game game({"eqlog_Bob_tunare.txt", "eqlog_Bob_12.txt"});
    FakeCatalogueHost host;
    host.answer = true;
    host.useRealStart = true;
    LogList cLogs;
    ListRequest request = game.Request("", true);
    request.mergeArguments = MergeArguments({FolderRequest::Test, ""});

    Session missing;
    ListLogs(missing, cLogs, request, host);
    EXPECT_EQ(missing.Status.back(),
              "ERROR: Unable to run Log file Merge Utility (" + game.folder.text() + "Ordwin.exe).");
    EXPECT_EQ(cLogs.Items(), Lines{"tunare_Bob"});

    const fs::path utility = game.folder.path() / "Ordwin.exe";
    const fs::path record = game.folder.path() / "out";
#ifndef _WIN32
    // Windows has no execute permission: a file of that name is always a program to it.
    WriteFile(utility, "#!/bin/sh\ntouch out\n");
    Session notExecutable;
    ListLogs(notExecutable, cLogs, request, host);
    EXPECT_EQ(notExecutable.ErrorCount, 1);
    fs::remove(utility);
#endif

    fs::copy_file(RecorderPath(), utility);
    Session started;
    ListLogs(started, cLogs, request, host);
    EXPECT_TRUE(started.Status.empty());
    EXPECT_TRUE(started.CloseRequested);
    EXPECT_EQ(WaitForRecord(record), "[-t]\n" + game.folder.path().string() + "\n");
}

TEST(FolderCommand, DescriptionAndMergeArgumentsFollowTheRequest) {
    EXPECT_EQ(FolderDescription({FolderRequest::Normal, ""}), "EverQuest");
    EXPECT_EQ(FolderDescription({FolderRequest::Test, ""}), "EverQuest Test");
    EXPECT_EQ(FolderDescription({FolderRequest::Given, "/x"}), "specified");
    EXPECT_EQ(MergeArguments({FolderRequest::Normal, ""}), "");
    EXPECT_EQ(MergeArguments({FolderRequest::Test, ""}), "-t");
    EXPECT_EQ(MergeArguments({FolderRequest::Given, "/x"}), "-p /x");
}

void WriteVantrix(const TempFolder& program, const std::string& version, const std::string& names) {
    WriteFile(program.path() / "Vantrix.ini",
              "[ServerData]\r\nVersion=" + version + "\r\n\r\n[ServerNames]\r\n" + names);
}

std::string StoredName(const std::string& name) {
    platform::Registry key(platform::RootKey::LocalMachine);
    return key.OpenKey(keys::kServerNames, false) ? key.ReadString(name) : "<no key>";
}

TEST(ServerNames, DisplayNamesComeFromTheRegistryOrTheShortName) {
    IsolatedHome env;
    EXPECT_EQ(ServerDisplayName("tunare_Bob"), "Server tunare");
    EXPECT_EQ(ProcessHint("tunare_Bob"), "Process Log File for Bob on Server tunare");
    TempFolder program;
    WriteVantrix(program, "3", "tunare=Tunare\r\nbristle=Bristlebane\r\n");
    ImportServerNames(program.text());
    EXPECT_EQ(ServerDisplayName("bristle: Al"), "Bristlebane");
    EXPECT_EQ(ProcessHint("tunare_Bob"), "Process Log File for Bob on Tunare");
    EXPECT_EQ(ServerDisplayName("TUNARE_Bob"), "Tunare");
    // An empty list's entry has no server: the key's default value (the version) is no server's name.
    EXPECT_EQ(ServerDisplayName(""), "Server ");
}

TEST(ServerNames, ImportRunsOnlyForANewerVersionAndNeverDeletes) {
    IsolatedHome env;
    TempFolder program;
    WriteVantrix(program, "2", "tunare=Tunare\r\nxegony=Xegony\r\n=Nameless\r\nempty=\r\n");
    ImportServerNames(program.text());
    EXPECT_EQ(StoredName(""), "2");
    EXPECT_EQ(StoredName("xegony"), "Xegony");
    platform::Registry check(platform::RootKey::LocalMachine);
    ASSERT_TRUE(check.OpenKey(keys::kServerNames, false));
    EXPECT_FALSE(check.ValueExists("empty"));

    // The same version again: nothing changes, even where the file now says otherwise.
    WriteVantrix(program, "2", "tunare=Tunare Renamed\r\n");
    ImportServerNames(program.text());
    EXPECT_EQ(StoredName("tunare"), "Tunare");

    // A newer one: names updated and added, servers gone from the file kept.
    WriteVantrix(program, "3", "tunare=Tunare Renamed\r\nvox=Vox\r\n");
    ImportServerNames(program.text());
    EXPECT_EQ(StoredName(""), "3");
    EXPECT_EQ(StoredName("tunare"), "Tunare Renamed");
    EXPECT_EQ(StoredName("vox"), "Vox");
    EXPECT_EQ(StoredName("xegony"), "Xegony");

    // An older or non-numeric version, or no file at all, imports nothing.
    WriteVantrix(program, "abc", "vox=Changed\r\n");
    ImportServerNames(program.text());
    WriteVantrix(program, "1", "vox=Changed\r\n");
    ImportServerNames(program.text());
    fs::remove(program.path() / "Vantrix.ini");
    ImportServerNames(program.text());
    EXPECT_EQ(StoredName("vox"), "Vox");
    EXPECT_EQ(StoredName(""), "3");
}

TEST(ServerNames, AStoredVersionThatIsNoNumberCountsAsZero) {
    IsolatedHome env;
    {
        platform::Registry key(platform::RootKey::LocalMachine);
        ASSERT_TRUE(key.OpenKey(keys::kServerNames, true));
        ASSERT_TRUE(key.WriteString("", "new"));
    }
    TempFolder program;
    WriteVantrix(program, "1", "tunare=Tunare\r\n");
    ImportServerNames(program.text());
    EXPECT_EQ(StoredName(""), "1");
    EXPECT_EQ(StoredName("tunare"), "Tunare");
}

TEST(ServerNames, AnUnusableStoreIsSkippedSilently) {
    IsolatedHome env;
#ifdef _WIN32
    RestrictKey(true, "Software\\Halcyra\\Vantrix", 0);  // no rights to it at all
#else
    fs::create_directories(env.registry() / "HKEY_LOCAL_MACHINE.reg");  // cannot be read or replaced
#endif
    TempFolder program;
    WriteVantrix(program, "5", "tunare=Tunare\r\n");
    ImportServerNames(program.text());
    EXPECT_EQ(ServerDisplayName("tunare_Bob"), "Server tunare");
#ifndef _WIN32
    EXPECT_TRUE(fs::is_directory(env.registry() / "HKEY_LOCAL_MACHINE.reg"));
#endif
}

TEST(ServerNames, TheShippedTableImportsCleanly) {
    IsolatedHome env;
    const fs::path shipped = fs::path(KRAV_SOURCE_DIR) / "data" / "Vantrix.ini";
    ASSERT_TRUE(fs::exists(shipped));
    TempFolder program;
    fs::copy_file(shipped, program.path() / "Vantrix.ini");
    ImportServerNames(program.text());
    EXPECT_GT(ReadInteger(StoredName(""), 0), 0);
    EXPECT_EQ(ServerDisplayName("tunare_Bob"), "Tunare");
    EXPECT_EQ(ServerDisplayName("bristle_Bob"), "Bristlebane");
}

}  // namespace
}  // namespace krav::test
