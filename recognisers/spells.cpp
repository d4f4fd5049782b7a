// Spells and spell results.
#include "recognisers/spells.h"

#include <utility>

#include "engine/text.h"

namespace krav {

namespace {

// "Your spell is interrupted." -> "Interrupted"; both forms of the failed hold count as one.
std::string SpellResult(std::string_view text) {
    if (text.substr(0, 3) == "is ") text.remove_prefix(3);
    text = CutBefore(CutBefore(text, "!"), ".");
    if (text == "would not have taken hold on your target" || text == "did not take hold") {
        text = "wouldn't take hold";
    }
    return CapitalizeFirst(text);
}

// Texts that look like an item's effect but are the game's own messages.
bool IsItemEffect(const LogLine& line) {
    const std::string_view m = line.Message;
    static constexpr Needle kNotEffects[] = {" XML ", " Current Setting", " Location ", " spell ", " fades"};
    for (const Needle& notEffect : kNotEffects) {
        if (FindInLine(notEffect, line) > 0) return false;
    }
    // The item's name starts with a capital; a message without a sixth character has nothing to fail.
    const char first = m.size() > 5 ? m[5] : '\0';
    return UpperCase(first) == first;
}

// A spell of the player's that its target resisted.
void CountResisted(StatTables& tables, std::string_view spell) {
    if (std::string* cells = tables.gSpells.FindCells(spell)) {
        IncreaseText(cells[2]);
    } else {
        tables.gSpells.NewRow({spell, "?", "1"});
    }
    IncrementCount(tables.gResults, "Resisted");
}

// The spell of "You resist the Lull spell!", from the text after "the ".
std::string_view ResistedSpell(std::string_view text) {
    return CutBefore(CutBefore(CutBefore(text, " spell"), "."), "!");
}

// The forms today's client writes for some of the outcomes above, tried after them all: none of those takes
// their lines (an item effect never holds " spell "), so their place changes nothing, and out of the way
// they cost the lines that other forms take nothing.
// "Your Lull spell is interrupted." and "Your Lull spell fizzles!" are "Your spell is interrupted." and
// "Your spell fizzles!" with the spell named ("Your pet's Lull spell ..." is the pet's); "You resist a
// gnoll's Lull!" (or "You resist Lord Bob's Lull!") is "You resist the Lull spell!" with the caster named.
[[gnu::noinline]] bool TodaysSpellOutcomes(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    StatTables& tables = run.session.Tables;
    if (LineStartsWith("Your ", line)) {
        if (LineStartsWith("Your pet's ", line)) return false;  // the pet's spell, not the player's
        static constexpr std::pair<std::string_view, std::string_view> kOutcomes[] = {
            {" spell is interrupted.", "Interrupted"}, {" spell fizzles!", "Fizzles"}};
        for (const auto& [ending, outcome] : kOutcomes) {
            // The last two bytes rule out the most "Your " lines before the ending is compared.
            if (m.size() > 5 + ending.size() && m.back() == ending.back() &&
                FoldCase(m[m.size() - 2]) == ending[ending.size() - 2] &&
                EqualsNoCase(m.substr(m.size() - ending.size()), ending)) {
                run.KeepLineCompatible(line);
                IncrementCount(tables.gResults, outcome);
                return true;
            }
        }
        return false;
    }
    if (LineStartsWith("You resist ", line) && m.ends_with('!')) {
        if (const std::size_t caster = FindNoCase("'s ", m); caster > 0) {
            run.KeepLineCompatible(line);
            IncrementCount(tables.gActions, "Resist " + std::string(ResistedSpell(RestFrom(m, caster + 3))));
            return true;
        }
    }
    return false;
}

}  // namespace

constexpr YouGate kCastingAndMemorizingGate{{"You begin casting ", "You have finished memorizing "}};
constexpr YouGate kFinishingBlowsGate{{"You deliver a ", "You perform an "}};
// "Your " takes in every other "Your " form; the character's own spell line starts with the name.
constexpr YouGate kSpellOutcomesGate{
    {"Your ", "You regain your concentration ", "You are too distracted to cast a spell",
     "You are missing some required spell components", "You resist "},
    false,
    true};

bool CastingAndMemorizing(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou) return false;  // every form of this step starts with "You"
    const std::string_view m = line.Message;
    StatTable& spells = run.session.Tables.gSpells;
    if (LineStartsWith("You begin casting ", line)) {
        run.KeepLineCompatible(line);
        const std::string_view spell = CutBefore(RestFrom(m, 19), ".");
        if (std::string* cells = spells.FindCells(spell)) {
            IncreaseText(cells[1]);
        } else {
            spells.NewRow({spell, "1", "0"});
        }
        return true;
    }
    if (LineStartsWith("You have finished memorizing ", line)) {
        run.KeepLineCompatible(line);
        const std::string_view spell = CutBefore(RestFrom(m, 30), ".");
        if (spells.FindCells(spell) == nullptr) spells.NewRow({spell, "0", "0"});
        return true;
    }
    return false;
}

