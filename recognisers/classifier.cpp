// The order of the classifier's steps lives here and nowhere else. The first step that claims a line
// consumes it; a line no step claims is dropped by the run.
#include "recognisers/classifier.h"

#include <iterator>
#include <utility>

#include "recognisers/character.h"
#include "recognisers/chat.h"
#include "recognisers/combat.h"
#include "recognisers/events.h"
#include "recognisers/factions.h"
#include "recognisers/language.h"
#include "recognisers/loot.h"
#include "recognisers/skills.h"
#include "recognisers/spells.h"
#include "recognisers/summary_records.h"
#include "recognisers/you_messages.h"

namespace krav {

namespace {

using StepFunction = bool (*)(RunContext&, const LogLine&);

// Steps whose forms all start with "You" are not called for other lines: most lines of a log are not the
// player's own, and this spares them a third of the calls.
enum class Gate : unsigned char { AnyLine, StartsWithYou };

struct Step {
    StepFunction function;
    Gate gate;
};

constexpr Gate kAny = Gate::AnyLine;
constexpr Gate kYou = Gate::StartsWithYou;

constexpr Step kSteps[] = {
    {CaptureLanguage, kAny},       //  1 language-tagged speech ("tells the group, in", "says, in")
    {ReadSummaryRecord, kAny},     //  2 summary records ("{KRAV} ")
    {ReadWhoList, kAny},           //  3 who lists
    {LanguageSkills, kYou},        //  4 language skills
    {ZoneAndPlayedTime, kAny},     //  5 zone entry, played time
    {SlainMob, kYou},              //  6 kills "You have slain "
    {MoneyAndItems, kAny},         //  7 money and items: "You receive ", "You give ", loot, drops
    {SavedAndBindPoint, kAny},     //  8 character saved, bind point
    {AutoAttackOff, kAny},         //  9 "Auto attack is off"
    {CastingAndMemorizing, kYou},  // 10 "You begin casting ", "You have finished memorizing "
    {SkillIncreases, kAny},        // 11 skill increases
    {FactionStanding, kYou},       // 12 "Your faction standing with"
    {ExperienceAndDeaths, kYou},   // 13 experience, levels, adventures, deaths,
    {SurnameApproved, kAny},       //    the surname,
    {OtherEvents, kAny},           //    and similar events up to "You are no longer afraid"
    {SpecialAttacks, kAny},        // 14 special attacks
    {FinishingBlows, kYou},        //    and finishing blows
    {SpellOutcomes, kAny},         // 15 spell outcomes
    {FatigueAndWere, kYou},        // 16 fatigue and "You were "
    {SkillAttempts, kYou},         // 17 skill attempts
    {ActionsAndStates, kAny},      // 18 food, drink, tracking, taunt; "You are "
    {YouMessages, kYou},           // 19 every other message starting with "You "
    {ConsiderMessages, kAny},      // 20 consider messages
    {AttacksOnPlayer, kAny},       // 21 attacks on the player
    {VendorDialogue, kAny},        // 22 vendor dialogue
    {OthersChat, kAny},            // 23 others' chat
                                   // 24 anything else: dropped
};

// The table walked in order, unrolled by the compiler into one direct call per step: a call through a
// pointer taken from a table jumps to a different step each time, which the processor cannot foresee, and
// every line makes a dozen or more of them. `youLine` is whether the message starts with "You"; lines that
// do not are never offered to the "You"-only steps.
template <bool youLine, std::size_t... index>
bool WalkSteps(RunContext& run, const LogLine& line, std::index_sequence<index...>) {
    return (((youLine || kSteps[index].gate == Gate::AnyLine) && kSteps[index].function(run, line)) || ...);
}

}  // namespace

bool ClassifyLine(RunContext& run, const LogLine& line) {
    constexpr auto kAll = std::make_index_sequence<std::size(kSteps)>{};
    return line.StartsWithYou ? WalkSteps<true>(run, line, kAll) : WalkSteps<false>(run, line, kAll);
}

}  // namespace krav
