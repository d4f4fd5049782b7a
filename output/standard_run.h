// The steps of a standard processing run: the recognisers' classifier and end-of-run work, and the end
// records with the report. Both front ends run logs through this.
#pragma once

#include "engine/processing_run.h"
#include "output/end_records.h"

namespace krav {

const RunSteps& StandardRunSteps();

// Runs one log through the standard steps.
inline void RunProcessing(Session& session, const RunInputs& inputs, RunHost& host) {
    ProcessingRun::Run(session, inputs, host, StandardRunSteps());
}

}  // namespace krav
