// The steps of a standard processing run: the recognisers' classifier and end-of-run work, and the end
// records with the report. Both front ends run logs through this.
#pragma once

#include "engine/processing_run.h"

namespace krav {

// Writes the end summary records and, in the same walk over the tables, the HTML report. Returns the
// report's path, or empty text when no report was written.
// Not yet built: writes nothing until the tables and the report exist.
std::string WriteEndRecordsAndReport(RunContext& run);

const RunSteps& StandardRunSteps();

// Runs one log through the standard steps.
inline void RunProcessing(Session& session, const RunInputs& inputs, RunHost& host) {
    ProcessingRun::Run(session, inputs, host, StandardRunSteps());
}

}  // namespace krav
