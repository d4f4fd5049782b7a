// Skills and skill attempts.
#pragma once

#include "engine/run_context.h"

namespace krav {

// End of run: compares the skill values with the maximums for the class and level in the info fields.
// Not yet built: does nothing until the skill formulas of the reference data are read.
void CheckSkillMaximums(RunContext& run);

}  // namespace krav
