// Recogniser work done once at the end of a run, after the last line.
#pragma once

#include "engine/run_context.h"

namespace krav {

// Compares the skill values with the maximums for the class and level in the info fields.
// Not yet built: does nothing until the skill table and KRAV.ini's skill formulas exist.
void CheckSkillMaximums(RunContext& run);

// Fills the guild roster table from the roster file of the guild in eGuild.
// Not yet built: does nothing until the roster table exists.
void LoadGuildRoster(RunContext& run);

}  // namespace krav
