// krav-cli list and krav-cli process with an entry: parsing, and the programs' output and exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/list_command.h"
#include "cli/options.h"
#include "tests/isolated_home.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;
using cli::ParseCommandLine;
using Kind = cli::ParsedCommand::Kind;

struct Output {
    int status;
    std::string out, err;
};

// Runs krav-cli with the arguments, standard error caught in a file.
Output RunCli(const std::vector<std::string>& args, const TempFolder& scratch) {
    const fs::path errFile = scratch.path() / "stderr.txt";
    ProgramResult run = RunProgram(CliPath(), args, errFile);
    std::string err = ReadFile(errFile);
    std::erase(err, '\r');  // Windows writes its line ends to a file
    return {run.status, run.out, err};
}

void AddLog(const TempFolder& game, const std::string& logsFolder, const std::string& name,
            const std::string& content = "[Mon Dec 07 04:13:59 2026] You have slain a gnoll!\r\n") {
    WriteFile(game.path() / logsFolder / name, content);
}

TEST(CliListOptions, ListTakesAFolderAndAnExtension) {
    auto parsed = ParseCommandLine({"list", "--ext", ".LOG", Native("/games/eq")}, Native("/opt/krav/"));
    ASSERT_EQ(parsed.kind, Kind::List) << parsed.error;
    EXPECT_EQ(parsed.list.gameFolder, Native("/games/eq/"));
    EXPECT_EQ(parsed.list.parseExtension, ".log");
    EXPECT_EQ(parsed.list.programFolder, Native("/opt/krav/"));
    EXPECT_EQ(ParseCommandLine({"list", "/games/eq/", "--ext=.txt"}, "/p/").list.parseExtension, ".txt");
    EXPECT_EQ(ParseCommandLine({"list", "/games/eq"}, "/p/").list.parseExtension, ".txt");

    for (const auto& bad : std::vector<std::vector<std::string>>{{"list"},
                                                                 {"list", "--ext", ".html", "/g"},
                                                                 {"list", "--ext"},
                                                                 {"list", "/g", "/h"},
                                                                 {"list", "--mode", "smallest", "/g"}}) {
        auto result = ParseCommandLine(bad, "/p/");
        EXPECT_EQ(result.kind, Kind::UsageError) << bad.back();
        EXPECT_FALSE(result.error.empty());
    }
}

TEST(CliListOptions, ProcessTakesAnEntryOnlyWithAGameFolder) {
    auto parsed =
        ParseCommandLine({"process", "--game-folder", Native("/games/eq"), "--ext", ".log", "tunare: Bob"}, Native("/p/"));
    ASSERT_EQ(parsed.kind, Kind::Process) << parsed.error;
    EXPECT_EQ(parsed.process.entry, "tunare: Bob");
    EXPECT_EQ(parsed.process.inputs.GameFolder, Native("/games/eq/"));
    EXPECT_EQ(parsed.process.inputs.ParseExtension, ".log");

    // A log's own file name stays a path, with or without the game folder.
    auto path = ParseCommandLine({"process", "--game-folder", "/games/eq", "eqlog_Bob_tunare.txt"}, "/p/");
    ASSERT_EQ(path.kind, Kind::Process);
    EXPECT_EQ(path.process.entry, "");
    EXPECT_EQ(path.process.inputs.LogFileName, "eqlog_Bob_tunare.txt");

    EXPECT_EQ(ParseCommandLine({"process", "tunare_Bob"}, "/p/").kind, Kind::UsageError);
    EXPECT_EQ(ParseCommandLine({"process", "--game-folder", "/g", "/l/tunare_Bob"}, "/p/").kind,
              Kind::UsageError);
    EXPECT_EQ(ParseCommandLine({"process", "--ext", ".log", "/l/eqlog_Bob_tunare.txt"}, "/p/").kind,
              Kind::UsageError);
}

TEST(CliListOptions, AnEntryResolvesToTheListedFileWhateverItsCase) {
    TempFolder game;
    AddLog(game, "Logs", "EQLOG_Bob_tunare.txt");
    AddLog(game, "Logs", "eqlog_Al_tunare.log");
    auto parsed = ParseCommandLine({"process", "--game-folder", game.text(), "TUNARE: bob"}, "/p/");
    ASSERT_EQ(parsed.kind, Kind::Process);
    std::string error;
    ASSERT_TRUE(cli::ResolveEntry(parsed.process, error)) << error;
    const RunInputs& in = parsed.process.inputs;
    EXPECT_EQ(in.LogsFolder, game.text() + "Logs" + static_cast<char>(fs::path::preferred_separator));
    EXPECT_EQ(in.LogFileName, "EQLOG_Bob_tunare.txt");
    EXPECT_EQ(in.BaseFileName, "eqlog_Bob_tunare.txt");
    EXPECT_EQ(in.EntryServer, "tunare");
    EXPECT_EQ(in.EntryCharacter, "Bob");
    EXPECT_TRUE(fs::exists(in.LogPath()));

    // With the other extension only the .log logs are looked at.
    auto other =
        ParseCommandLine({"process", "--game-folder", game.text(), "--ext", ".log", "tunare_Bob"}, "/p/");
    EXPECT_FALSE(cli::ResolveEntry(other.process, error));
    EXPECT_NE(error.find("tunare_Bob"), std::string::npos) << error;
}

TEST(CliList, PrintsTheEntriesInOrderAndTheStatusOnStandardError) {
    IsolatedHome env;  // krav-cli inherits it
    TempFolder game, scratch;
    for (const char* name : {"eqlog_Bob_tunare.txt", "eqlog_Al_tunare.txt", "eqlog_Bob_bristle.txt",
                             "eqlog_Bob_tunare_prelogin.txt", "eqlog_Cy_tunare.log"})
        AddLog(game, "logs", name);
    Output listed = RunCli({"list", game.path().string()}, scratch);
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "bristle_Bob\ntunare_Al\ntunare_Bob\n");
    EXPECT_EQ(listed.err, "");

    Output logs = RunCli({"list", "--ext", ".log", game.path().string()}, scratch);
    EXPECT_EQ(logs.status, 0);
    EXPECT_EQ(logs.out, "tunare_Cy\n");

    AddLog(game, "logs", "eqlog_Bob_77.txt");
    Output old = RunCli({"list", game.path().string()}, scratch);
    EXPECT_EQ(old.status, 0);
    EXPECT_EQ(
        old.err,
        "WARNING: Log file may contain some older logged data! Run Log file Merge Utility to merge logs.\n");
}

TEST(CliList, NoLogsIsAnErrorWithExitStatusOne) {
    IsolatedHome env;  // krav-cli inherits it
    TempFolder game, scratch;
    Output none = RunCli({"list", game.path().string()}, scratch);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "ERROR: No log files in EverQuest directory!\n");
    EXPECT_EQ(RunCli({"list"}, scratch).status, 2);
}

TEST(CliList, ProcessRunsTheLogAnEntryNames) {
    IsolatedHome env;  // krav-cli inherits it
    TempFolder game, scratch;
    AddLog(game, "logs", "eqlog_Soandso_tunare.txt");
    Output run = RunCli({"process", "--game-folder", game.path().string(), "tunare_soandso"}, scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "Reading: \"" + (game.path() / "logs" / "eqlog_Soandso_tunare.txt").string() + "\"...");
    EXPECT_NE(run.out.find("\n1 lines read\n"), std::string::npos) << run.out;

    Output missing = RunCli({"process", "--game-folder", game.path().string(), "tunare_Nobody"}, scratch);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("tunare_Nobody"), std::string::npos);
}

}  // namespace
}  // namespace krav::test
