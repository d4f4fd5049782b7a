// The order of the classifier's steps lives here and nowhere else. The first step that claims a line
// consumes it; a line no step claims is dropped by the run.
#include "recognisers/classifier.h"

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

using Step = bool (*)(RunContext&, const LogLine&);

constexpr Step kSteps[] = {
    CaptureLanguage,       //  1 language-tagged speech ("tells the group, in", "says, in")
    ReadSummaryRecord,     //  2 summary records ("{KRAV} ")
    ReadWhoList,           //  3 who lists
    LanguageSkills,        //  4 language skills
    ZoneAndPlayedTime,     //  5 zone entry, played time
    SlainMob,              //  6 kills "You have slain "
    MoneyAndItems,         //  7 money and items: "You receive ", "You give ", loot, drops
    SavedAndBindPoint,     //  8 character saved, bind point
    AutoAttackOff,         //  9 "Auto attack is off"
    CastingAndMemorizing,  // 10 "You begin casting ", "You have finished memorizing "
    SkillIncreases,        // 11 skill increases
    FactionStanding,       // 12 "Your faction standing with"
    ExperienceAndDeaths,   // 13 experience, levels, adventures, deaths,
    SurnameApproved,       //    the surname,
    OtherEvents,           //    and similar events up to "You are no longer afraid"
    SpecialAttacks,        // 14 special attacks
    FinishingBlows,        //    and finishing blows
    SpellOutcomes,         // 15 spell outcomes
    FatigueAndWere,        // 16 fatigue and "You were "
    SkillAttempts,         // 17 skill attempts
    ActionsAndStates,      // 18 food, drink, tracking, taunt; "You are "
    YouMessages,           // 19 every other message starting with "You "
    ConsiderMessages,      // 20 consider messages
    AttacksOnPlayer,       // 21 attacks on the player
    VendorDialogue,        // 22 vendor dialogue
    OthersChat,            // 23 others' chat
                           // 24 anything else: dropped
};

}  // namespace

bool ClassifyLine(RunContext& run, const LogLine& line) {
    for (Step step : kSteps) {
        if (step(run, line)) return true;
    }
    return false;
}

}  // namespace krav
