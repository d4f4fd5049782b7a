// Spells and spell results: spells cast, memorised and resisted, the outcomes of casting, the effects of
// worn items.
#pragma once

#include "engine/run_context.h"

namespace krav {

// "You begin casting ", "You have finished memorizing ".
bool CastingAndMemorizing(RunContext& run, const LogLine& line);
// "You deliver a ", "You perform an ": the finishing blows that follow the special attacks.
bool FinishingBlows(RunContext& run, const LogLine& line);
// From "Your spell " to "You resist the ".
bool SpellOutcomes(RunContext& run, const LogLine& line);
// "A gnoll resisted your Lull!", tried after every other step.
bool TargetResistedByName(RunContext& run, const LogLine& line);

// The "You" messages these steps can claim (see YouGate).
extern const YouGate kCastingAndMemorizingGate;
extern const YouGate kFinishingBlowsGate;
extern const YouGate kSpellOutcomesGate;

}  // namespace krav
