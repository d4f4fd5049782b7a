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

// Which lines that do not start with "You" a step can claim, told by their first byte, letters folded. Most
// lines of a log are not the player's own; the steps whose forms all start with "You", and those whose other
// forms are fixed openings, are not called for the rest.
struct OtherLines {
    std::uint64_t first[4] = {};
    constexpr bool Admits(unsigned byte) const { return ((first[byte >> 6] >> (byte & 63)) & 1) != 0; }
    constexpr bool All() const { return (first[0] & first[1] & first[2] & first[3]) == ~std::uint64_t{0}; }
    constexpr bool None() const { return (first[0] | first[1] | first[2] | first[3]) == 0; }
};

// Lines opening with one of these characters (in either case).
constexpr OtherLines Opening(std::string_view characters) {
    OtherLines lines;
    for (char c : characters) {
        const auto byte = static_cast<unsigned char>(FoldCase(c));
        lines.first[byte >> 6] |= std::uint64_t{1} << (byte & 63);
    }
    return lines;
}

constexpr OtherLines kAny{{~std::uint64_t{0}, ~std::uint64_t{0}, ~std::uint64_t{0}, ~std::uint64_t{0}}};
constexpr OtherLines kYou{};  // every form starts with "You"

struct Step {
    StepFunction function;
    OtherLines others;
    // The "You" messages the step can claim (when not every one). A "You" line goes only to the steps whose
    // gate admits it, which spares a player's hit the dozen steps before the "You " block.
    const YouGate* youForms;
    bool everyYouLine;
};

// A row of the table: the step, the other lines it can claim, and the gate of its "You" forms or none.
constexpr Step Row(StepFunction function, OtherLines others, const YouGate& youForms) {
    return {function, others, &youForms, false};
}
constexpr Step Row(StepFunction function, OtherLines others) {
    return {function, others, nullptr, true};
}

constexpr Step kSteps[] = {
    Row(CaptureLanguage, kAny),                                    //  1 language-tagged speech ("says, in")
    Row(ReadSummaryRecord, Opening("{"), kNoYouForms),             //  2 summary records ("{KRAV} ")
    Row(ReadWhoList, Opening("pf"), kNoYouForms),                  //  3 who lists ("Players on EverQuest:")
    Row(LanguageSkills, kYou, kLanguageSkillsGate),                //  4 language skills
    Row(ZoneAndPlayedTime, Opening("t"), kZoneAndPlayedTimeGate),  //  5 zone entry, played time
    Row(SlainMob, kYou, kSlainMobGate),                            //  6 kills "You have slain "
    Row(MoneyAndItems, Opening("-"), kMoneyAndItemsGate),          //  7 money, items ("--You have looted ")
    Row(SavedAndBindPoint, kAny),                                  //  8 character saved, bind point
    Row(AutoAttackOff, Opening("a"), kNoYouForms),                 //  9 "Auto attack is off"
    Row(CastingAndMemorizing, kYou, kCastingAndMemorizingGate),    // 10 "You begin casting ", memorizing
    Row(SkillIncreases, kAny, kSkillIncreasesGate),                // 11 skill increases
    Row(FactionStanding, kYou, kFactionStandingGate),              // 12 "Your faction standing with"
    Row(ExperienceAndDeaths, kYou, kExperienceAndDeathsGate),    // 13 experience, levels, adventures, deaths,
    Row(SurnameApproved, Opening("c"), kNoYouForms),             //    the surname ("Congratulations, "),
    Row(OtherEvents, Opening("w"), kOtherEventsGate),            //    events up to "You are no longer afraid"
    Row(SpecialAttacks, kAny, kSpecialAttacksGate),              // 14 special attacks
    Row(FinishingBlows, kYou, kFinishingBlowsGate),              //    and finishing blows
    Row(SpellOutcomes, kAny, kSpellOutcomesGate),                // 15 spell outcomes
    Row(FatigueAndWere, kYou, kFatigueAndWereGate),              // 16 fatigue and "You were "
    Row(SkillAttempts, kYou, kSkillAttemptsGate),                // 17 skill attempts
    Row(ActionsAndStates, Opening("g"), kActionsAndStatesGate),  // 18 food, drink ("Glug, glug"), "You are "
    Row(YouMessages, kYou),           // 19 every other message starting with "You "
    Row(ConsiderMessages, kAny),      // 20 consider messages
    Row(AttacksOnPlayer, kAny),       // 21 attacks on the player
    Row(VendorDialogue, kAny),        // 22 vendor dialogue
    Row(OthersChat, kAny),            // 23 others' chat
    Row(TargetResistedByName, kAny),  //    today's client's "A gnoll resisted your Lull!", after all others
                                      // 24 anything else: dropped
};