bool FinishingBlows(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou) return false;  // every form of this step starts with "You"
    const std::string_view m = line.Message;
    std::string key;
    if (LineStartsWith("You deliver a ", line)) {
        key = "Deliver a " + CapitalizeWords(CutBefore(RestFrom(m, 15), "!"));
    } else if (LineStartsWith("You perform an ", line)) {
        key = "Perform an " + CapitalizeWords(CutBefore(RestFrom(m, 16), "!"));
    } else {
        return false;
    }
    run.KeepLineCompatible(line);
    IncrementCount(run.session.Tables.gResults, key);
    return true;
}

bool SpellOutcomes(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    StatTables& tables = run.session.Tables;
    const std::string& name = run.session.Character.CharacterName;
    // The first letters settle it for almost every line before the whole name is compared.
    const bool ownSpell = !name.empty() && !m.empty() && FoldCase(m[0]) == FoldCase(name[0]) &&
                          MessageStartsWith(name, "'s spell ", m);
    // Every other form starts with "You".
    if (!line.StartsWithYou && !ownSpell) return false;
    if (LineStartsWith("Your spell ", line)) {
        run.KeepLineCompatible(line);
        IncrementCount(tables.gResults, SpellResult(RestFrom(m, 12)));
    } else if (ownSpell) {
        run.KeepLineCompatible(line);
        IncrementCount(tables.gResults, SpellResult(RestFrom(m, name.size() + 10)));
    } else if (LineStartsWith("Your target resisted the ", line)) {
        run.KeepLineCompatible(line);
        CountResisted(tables, CutBefore(CutBefore(RestFrom(m, 26), " spell."), "."));
    } else if (LineStartsWith("Your target cannot be ", line)) {
        run.KeepLineCompatible(line);
        IncrementCount(tables.gResults, "Immune");
    } else if (LineStartsWith("Your ", line) && IsItemEffect(line)) {
        run.KeepLineCompatible(line);
        IncrementCount(tables.gFocus, CutBefore(RestFrom(m, 6), "."));
    } else if (LineStartsWith("Your Adventurer Stone glows with more power", line)) {
        run.KeepLineCompatible(line);
        IncrementCount(tables.gFocus, "Adventurer Stone glows with more power");
    } else if (LineStartsWith("You regain your concentration ", line)) {
        run.KeepLineCompatible(line);
        IncrementCount(tables.gResults, "Continue casting");
    } else if (LineStartsWith("You are too distracted to cast a spell", line)) {
        run.KeepLineCompatible(line);
        IncrementCount(tables.gResults, "Too distracted");
    } else if (LineStartsWith("You are missing some required spell components", line)) {
        run.KeepLineCompatible(line);
        IncrementCount(tables.gResults, "Missing components");
    } else if (LineStartsWith("You resist the ", line)) {
        run.KeepLineCompatible(line);
        IncrementCount(tables.gActions, "Resist " + std::string(ResistedSpell(RestFrom(m, 16))));
    } else if (LineStartsWith("Your ", line) || LineStartsWith("You resist ", line)) {
        return TodaysSpellOutcomes(run, line);
    } else {
        return false;
    }
    return true;
}

// Today's client names the target that resisted: "A gnoll resisted your Lull!" is "Your target resisted the
// Lull spell.". The classifier tries it after every other form, so that it never takes their lines.
bool TargetResistedByName(RunContext& run, const LogLine& line) {
    static constexpr Needle kResisted = " resisted your ";
    if (!line.Message.ends_with('!')) return false;
    const std::size_t at = FindInLine(kResisted, line);
    if (at == 0) return false;
    run.KeepLineCompatible(line);
    CountResisted(run.session.Tables, CutBefore(RestFrom(line.Message, at + kResisted.text.size()), "!"));
    return true;
}

}  // namespace krav
