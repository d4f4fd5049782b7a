// The end of a run that was not stopped: the summary records that carry the tables into the next run and,
// in the same walk over the tables, the HTML report.
#pragma once

#include <string>

#include "engine/run_context.h"

namespace krav {

// Returns the report's path, or empty text when no report was written.
std::string WriteEndRecordsAndReport(RunContext& run);

}  // namespace krav
