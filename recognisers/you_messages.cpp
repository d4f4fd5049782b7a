// The "You " block.
#include "recognisers/you_messages.h"

#include "engine/text.h"

namespace krav {

bool YouMessages(RunContext& run, const LogLine& line) {
    if (!MessageStartsWith("You ", line.Message)) return false;
    run.State.PendingSpecial.clear();
    return true;
}

}  // namespace krav
