// krav-cli: runs the processing run from a terminal, exactly as the window's Process button would, and lists
// a game folder's logs as the window's log list shows them.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/json_dump.h"
#include "cli/list_command.h"
#include "cli/options.h"
#include "cli/terminal_host.h"
#include "output/standard_run.h"
#include "platform/large_pages.h"
#include "platform/process.h"
#include "recognisers/character.h"

int main(int argc, char** argv) {
    using namespace krav;
    platform::StartLargeHeap();  // first: the tables of a long log are most of what the program allocates
    std::vector<std::string> args = platform::ProgramArguments(argc, argv);
    cli::ParsedCommand command = cli::ParseCommandLine(args, platform::ProgramFolder(argv[0]));
    switch (command.kind) {
        case cli::ParsedCommand::Kind::Help:
            std::fputs(cli::kUsage, stdout);
            return 0;
        case cli::ParsedCommand::Kind::UsageError:
            std::fprintf(stderr, "krav-cli: %s\n\n%s", command.error.c_str(), cli::kUsage);
            return 2;
        case cli::ParsedCommand::Kind::List:
            return cli::RunList(command.list, stdout, stderr);
        case cli::ParsedCommand::Kind::Process:
            break;
    }

    cli::ProcessCommand& process = command.process;
    if (std::string error; !process.entry.empty() && !cli::ResolveEntry(process, error)) {
        std::fprintf(stderr, "krav-cli: %s\n", error.c_str());
        return 1;
    }
    Session session;
    cli::TerminalHost host(session, stdout, platform::IsTerminal(stderr) ? stderr : nullptr);
    // Loaded once per start of the program, as the window does.
    LoadLanguages(session, process.inputs.ProgramFolder);
    platform::InstallInterruptHandler();
    RunProcessing(session, process.inputs, host);
    host.FlushStatus();
    if (process.sort != cli::SortOrder::None)
        session.Tables.SortTables(process.sort == cli::SortOrder::Value);

    int status = session.RunSucceeded() ? 0 : 1;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("krav-cli: unable to write the status list to standard output\n", stderr);
        status = 1;
    }
    if (!process.dumpJsonPath.empty() && !cli::WriteSessionJson(session, process.dumpJsonPath)) {
        std::fprintf(stderr, "krav-cli: unable to write %s\n", process.dumpJsonPath.c_str());
        status = 1;
    }
    // Every file of the run is closed and in place, and standard output is flushed. The tables of a long log
    // hold millions of texts, which the system takes back at once: they are not freed one by one first.
    std::exit(status);
}
