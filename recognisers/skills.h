// Skills and skill attempts: skill values from skill-ups and guildmasters, attempts whose outcome the game
// reports, and the maximums of the reference data checked at the end of a run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/run_context.h"

namespace krav {

// Classifier steps: skill-ups and training (none writes its line), and the attempts.
bool SkillIncreases(RunContext& run, const LogLine& line);
bool SkillAttempts(RunContext& run, const LogLine& line);
// The "You" messages these two steps can claim (see YouGate).
extern const YouGate kSkillIncreasesGate;
extern const YouGate kSkillAttemptsGate;

// The section name of a class text, from the "Classes" section of the reference data.
std::string ClassSectionName(const std::string& referenceFile, const std::string& classText);

struct SkillMaximum {
    std::optional<std::int64_t> value;  // none when the formula is malformed
    std::string text;                   // "?" when malformed; "F6 / M" when a lower cap is shown beside it
};
SkillMaximum SkillCap(std::string_view formula, std::int64_t level);

// End of run: the Max column for the class and level in the info fields, with a warning for every value
// above its maximum.
void CheckSkillMaximums(RunContext& run);

}  // namespace krav
