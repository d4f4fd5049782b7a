// krav-cli: its command line and the contract of `krav-cli process` (output, exit status, files).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/json_dump.h"
#include "cli/options.h"
#include "cli/terminal_host.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

using cli::ParseCommandLine;
using Kind = cli::ParsedCommand::Kind;

struct Result {
    int status;
    std::string out;
};

// Runs krav-cli with the arguments (each quoted for the shell), standard error discarded.
Result RunCli(const std::vector<std::string>& args) {
    std::string command = KRAV_CLI_PATH;
    for (const std::string& arg : args)
        command += " '" + arg + "'";
    command += " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST(CliOptions, LogFileNameGivesEntryFoldersAndBaseName) {
    auto parsed = ParseCommandLine({"process", "/games/EQ/logs/eqlog_Bob_tunare.log"}, "/opt/krav/");
    ASSERT_EQ(parsed.kind, Kind::Process);
    const RunInputs& in = parsed.process.inputs;
    EXPECT_EQ(in.EntryCharacter, "Bob");
    EXPECT_EQ(in.EntryServer, "tunare");
    EXPECT_EQ(in.LogFileName, "eqlog_Bob_tunare.log");
    EXPECT_EQ(in.BaseFileName, "eqlog_Bob_tunare.txt");
    EXPECT_EQ(in.ParseExtension, ".log");
    EXPECT_EQ(in.LogsFolder, "/games/EQ/logs/");
    EXPECT_EQ(in.GameFolder, "/games/EQ/");
    EXPECT_EQ(in.ProgramFolder, "/opt/krav/");
    EXPECT_EQ(in.Mode, ShrinkMode::ReadOnly);
    EXPECT_TRUE(in.Backup && in.Chat && in.Report);
    EXPECT_TRUE(in.Channels.Tell && in.Channels.Guild && !in.Channels.Shout && !in.Channels.OOC);
}

TEST(CliOptions, OptionsSetExactlyWhatTheyName) {
    auto parsed = ParseCommandLine(
        {"process", "--mode=smallest", "--no-backup", "--no-chat", "--no-report", "--channels", "ooc,AUCTION",
         "--sections", "", "--game-folder", "/g", "--program-folder=/p", "--sort", "value", "--dump-json",
         "/tmp/x.json", "/l/eqlog_Bob_tunare.txt"},
        "/opt/krav/");
    ASSERT_EQ(parsed.kind, Kind::Process) << parsed.error;
    const RunInputs& in = parsed.process.inputs;
    EXPECT_EQ(in.Mode, ShrinkMode::Smallest);
    EXPECT_FALSE(in.Backup || in.Chat || in.Report);
    EXPECT_FALSE(in.Channels.Tell || in.Channels.Say || in.Channels.Group || in.Channels.Guild ||
                 in.Channels.Shout);
    EXPECT_TRUE(in.Channels.OOC && in.Channels.Auction);
    EXPECT_FALSE(in.Sections.Skills || in.Sections.Loot || in.Sections.Guild);
    EXPECT_EQ(in.GameFolder, "/g/");
    EXPECT_EQ(in.ProgramFolder, "/p/");
    EXPECT_EQ(parsed.process.sort, cli::SortOrder::Value);
    EXPECT_EQ(parsed.process.dumpJsonPath, "/tmp/x.json");
}

TEST(CliOptions, UsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"list"},
        {"process"},
        {"process", "--mode", "fast", "/l/eqlog_Bob_tunare.txt"},
        {"process", "--channels", "tell,yell", "/l/eqlog_Bob_tunare.txt"},
        {"process", "--sort", "size", "/l/eqlog_Bob_tunare.txt"},
        {"process", "--frobnicate", "/l/eqlog_Bob_tunare.txt"},
        {"process", "/l/eqlog_Bob_tunare.txt", "/l/eqlog_Ann_tunare.txt"},
        {"process", "/l/notes.txt"},
        {"process", "/l/eqlog_Bob.txt"},
        {"process", "/l/eqlog_Bob_tunare.html"},
        {"process", "/l/eqlog_Bob_tunare_prelogin.txt"},
        {"process", "/l/eqlog_Bob_tunare.txt", "--dump-json"},
    };
    for (const auto& args : bad) {
        auto parsed = ParseCommandLine(args, "/p/");
        EXPECT_EQ(parsed.kind, Kind::UsageError) << (args.empty() ? "" : args.back());
        EXPECT_FALSE(parsed.error.empty());
    }
    EXPECT_EQ(ParseCommandLine({"process", "--help"}, "/p/").kind, Kind::Help);
}

