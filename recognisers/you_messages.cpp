// The "You " block.
#include "recognisers/you_messages.h"

#include "engine/text.h"
#include "recognisers/chat.h"
#include "recognisers/combat.h"

namespace krav {

bool YouMessages(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou || !LineStartsWith("You ", line)) return false;
    // Heals of others and whatever else the block does not count leave the new log.
    if (!OwnChat(run, line) && !LineStartsWith("You have healed", line)) OwnAttack(run, line);
    // A special attack qualifies only the attack that follows it at once.
    run.State.PendingSpecial.clear();
    return true;
}

}  // namespace krav
