// The shell's "start" of another program, as the merge utility is started: with its parameters and a
// working folder, without waiting for it, reporting only whether it could be started.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace krav::platform {

// Splits a parameter text as a command line is split: at runs of blanks, double quotes grouping blanks into
// one parameter and not kept.
std::vector<std::string> SplitParameters(std::string_view parameters);

// Starts the program with the parameters in the working folder (the current one when empty) and returns at
// once. True when the program was started; false when it is missing, cannot be executed or the system
// refused to run it.
bool StartProgram(const std::string& program, std::string_view parameters, const std::string& workingFolder);

}  // namespace krav::platform
