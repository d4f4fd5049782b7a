// Miscellaneous actions and events.
#include "recognisers/events.h"

#include <initializer_list>
#include <span>

#include "engine/text.h"

namespace krav {

namespace {

struct Fixed {
    Prefix prefix;
    std::string_view key;
    bool events;  // counted in the events rather than the actions
};

constexpr Fixed kExperience[] = {
    {"You gain raid experience", "Gain raid experience", true},
    {"You gained raid experience", "Gain raid experience", true},
    {"You gain party experience", "Gain party experience", true},
    {"You gain experience", "Gain experience", true},
    {"You raise a level", "Raise a level", true},
    {"You have gained a level", "Raise a level", true},
    {"You have successfully completed your adventure", "Completed Adventure", true},
    {"You failed to complete your adventure in time", "Failed Adventure", true},
    {"You LOST a level", "Lost a level", true},
};

constexpr Fixed kLaterEvents[] = {
    {"Welcome to EverQuest", "Enter Norrath", false},
    {"You yell for help", "Yell for help", false},
    {"You are being resurrected", "Resurrected", true},
    {"You are no longer afraid", "Feared", true},
};

constexpr Fixed kActions[] = {
    {"You take a drink", "Take a drink", false},
    {"You take a bite", "Take a bite", false},
    {"Glug, glug, glug", "Take a swig", false},
    {"You begin tracking", "Track", false},
    {"You taunt", "Taunt", false},
};

// "You are " messages that are no state of the character; they end in the "You " block and are dropped.
constexpr Prefix kNotStates[] = {"You are adorned",      "You are already",    "You are amazed",
                                 "You are as quiet",     "You are bathed",     "You are being bandaged",
                                 "You are blasted",      "You are burned",     "You are conscious",
                                 "You are currently",    "You are encased",    "You are engulfed",
                                 "You are enveloped",    "You are inspecting", "You are low",
                                 "You are missing",      "You are no longer",  "You are not",
                                 "You are not a member", "You are now",        "You are pelted",
                                 "You are pierced",      "You are slammed",    "You are so happy",
                                 "You are struck",       "You are surrounded", "You are too far",
                                 "You are unstunned",    "You are unable",     "You are wracked"};

constexpr std::string_view kStates[] = {"encumbered", "stunned", "out of food",       "out of drink",
                                        "hungry",     "thirsty", "bleeding to death", "drowning",
                                        "mesmerized", "blinded", "ensnared"};

constexpr Prefix FixedPrefix(const Fixed& rule) {
    return rule.prefix;
}
constexpr PrefixFilter kLaterEventsFilter(kLaterEvents, FixedPrefix);
constexpr PrefixFilter kActionsFilter(kActions, FixedPrefix);

bool CountFixed(RunContext& run, const LogLine& line, std::span<const Fixed> rules,
                const PrefixFilter& filter) {
    if (!filter.Admits(line)) return false;
    for (const Fixed& rule : rules) {
        if (!LineStartsWith(rule.prefix, line)) continue;
        run.KeepLineCompatible(line);
        StatTables& tables = run.session.Tables;
        IncrementCount(rule.events ? tables.gEvents : tables.gActions, rule.key);
        return true;
    }
    return false;
}

bool StartsWithAny(std::string_view text, std::initializer_list<std::string_view> prefixes) {
    for (std::string_view prefix : prefixes) {
        if (MessageStartsWith(prefix, text)) return true;
    }
    return false;
}

}  // namespace

constexpr YouGate kExperienceAndDeathsGate{[] {
    PrefixFilter forms(kExperience, FixedPrefix);
    forms.Add("You have been slain");
    return forms;
}()};
constexpr YouGate kOtherEventsGate{[] {
    PrefixFilter forms(kLaterEvents, FixedPrefix);
    forms.Add("You have been ");
    return forms;
}()};
constexpr YouGate kFatigueAndWereGate{{"You are too fatigued", "You have to stop running", "You were "}};
constexpr YouGate kActionsAndStatesGate{[] {
    PrefixFilter forms(kActions, FixedPrefix);
    forms.Add("You are ");
    return forms;
}()};

bool ExperienceAndDeaths(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou) return false;  // every form of this step starts with "You"
    const std::string_view m = line.Message;
    for (const Fixed& rule : kExperience) {
        if (!LineStartsWith(rule.prefix, line)) continue;
        run.KeepLineCompatible(line);
        IncrementCount(run.session.Tables.gEvents, rule.key);
        if (rule.key == "Raise a level") {
            if (std::size_t p = FindInLine("Welcome to level ", line); p > 0) {
                run.session.Character.CharacterLevel = CutBefore(RestFrom(m, p + 17), "!");
            }
        }
        return true;
    }
    if (LineStartsWith("You have been slain", line)) {
        run.KeepLineCompatible(line);
        if (FindInLine("slain by ", line) > 0)
            IncrementWithZone(run.session.Tables.gMobs, CutBefore(RestFrom(m, 24), "!"), 1,
                              run.session.Character.CurrentZone);
        IncrementCount(run.session.Tables.gEvents, "Slain");
        return true;
    }
    return false;
}

