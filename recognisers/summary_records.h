// Summary records ("{KRAV} " lines) met in the log: the second step of the line classifier. Records never
// reach the recognisers that follow.
#pragma once

#include "engine/run_context.h"

namespace krav {

bool ReadSummaryRecord(RunContext& run, const LogLine& line);

}  // namespace krav