// The "You" gates of all steps combined, so that a "You" line works out once which steps it goes to: one bit
// a step, from the pair of its fifth and sixth bytes, its fifth byte alone, and its two flags. Built when the
// program starts, from the gates, which the compiler has already filled in.
struct YouSteps {
    std::uint32_t byPair[PrefixFilter::kPairBits] = {};
    std::uint32_t byFifth[256] = {};
    std::uint32_t always = 0, apostrophe = 0, name = 0;

    std::uint32_t For(const LogLine& line, bool nameStartsWithYou) const {
        return always | byPair[PrefixFilter::PairBit(line)] | byFifth[PrefixFilter::FifthByte(line)] |
               (line.HasApostrophe ? apostrophe : 0) | (nameStartsWithYou ? name : 0);
    }
};
static_assert(std::size(kSteps) <= 32, "one bit a step");

const YouSteps kYouSteps = [] {
    YouSteps steps;
    for (std::size_t i = 0; i < std::size(kSteps); ++i) {
        const std::uint32_t bit = std::uint32_t{1} << i;
        const YouGate* gate = kSteps[i].youForms;
        if (kSteps[i].everyYouLine || gate->forms.AdmitsAll()) {
            steps.always |= bit;
            continue;
        }
        for (unsigned pair = 0; pair < PrefixFilter::kPairBits; ++pair)
            if (gate->forms.AdmitsPair(pair)) steps.byPair[pair] |= bit;
        for (unsigned fifth = 0; fifth < 256; ++fifth)
            if (gate->forms.AdmitsFifth(fifth)) steps.byFifth[fifth] |= bit;
        if (gate->apostrophe) steps.apostrophe |= bit;
        if (gate->name) steps.name |= bit;
    }
    return steps;
}();

// Whether a step is offered the line. Without NDEBUG (the sanitizer build the tests also run in) a step its
// gate passes over is called all the same, and must not claim the line: a gate that hides one of its step's
// forms stops the program there instead of losing lines quietly.
template <bool youLine, std::size_t index>
bool Offered(RunContext& run, const LogLine& line, std::uint32_t youSteps) {
    constexpr const Step& step = kSteps[index];
    bool offered = true;
    if constexpr (!youLine) {
        if constexpr (step.others.All()) return true;
        if constexpr (!step.others.None())
            offered = step.others.Admits(line.Head & 0xFF);
        else
            offered = false;
    } else {
        if constexpr (step.everyYouLine)
            return true;
        else
            offered = ((youSteps >> index) & 1) != 0;
    }
#ifndef NDEBUG
    if (!offered && step.function(run, line)) {
        std::fprintf(stderr, "classifier: step %zu claimed a line its gate passes over: %.*s\n", index + 1,
                     static_cast<int>(line.Message.size()), line.Message.data());
        std::abort();
    }
#else
    (void)run;
#endif
    return offered;
}

// The table walked in order, unrolled by the compiler into one direct call per step: a call through a
// pointer taken from a table jumps to a different step each time, which the processor cannot foresee, and
// every line makes a dozen or more of them. `youLine` is whether the message starts with "You"; lines that
// do not are never offered to the "You"-only steps.
template <bool youLine, std::size_t... index>
bool WalkSteps(RunContext& run, const LogLine& line, std::uint32_t youSteps, std::index_sequence<index...>) {
    return ((Offered<youLine, index>(run, line, youSteps) && kSteps[index].function(run, line)) || ...);
}

}  // namespace

bool ClassifyLine(RunContext& run, const LogLine& line) {
    constexpr auto kAll = std::make_index_sequence<std::size(kSteps)>{};
    if (!line.StartsWithYou) return WalkSteps<false>(run, line, 0, kAll);
    // Forms that start with the character's name are "You" lines too when the name starts with "You".
    const std::string& name = run.session.Character.CharacterName;
    const bool nameStartsWithYou =
        name.size() >= 3 && EqualsNoCase(std::string_view(name).substr(0, 3), "you");
    return WalkSteps<true>(run, line, kYouSteps.For(line, nameStartsWithYou), kAll);
}

}  // namespace krav