bool OtherEvents(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    if (!line.StartsWithYou)
        return LineStartsWith("Welcome to EverQuest", line) &&
               CountFixed(run, line, kLaterEvents, kLaterEventsFilter);
    if (LineStartsWith("You have been ", line)) {
        std::string_view what = RestFrom(m, 15);
        what = FindInMessage(".", what) > 0 ? CutBefore(what, ".") : CutBefore(what, "!");
        if (MessageStartsWith("healed", what)) {
            what = "healed";
        } else if (StartsWithAny(what, {"struck", "slammed", "smitten", "lacerated"})) {
            what = "struck";
        }
        const std::string_view head = what.substr(0, 17);
        if (EqualsNoCase(head, "removed from the ") || EqualsNoCase(head, "given permission ") ||
            EqualsNoCase(head, "denied permission") || what == "struck") {
            return true;
        }
        run.KeepLineCompatible(line);
        IncrementCount(run.session.Tables.gEvents, CapitalizeFirst(what));
        return true;
    }
    return CountFixed(run, line, kLaterEvents, kLaterEventsFilter);
}

bool FatigueAndWere(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou) return false;  // every form of this step starts with "You"
    const std::string_view m = line.Message;
    if (StartsWithAny(m, {"You are too fatigued", "You have to stop running"})) {
        run.KeepLineCompatible(line);
        IncrementCount(run.session.Tables.gEvents, "Fatigued");
        return true;
    }
    if (!LineStartsWith("You were ", line) ||
        StartsWithAny(m, {"You were JUST KIDDING", "You were removed"})) {
        return false;
    }
    const std::string_view what = CutBefore(CutBefore(CutBefore(RestFrom(m, 10), " for "), "."), "!");
    if (FindInMessage("slammed", what) > 0 || FindInMessage("struck", what) > 0 ||
        FindInMessage("lacerated", what) > 0) {
        return true;
    }
    run.KeepLineCompatible(line);
    IncrementCount(run.session.Tables.gEvents, CapitalizeFirst(what));
    return true;
}

bool ActionsAndStates(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou)
        return LineStartsWith("Glug, glug, glug", line) && CountFixed(run, line, kActions, kActionsFilter);
    if (CountFixed(run, line, kActions, kActionsFilter)) return true;
    const std::string_view m = line.Message;
    if (!LineStartsWith("You are ", line)) return false;
    for (const Prefix& notState : kNotStates) {
        if (LineStartsWith(notState, line)) return false;
    }
    run.KeepLineCompatible(line);
    std::string state(CutBefore(CutBefore(RestFrom(m, 9), "."), "!"));
    if (MessageStartsWith("blinded", state)) state = "Blinded";
    std::string lower = state;
    for (char& c : lower)
        c = FoldCase(c);
    if (lower == "out of food and low on drink") {
        state = lower = "out of food";
    } else if (lower == "out of drink and low on food") {
        state = lower = "out of drink";
    }
    StatTable& events = run.session.Tables.gEvents;
    if (lower == "out of food and drink") {
        IncrementCount(events, "Out of food");
        IncrementCount(events, "Out of drink");
        return true;
    }
    for (std::string_view known : kStates) {
        if (lower == known) {
            IncrementCount(events, CapitalizeFirst(state));
            return true;
        }
    }
    // A state the game has that these tables do not: kept in the new log in both shrink modes.
    run.KeepLineSmallest(line);
    return true;
}

}  // namespace krav
