// The block of messages starting with "You ": the player's own chat, heals, hits and misses. Every such
// message is consumed here, so the rules after it only see what others do and say.
#pragma once

#include "engine/run_context.h"

namespace krav {

// So far the block only consumes: the player's chat, heals and attacks are recognised with the combat and
// chat rules.
bool YouMessages(RunContext& run, const LogLine& line);

}  // namespace krav
