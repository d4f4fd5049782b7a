// The summary-record step. So far it acts on the end record only: the restoring of tables from the other
// records joins it when the tables do.
#include "recognisers/summary_records.h"

#include "engine/text.h"

namespace krav {

namespace {

// The record's key: the text after "{KRAV} " up to ": ", its comment ("// ...") set aside first.
std::string_view RecordKey(std::string_view message) {
    std::string_view rest = RestFrom(message, 8);
    if (std::size_t p = FindNoCase("// ", rest); p > 0) rest = rest.substr(0, p - 1);
    if (std::size_t p = FindNoCase(": ", rest); p > 0) rest = rest.substr(0, p - 1);
    return rest;
}

}  // namespace

bool ReadSummaryRecord(RunContext& run, const LogLine& line) {
    if (!MessageStartsWith("{KRAV} ", line.Message)) return false;
    if (RecordKey(line.Message) == "End of File") run.EndRecordSeen = true;
    return true;
}

}  // namespace krav