TEST(CliJson, StringsAreEscapedAndConvertedToUtf8) {
    EXPECT_EQ(cli::JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(cli::JsonString("\x01\n\t"), "\"\\u0001\\n\\t\"");
    EXPECT_EQ(cli::JsonString("caf\xe9 \x80"), "\"caf\xc3\xa9 \xe2\x82\xac\"");
}

TEST(CliJson, ControlCharactersNeverReachATerminal) {
    EXPECT_EQ(cli::ForTerminal("a\x1b[2Jb\x07\x7f \xc2\x9b" "1m caf\xc3\xa9 \xc2\xa0"),
              "a?[2Jb?? ?1m caf\xc3\xa9 \xc2\xa0");
}

TEST(CliProcess, PrintsTheStatusListAndExitsByOutcome) {
    TempFolder game;
    const auto log = game.path() / "logs" / "eqlog_Bob_tunare.txt";
    WriteFile(log, "[Mon Dec 07 04:13:59 2026] You have slain a gnoll!\r\n");
    Result ok = RunCli({"process", log.string()});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out.substr(0, ok.out.find('\n')), "Reading: \"" + log.string() + "\"...");
    EXPECT_NE(ok.out.find("\n1 lines read\n4 warnings reported\n"), std::string::npos) << ok.out;

    Result json = RunCli(
        {"process", "--mode", "compatible", "--dump-json", (game.path() / "d.json").string(), log.string()});
    EXPECT_EQ(json.status, 0);
    const std::string dump = ReadFile(game.path() / "d.json");
    EXPECT_NE(dump.find("\"linesRead\": 1, \"linesWritten\": 11, \"chatLinesAppended\": 0"),
              std::string::npos)
        << dump;
    EXPECT_NE(dump.find("\"eName\": \"Bob\""), std::string::npos);
    EXPECT_NE(dump.find("\"gMobs\": {\"columns\": [\"Name\", \"Killed by\", \"Killed\", \"Zones\"], "
                        "\"rows\": [[\"a gnoll\", \"0\", \"1\", \"\"]]}"),
              std::string::npos)
        << dump;

    Result missing = RunCli({"process", (game.path() / "logs" / "eqlog_Ann_tunare.txt").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("ERROR: Unable to read log file!\n"), std::string::npos);
    EXPECT_NE(missing.out.find("\n0 lines read\n1 warnings reported\n1 errors reported\n"), std::string::npos)
        << missing.out;

    // Output that cannot be written is a failure, whatever the run did.
    const std::string unmatched = (game.path() / "logs").string();  // a folder
    Result noUnmatched = RunCli({"process", "--unmatched", unmatched, log.string()});
    EXPECT_EQ(noUnmatched.status, 1);
    EXPECT_NE(noUnmatched.out.find("ERROR: Unable to write to unmatched lines file!\n"), std::string::npos);
    EXPECT_EQ(RunCli({"process", "--dump-json", unmatched, log.string()}).status, 1);
    if (std::filesystem::exists("/dev/full")) {
        const std::string full = std::string(KRAV_CLI_PATH) + " process '" + log.string() + "' >/dev/full 2>&1";
        EXPECT_EQ(WEXITSTATUS(std::system(full.c_str())), 1);
        const std::string list = std::string(KRAV_CLI_PATH) + " list '" + game.path().string() + "' >/dev/full 2>&1";
        EXPECT_EQ(WEXITSTATUS(std::system(list.c_str())), 1);
    }

    EXPECT_EQ(RunCli({"process", "--mode", "fast", log.string()}).status, 2);
    EXPECT_EQ(RunCli({"--help"}).status, 0);
}

}  // namespace
}  // namespace krav::test
