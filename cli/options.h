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
};

struct ParsedCommand {
    enum class Kind { Help, Process, UsageError } kind = Kind::UsageError;
    ProcessCommand process;
    std::string error;  // for UsageError
};

extern const char* const kUsage;

// `args` are the arguments after the program's name; `programFolder` is the default for --program-folder.
ParsedCommand ParseCommandLine(const std::vector<std::string>& args, const std::string& programFolder);

}  // namespace krav::cli
