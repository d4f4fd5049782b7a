// The window program's command line: "KRAV [-t] | [-p PATH]", parsed once when the program starts.
#pragma once

#include <string>
#include <vector>

#include "install/game_folder.h"

namespace krav {

inline constexpr const char* kUsageLine = "Usage: KRAV [-t] | [-p PATH]";
inline constexpr const char* kUnknownParameter = "UNKNOWN PARAMETER: ";

struct CommandLine {
    // 0 none, 1 usage requested, 2 test client, 3 given folder, 255 unrecognised.
    int CommandMode = 0;
    // The given folder for 3, the whole command line for 255, the text after the option for 1 and 2.
    std::string CommandText;

    // What the game folder search, the log list and the merge utility are told.
    FolderCommand Folder() const;
};

// `parameters` are the program's arguments as the system split them (quotes removed), without its own name.
CommandLine ParseCommandLine(const std::vector<std::string>& parameters);

}  // namespace krav
