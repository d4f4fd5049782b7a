// The log list from the terminal.
#include "cli/list_command.h"

#include "cli/terminal_host.h"
#include "engine/encoding.h"
#include "engine/session.h"
#include "install/catalogue.h"
#include "install/game_folder.h"
#include "install/log_names.h"
#include "platform/process.h"

namespace krav::cli {

namespace {

// No window: nothing to disable or close, and nobody to say Yes to the merge utility.
class TerminalCatalogueHost : public CatalogueHost {
public:
    void DisableProcess() override {}
    bool AskRunMergeUtility(const std::string&) override { return false; }
    void CloseMainWindow() override {}
};

ListRequest RequestFor(const std::string& gameFolder, const std::string& extension,
                       const std::string& entry) {
    const FolderCommand normal;
    ListRequest request;
    request.logsFolder = LogsFolderOf(gameFolder);
    request.parseExtension = extension;
    request.folderDescription = FolderDescription(normal);
    request.entryToPreselect = entry;
    request.mergeArguments = MergeArguments(normal);
    request.gameFolder = gameFolder;
    return request;
}

}  // namespace

int RunList(const ListCommand& command, std::FILE* out, std::FILE* err) {
    Session session;
    LogList cLogs;
    TerminalCatalogueHost host;
    ListRequest request = RequestFor(command.gameFolder, command.parseExtension, "");
    request.programFolder = command.programFolder;
    request.firstActivation = true;
    ListLogs(session, cLogs, request, host);
    const bool terminal = platform::IsTerminal(out);
    for (const std::string& entry : cLogs.Items()) {
        std::fputs((terminal ? ForTerminal(entry) : entry).c_str(), out);
        std::fputc('\n', out);
    }
    const bool written = std::fflush(out) == 0 && !std::ferror(out);
    const bool errTerminal = platform::IsTerminal(err);
    for (const std::string& line : session.Status) {
        const std::string text = Cp1252ToUtf8(line);
        std::fputs((errTerminal ? ForTerminal(text) : text).c_str(), err);
        std::fputc('\n', err);
    }
    if (!written) std::fputs("krav-cli: unable to write the log list to standard output\n", err);
    std::fflush(err);
    return session.ErrorCount > 0 || !written ? 1 : 0;
}

bool ResolveEntry(ProcessCommand& command, std::string& error) {
    RunInputs& in = command.inputs;
    std::string wanted(EntryServer(command.entry));
    wanted.append("_").append(EntryCharacter(command.entry));
    Session session;
    LogList cLogs;
    TerminalCatalogueHost host;
    const ListRequest request = RequestFor(in.GameFolder, in.ParseExtension, wanted);
    ListLogs(session, cLogs, request, host);
    const int index = cLogs.Find(wanted);
    if (index < 0) {
        error = "no log for " + command.entry + " in " + request.logsFolder +
                " (krav-cli list shows the entries)";
        return false;
    }
    const std::string& entry = cLogs.Items()[index];
    in.LogsFolder = request.logsFolder;
    in.EntryServer = EntryServer(entry);
    in.EntryCharacter = EntryCharacter(entry);
    in.LogFileName = cLogs.FileNames()[index];  // as spelled on disk
    in.BaseFileName = BaseFileName(entry);
    return true;
}

}  // namespace krav::cli
