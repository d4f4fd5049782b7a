// Kills, loot, money and vendors: what the character killed, looted, bought, sold and dropped, and the
// merchants it dealt with.
#pragma once

#include "engine/run_context.h"

namespace krav {

// "You have slain ".
bool SlainMob(RunContext& run, const LogLine& line);
// Sales ("You receive "), purchases ("You give "), loot and drops.
bool MoneyAndItems(RunContext& run, const LogLine& line);
// The "You" messages these two steps can claim (see YouGate).
extern const YouGate kSlainMobGate;
extern const YouGate kMoneyAndItemsGate;
// A merchant's greeting, price offer and buying offer.
bool VendorDialogue(RunContext& run, const LogLine& line);

}  // namespace krav
