// Wiring of the standard run's steps.
#include "output/standard_run.h"

#include "output/end_records.h"
#include "recognisers/character.h"
#include "recognisers/classifier.h"
#include "recognisers/skills.h"

namespace krav {

const RunSteps& StandardRunSteps() {
    static const RunSteps steps{ClassifyLine, CheckSkillMaximums, LoadGuildRoster, WriteEndRecordsAndReport,
                                SaveFriends};
    return steps;
}

}  // namespace krav
