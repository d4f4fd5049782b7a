// Summary records ("{KRAV} " lines) met in the log: the second step of the line classifier. Records never
// reach the recognisers that follow; they restore what an earlier run wrote at the end of a shrunk log.
#pragma once

#include <string>
#include <string_view>

#include "engine/run_context.h"

namespace krav {

// "{KRAV} key: value (n1,n2,n3,last) // comment", split into its parts; missing parts are empty.
struct SummaryRecord {
    std::string key, value, n1, n2, n3, last, comment;
};
SummaryRecord ParseSummaryRecord(std::string_view message);

bool ReadSummaryRecord(RunContext& run, const LogLine& line);

}  // namespace krav
