// Combat: the player's melee attacks, the attacks on the player with their defences, and the special
// attacks whose name qualifies the player's next attack.
#pragma once

#include "engine/run_context.h"

namespace krav {

bool AutoAttackOff(RunContext& run, const LogLine& line);
// "You go into a ", "You score a ", "You land a " and their third-person forms.
bool SpecialAttacks(RunContext& run, const LogLine& line);
// The "You" messages SpecialAttacks can claim (see YouGate).
extern const YouGate kSpecialAttacksGate;
// Inside the "You " block: a hit or a miss of the player; false for anything else.
bool OwnAttack(RunContext& run, const LogLine& line);
// " YOU, but YOU ", " YOU for ", " tries to ".
bool AttacksOnPlayer(RunContext& run, const LogLine& line);

}  // namespace krav
