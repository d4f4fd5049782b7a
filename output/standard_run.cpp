// Wiring of the standard run's steps.
#include "output/standard_run.h"

#include "recognisers/classifier.h"
#include "recognisers/end_of_run.h"

namespace krav {

std::string WriteEndRecordsAndReport(RunContext&) {
    return {};
}

const RunSteps& StandardRunSteps() {
    static const RunSteps steps{ClassifyLine, CheckSkillMaximums, LoadGuildRoster, WriteEndRecordsAndReport};
    return steps;
}

}  // namespace krav
