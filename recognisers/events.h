// Miscellaneous actions and events: experience, levels, adventures, deaths, fatigue, eating and drinking,
// tracking and taunting, and the states the game reports with "You are ".
#pragma once

#include "engine/run_context.h"

namespace krav {

// From "You gain raid experience" to "You have been slain" (the surname rule follows these).
bool ExperienceAndDeaths(RunContext& run, const LogLine& line);
// From "You have been " to "You are no longer afraid".
bool OtherEvents(RunContext& run, const LogLine& line);
// Fatigue and "You were ".
bool FatigueAndWere(RunContext& run, const LogLine& line);
// Food, drink, tracking, taunting, then the "You are " states.
bool ActionsAndStates(RunContext& run, const LogLine& line);

// The "You" messages these steps can claim (see YouGate).
extern const YouGate kExperienceAndDeathsGate;
extern const YouGate kOtherEventsGate;
extern const YouGate kFatigueAndWereGate;
extern const YouGate kActionsAndStatesGate;

}  // namespace krav
