// Skills and skill attempts; see the header for what is still to come.
#include "recognisers/skills.h"

namespace krav {

void CheckSkillMaximums(RunContext&) {}

}  // namespace krav
