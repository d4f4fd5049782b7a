// krav-cli's command line.
#pragma once

#include <string>
#include <vector>

#include "engine/run_inputs.h"

namespace krav::cli {

enum class SortOrder { None, Text, Value };

struct ProcessCommand {
    RunInputs inputs;
    SortOrder sort = SortOrder::None;
    std::string dumpJsonPath;
    // A log named by its entry (tunare_Soandso) rather than its path: looked up in the log list of
    // inputs.GameFolder before the run, which fills in the log's folder and names.
    std::string entry;
};

// krav-cli list: the log list of a game folder.
struct ListCommand {
    std::string gameFolder;  // with trailing separator
    std::string parseExtension = ".txt";
    std::string programFolder;
};

struct ParsedCommand {
    enum class Kind { Help, Process, List, UsageError } kind = Kind::UsageError;
    ProcessCommand process;
    ListCommand list;
    std::string error;  // for UsageError
};

extern const char* const kUsage;

// `args` are the arguments after the program's name; `programFolder` is the default for --program-folder.
ParsedCommand ParseCommandLine(const std::vector<std::string>& args, const std::string& programFolder);

}  // namespace krav::cli
