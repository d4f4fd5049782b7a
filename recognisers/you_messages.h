// The block of messages starting with "You ": the player's own chat, heals, hits and misses. Every such
// message that reaches it is consumed, so the rules after it only see what others do and say.
#pragma once

#include "engine/run_context.h"

namespace krav {

bool YouMessages(RunContext& run, const LogLine& line);

}  // namespace krav
