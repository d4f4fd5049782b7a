// Faction standing changes and consider messages.
#pragma once

#include "engine/run_context.h"

namespace krav {

bool FactionStanding(RunContext& run, const LogLine& line);
// The "You" messages FactionStanding can claim (see YouGate).
extern const YouGate kFactionStandingGate;
// Only ever sees messages that do not start with "You ".
bool ConsiderMessages(RunContext& run, const LogLine& line);

}  // namespace krav
