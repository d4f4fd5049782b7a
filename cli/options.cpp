// Parsing of krav-cli's command line into the inputs of a run.
#include "cli/options.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "engine/text.h"
#include "install/log_names.h"
#include "platform/native_path.h"

namespace krav::cli {

const char* const kUsage =
    "Usage: krav-cli process [OPTIONS] LOGFILE\n"
    "       krav-cli process [OPTIONS] --game-folder DIR ENTRY\n"
    "       krav-cli list [--ext .txt|.log] GAMEFOLDER\n"
    "\n"
    "process reads one EverQuest log (eqlog_CHARACTER_SERVER.txt or .log) and prints the status list. The "
    "log\n"
    "is named by its path, or by its ENTRY (SERVER_CHARACTER, as list prints it) in the game folder DIR.\n"
    "list prints the logs of a game folder's logs folder, one entry a line, and its messages on standard "
    "error.\n"
    "\n"
    "Options of process:\n"
    "  --mode read-only|compatible|smallest  how the log is treated (default read-only)\n"
    "  --no-backup                           keep no backup of the raw log when shrinking\n"
    "  --no-chat                             keep no chat file when shrinking\n"
    "  --channels LIST                       chat channels kept: tell,say,group,guild,shout,ooc,auction\n"
    "                                        (default tell,say,group,guild; empty for none)\n"
    "  --no-report                           write no HTML report\n"
    "  --sections LIST                       report sections: skills,zones,factions,mobs,vendors,items,\n"
    "                                        combat,spells,misc,guild (default all; empty for none)\n"
    "  --game-folder DIR                     the game's folder (default the folder above the log's); with\n"
    "                                        ENTRY, the folder whose log list names the log\n"
    "  --ext .txt|.log                       with ENTRY, or for list: the logs' extension (default .txt)\n"
    "  --program-folder DIR                  where KRAV.ini is looked for (default krav-cli's folder)\n"
    "  --sort text|value                     sort every table after the run\n"
    "  --dump-json FILE                      write the info fields, tables and counts to FILE\n"
    "  --unmatched FILE                      write the lines no message form claimed to FILE\n"
    "  --help                                show this text\n"
    "\n"
    "Exit status: 0 run complete without errors, 1 errors reported or stopped (list: errors reported, such "
    "as\n"
    "no logs at all), 2 usage error.\n"
    "Ctrl-C stops the run as the Stop button does.\n";

namespace {

namespace fs = std::filesystem;

std::vector<std::string_view> SplitList(std::string_view list) {
    std::vector<std::string_view> items;
    while (!list.empty()) {
        std::size_t comma = list.find(',');
        std::string_view item = list.substr(0, comma);
        if (!item.empty()) items.push_back(item);
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return items;
}

struct NamedFlag {
    std::string_view name;
    bool* flag;
};

// Sets exactly the named flags; false with `error` set for a name that is not one of them.
bool SetFlags(std::string_view list, std::initializer_list<NamedFlag> flags, std::string_view option,
              std::string& error) {
    for (const NamedFlag& f : flags)
        *f.flag = false;
    for (std::string_view item : SplitList(list)) {
        bool known = false;
        for (const NamedFlag& f : flags) {
            if (EqualsNoCase(item, f.name)) *f.flag = known = true;
        }
        if (!known) {
            error = "unknown name '" + std::string(item) + "' in " + std::string(option);
            return false;
        }
    }
    return true;
}

std::string FolderText(const fs::path& folder) {
    return AddTrailingBackslash(platform::PathText(folder.lexically_normal()));
}

// ".txt" or ".log" in any case, as the two parse types are; nothing for anything else.
std::optional<std::string> ParseExtensionOf(std::string_view text) {
    if (EqualsNoCase(text, ".txt")) return ".txt";
    if (EqualsNoCase(text, ".log")) return ".log";
    return std::nullopt;
}

// An entry of the log list rather than a path: no folder in it, a separator, and not a log's own file name.
bool LooksLikeEntry(const std::string& text) {
    std::error_code ec;
    if (text.empty() || text.find('/') != std::string::npos || fs::is_regular_file(platform::NativePath(text), ec))
        return false;
    if (EntryOfLogFile(text)) return false;
    return text.find('_') != std::string::npos || text.find(':') != std::string::npos;
}

ParsedCommand ParseList(const std::vector<std::string>& args, const std::string& programFolder) {
    ParsedCommand result;
    auto fail = [&result](std::string message) {
        result.kind = ParsedCommand::Kind::UsageError;
        result.error = std::move(message);
        return result;
    };
    std::optional<std::string> folder;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--ext" || arg.starts_with("--ext=")) {
            std::optional<std::string> value;
            if (arg.size() > 5) {
                value = arg.substr(6);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            }
            if (!value) return fail("--ext needs a value");
            std::optional<std::string> extension = ParseExtensionOf(*value);
            if (!extension) return fail("--ext takes .txt or .log");
            result.list.parseExtension = *extension;
        } else if (arg.starts_with("-") && arg != "-") {
            return fail("unknown option '" + arg + "'");
        } else if (folder) {
            return fail("more than one GAMEFOLDER given");
        } else {
            folder = arg;
        }
    }
    if (!folder) return fail("no GAMEFOLDER given");
    std::error_code ec;
    result.list.gameFolder = FolderText(fs::absolute(platform::NativePath(*folder), ec));
    result.list.programFolder = programFolder;
    result.kind = ParsedCommand::Kind::List;
    return result;
}

}  // namespace

