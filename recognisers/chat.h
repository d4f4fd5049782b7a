// Chat capture: lines of conversation go to the chat file under their channel's option and never to the
// new log.
#pragma once

#include "engine/run_context.h"

namespace krav {

// The player's own chat, first of the "You " block.
bool OwnChat(RunContext& run, const LogLine& line);
// Other players' chat, the last of the classifier's steps.
bool OthersChat(RunContext& run, const LogLine& line);

}  // namespace krav
