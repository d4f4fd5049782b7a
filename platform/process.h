// What the front ends need to know about their own process and terminal.
#pragma once

#include <cstdio>
#include <string>

namespace krav::platform {

// The folder of the running program's own file, with a trailing separator; `argv0` is the fallback where the
// system cannot tell.
std::string ProgramFolder(const char* argv0);
// The full name of the running program's own file; `argv0` made absolute where the system cannot tell.
std::string ProgramFile(const char* argv0);

// True when the stream is attached to a terminal.
bool IsTerminal(std::FILE* stream);

// Ctrl-C: the first one only sets a flag that the run polls; a second one ends the program as usual.
void InstallInterruptHandler();
bool InterruptRequested();

// While one exists, a second Ctrl-C waits: the program ends only when the deferral does, so that a file being
// replaced is never left half-written.
class InterruptDeferral {
public:
    InterruptDeferral();
    ~InterruptDeferral();
    InterruptDeferral(const InterruptDeferral&) = delete;
    InterruptDeferral& operator=(const InterruptDeferral&) = delete;
};

}  // namespace krav::platform