ParsedCommand ParseCommandLine(const std::vector<std::string>& args, const std::string& programFolder) {
    ParsedCommand result;
    auto fail = [&result](std::string message) {
        result.kind = ParsedCommand::Kind::UsageError;
        result.error = std::move(message);
        return result;
    };
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            result.kind = ParsedCommand::Kind::Help;
            return result;
        }
    }
    if (args.empty()) return fail("no command given");
    if (args[0] == "list") return ParseList(args, programFolder);
    if (args[0] != "process") return fail("unknown command '" + args[0] + "'");

    ProcessCommand& cmd = result.process;
    RunInputs& in = cmd.inputs;
    std::optional<std::string> logFile, gameFolder, entryExtension;
    std::string programFolderText = programFolder;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (name.starts_with("--")) {
            if (std::size_t eq = name.find('='); eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.resize(eq);
            }
        }
        auto takeValue = [&]() -> std::optional<std::string> {
            if (value) return value;
            if (i + 1 < args.size()) return args[++i];
            return std::nullopt;
        };
        auto isSwitch = [&](const char* option) { return name == option && !value; };

        if (isSwitch("--no-backup")) {
            in.Backup = false;
        } else if (isSwitch("--no-chat")) {
            in.Chat = false;
        } else if (isSwitch("--no-report")) {
            in.Report = false;
        } else if (name == "--mode" || name == "--channels" || name == "--sections" ||
                   name == "--game-folder" || name == "--program-folder" || name == "--sort" ||
                   name == "--dump-json" || name == "--unmatched" || name == "--ext") {
            std::optional<std::string> v = takeValue();
            if (!v) return fail(name + " needs a value");
            if (name == "--mode") {
                if (*v == "read-only") {
                    in.Mode = ShrinkMode::ReadOnly;
                } else if (*v == "compatible") {
                    in.Mode = ShrinkMode::Compatible;
                } else if (*v == "smallest") {
                    in.Mode = ShrinkMode::Smallest;
                } else {
                    return fail("--mode takes read-only, compatible or smallest");
                }
            } else if (name == "--channels") {
                ChatChannels& c = in.Channels;
                if (!SetFlags(*v,
                              {{"tell", &c.Tell},
                               {"say", &c.Say},
                               {"group", &c.Group},
                               {"guild", &c.Guild},
                               {"shout", &c.Shout},
                               {"ooc", &c.OOC},
                               {"auction", &c.Auction}},
                              name, result.error)) {
                    return fail(result.error);
                }
            } else if (name == "--sections") {
                ReportSections& s = in.Sections;
                if (!SetFlags(*v,
                              {{"skills", &s.Skills},
                               {"zones", &s.Zones},
                               {"factions", &s.Factions},
                               {"mobs", &s.Mobs},
                               {"vendors", &s.Vendors},
                               {"items", &s.Loot},
                               {"combat", &s.Combat},
                               {"spells", &s.Spells},
                               {"misc", &s.Misc},
                               {"guild", &s.Guild}},
                              name, result.error)) {
                    return fail(result.error);
                }
            } else if (name == "--game-folder") {
                gameFolder = *v;
            } else if (name == "--ext") {
                entryExtension = ParseExtensionOf(*v);
                if (!entryExtension) return fail("--ext takes .txt or .log");
            } else if (name == "--program-folder") {
                programFolderText = *v;
            } else if (name == "--sort") {
                if (*v == "text") {
                    cmd.sort = SortOrder::Text;
                } else if (*v == "value") {
                    cmd.sort = SortOrder::Value;
                } else {
                    return fail("--sort takes text or value");
                }
            } else if (name == "--unmatched") {
                in.UnmatchedFile = *v;
            } else {
                cmd.dumpJsonPath = *v;
            }
        } else if (name.starts_with("-") && name != "-") {
            return fail("unknown option '" + args[i] + "'");
        } else if (logFile) {
            return fail("more than one LOGFILE given");
        } else {
            logFile = args[i];
        }
    }
    if (!logFile) return fail("no LOGFILE given");

    std::error_code ec;
    if (gameFolder && LooksLikeEntry(*logFile)) {
        cmd.entry = *logFile;
        in.ParseExtension = entryExtension.value_or(".txt");
        in.GameFolder = FolderText(fs::absolute(platform::NativePath(*gameFolder), ec));
        in.ProgramFolder = FolderText(fs::absolute(platform::NativePath(programFolderText), ec));
        result.kind = ParsedCommand::Kind::Process;
        return result;
    }
    if (entryExtension) return fail("--ext applies to ENTRY only; a LOGFILE's own extension counts");

    const fs::path logPath = fs::absolute(platform::NativePath(*logFile), ec);
    if (ec) return fail("cannot resolve '" + *logFile + "'");
    const std::string fileName = platform::PathText(logPath.filename());
    const std::string extension = platform::PathText(logPath.extension());
    std::optional<std::string> entry = EntryOfLogFile(fileName);
    if (!entry || !(EqualsNoCase(extension, ".txt") || EqualsNoCase(extension, ".log"))) {
        return fail("LOGFILE must be named eqlog_CHARACTER_SERVER.txt or .log: '" + fileName + "'");
    }
    in.EntryServer = EntryServer(*entry);
    in.EntryCharacter = EntryCharacter(*entry);
    in.ParseExtension = extension;
    in.LogFileName = fileName;
    in.BaseFileName = BaseFileName(*entry);
    in.LogsFolder = FolderText(logPath.parent_path());
    in.GameFolder = gameFolder ? FolderText(fs::absolute(platform::NativePath(*gameFolder), ec))
                               : FolderText(logPath.parent_path().parent_path());
    in.ProgramFolder = FolderText(fs::absolute(platform::NativePath(programFolderText), ec));
    result.kind = ParsedCommand::Kind::Process;
    return result;
}

}  // namespace krav::cli
