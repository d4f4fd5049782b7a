// The order of the classifier's steps lives here and nowhere else. The first step that claims a line
// consumes it; a line no step claims is dropped by the run.
#include "recognisers/classifier.h"

#include <cstdio>
#include <cstdlib>
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
    // The "You" messages the step can claim; none: all of them. A "You" line goes only to the steps whose
    // gate admits it, which spares a player's hit the dozen steps before the "You " block.
    const YouGate* youForms;
};

constexpr Gate kAny = Gate::AnyLine;
constexpr Gate kYou = Gate::StartsWithYou;
constexpr const YouGate* kAllYou = nullptr;

constexpr Step kSteps[] = {
    {CaptureLanguage, kAny, kAllYou},                         //  1 language-tagged speech ("says, in")
    {ReadSummaryRecord, kAny, &kNoYouForms},                  //  2 summary records ("{KRAV} ")
    {ReadWhoList, kAny, &kNoYouForms},                        //  3 who lists ("Players on EverQuest:")
    {LanguageSkills, kYou, &kLanguageSkillsGate},             //  4 language skills
    {ZoneAndPlayedTime, kAny, &kZoneAndPlayedTimeGate},       //  5 zone entry, played time
    {SlainMob, kYou, &kSlainMobGate},                         //  6 kills "You have slain "
    {MoneyAndItems, kAny, &kMoneyAndItemsGate},               //  7 money and items: "You receive ", loot, drops
    {SavedAndBindPoint, kAny, kAllYou},                       //  8 character saved, bind point
    {AutoAttackOff, kAny, &kNoYouForms},                      //  9 "Auto attack is off"
    {CastingAndMemorizing, kYou, &kCastingAndMemorizingGate},  // 10 "You begin casting ", memorizing
    {SkillIncreases, kAny, &kSkillIncreasesGate},             // 11 skill increases
    {FactionStanding, kYou, &kFactionStandingGate},           // 12 "Your faction standing with"
    {ExperienceAndDeaths, kYou, &kExperienceAndDeathsGate},   // 13 experience, levels, adventures, deaths,
    {SurnameApproved, kAny, &kNoYouForms},                    //    the surname ("Congratulations, "),
    {OtherEvents, kAny, &kOtherEventsGate},                   //    and similar events up to "You are no longer afraid"
    {SpecialAttacks, kAny, &kSpecialAttacksGate},             // 14 special attacks
    {FinishingBlows, kYou, &kFinishingBlowsGate},             //    and finishing blows
    {SpellOutcomes, kAny, &kSpellOutcomesGate},               // 15 spell outcomes
    {FatigueAndWere, kYou, &kFatigueAndWereGate},             // 16 fatigue and "You were "
    {SkillAttempts, kYou, &kSkillAttemptsGate},               // 17 skill attempts
    {ActionsAndStates, kAny, &kActionsAndStatesGate},         // 18 food, drink, tracking, taunt; "You are "
    {YouMessages, kYou, kAllYou},                             // 19 every other message starting with "You "
    {ConsiderMessages, kAny, kAllYou},                        // 20 consider messages
    {AttacksOnPlayer, kAny, kAllYou},                         // 21 attacks on the player
    {VendorDialogue, kAny, kAllYou},                          // 22 vendor dialogue
    {OthersChat, kAny, kAllYou},                              // 23 others' chat
                                                              // 24 anything else: dropped
};

// Whether a step is offered the line. Without NDEBUG (the sanitizer build the tests also run in) a step its
// gate passes over is called all the same, and must not claim the line: a gate that hides one of its step's
// forms stops the program there instead of losing lines quietly.
template <bool youLine>
bool Offered(const Step& step, RunContext& run, const LogLine& line, bool nameStartsWithYou) {
    if constexpr (!youLine) {
        return step.gate == Gate::AnyLine;
    } else {
        if (step.youForms == nullptr || step.youForms->Admits(line, nameStartsWithYou)) return true;
#ifndef NDEBUG
        if (step.function(run, line)) {
            std::fprintf(stderr, "classifier: a step claimed a line its gate passes over: %.*s\n",
                         static_cast<int>(line.Message.size()), line.Message.data());
            std::abort();
        }
#else
        (void)run;
#endif
        return false;
    }
}

// The table walked in order, unrolled by the compiler into one direct call per step: a call through a
// pointer taken from a table jumps to a different step each time, which the processor cannot foresee, and
// every line makes a dozen or more of them. `youLine` is whether the message starts with "You"; lines that
// do not are never offered to the "You"-only steps.
template <bool youLine, std::size_t... index>
bool WalkSteps(RunContext& run, const LogLine& line, bool nameStartsWithYou, std::index_sequence<index...>) {
    return ((Offered<youLine>(kSteps[index], run, line, nameStartsWithYou) && kSteps[index].function(run, line)) ||
            ...);
}

}  // namespace

bool ClassifyLine(RunContext& run, const LogLine& line) {
    constexpr auto kAll = std::make_index_sequence<std::size(kSteps)>{};
    if (!line.StartsWithYou) return WalkSteps<false>(run, line, false, kAll);
    // Forms that start with the character's name are "You" lines too when the name starts with "You".
    const std::string& name = run.session.Character.CharacterName;
    const bool nameStartsWithYou = name.size() >= 3 && EqualsNoCase(std::string_view(name).substr(0, 3), "you");
    return WalkSteps<true>(run, line, nameStartsWithYou, kAll);
}

}  // namespace krav
