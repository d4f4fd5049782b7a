// krav-cli's use of the log list: `krav-cli list`, and turning an entry given to `krav-cli process` into the
// log it names.
#pragma once

#include <cstdio>
#include <string>

#include "cli/options.h"

namespace krav::cli {

// Lists the logs of the game folder as the window does at start-up, the merge question answered No: the
// entries to `out`, one a line in the list's order, then the status lines to `err` in UTF-8. Returns 1 when
// the listing reported an error, else 0.
int RunList(const ListCommand& command, std::FILE* out, std::FILE* err);

// Looks the command's entry up in the log list of its game folder (letter case ignored, the colon form
// accepted) and fills in the log's folder and names. False with `error` set when no listed log has it.
bool ResolveEntry(ProcessCommand& command, std::string& error);

}  // namespace krav::cli
