// Parsing of krav-cli's command line into the inputs of a run.
#include "cli/options.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "engine/text.h"
#include "install/log_names.h"

namespace krav::cli {

const char* const kUsage =
    "Usage: krav-cli process [OPTIONS] LOGFILE\n"
    "\n"
    "Reads one EverQuest log (eqlog_CHARACTER_SERVER.txt or .log) and prints the status list.\n"
    "\n"
    "Options:\n"
    "  --mode read-only|compatible|smallest  how the log is treated (default read-only)\n"
    "  --no-backup                           keep no backup of the raw log when shrinking\n"
    "  --no-chat                             keep no chat file when shrinking\n"
    "  --channels LIST                       chat channels kept: tell,say,group,guild,shout,ooc,auction\n"
    "                                        (default tell,say,group,guild; empty for none)\n"
    "  --no-report                           write no HTML report\n"
    "  --sections LIST                       report sections: skills,zones,factions,mobs,vendors,items,\n"
    "                                        combat,spells,misc,guild (default all; empty for none)\n"
    "  --game-folder DIR                     the game's folder (default the folder above the log's)\n"
    "  --program-folder DIR                  where KRAV.ini is looked for (default krav-cli's folder)\n"
    "  --sort text|value                     sort every table after the run\n"
    "  --dump-json FILE                      write the info fields, tables and counts to FILE\n"
    "  --unmatched FILE                      write the lines no message form claimed to FILE\n"
    "  --help                                show this text\n"
    "\n"
    "Exit status: 0 run complete without errors, 1 errors reported or stopped, 2 usage error.\n"
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
    return AddTrailingBackslash(folder.lexically_normal().string());
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
    if (args[0] != "process") return fail("unknown command '" + args[0] + "'");

    ProcessCommand& cmd = result.process;
    RunInputs& in = cmd.inputs;
    std::optional<std::string> logFile, gameFolder;
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
                   name == "--dump-json" || name == "--unmatched") {
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
    const fs::path logPath = fs::absolute(fs::path(*logFile), ec);
    if (ec) return fail("cannot resolve '" + *logFile + "'");
    const std::string fileName = logPath.filename().string();
    const std::string extension = logPath.extension().string();
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
    in.GameFolder = gameFolder ? FolderText(fs::absolute(fs::path(*gameFolder), ec))
                               : FolderText(logPath.parent_path().parent_path());
    in.ProgramFolder = FolderText(fs::absolute(fs::path(programFolderText), ec));
    result.kind = ParsedCommand::Kind::Process;
    return result;
}

}  // namespace krav::cli
