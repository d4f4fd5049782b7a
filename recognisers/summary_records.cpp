// The summary-record reader: restores the tables and the character's state that an earlier run wrote as
// records at the end of a shrunk log.
#include "recognisers/summary_records.h"

#include <array>

#include "engine/status_texts.h"
#include "engine/text.h"
#include "recognisers/character.h"

namespace krav {

namespace {

// Keys whose value is one text: everything after ": " is the value, " (" included.
constexpr std::array<std::string_view, 15> kTextKeys = {
    "Character", "Surname", "Class",   "Level", "Race",      "Guild",         "Bound",      "Zone",
    "Played",    "As of",   "Session", "On",    "Languages", "Start of File", "End of File"};

bool IsTextKey(std::string_view key) {
    for (std::string_view k : kTextKeys) {
        if (k == key) return true;
    }
    return false;
}

// Money totals of the loot table that older versions kept as rows.
bool IsMoneyKey(std::string_view value) {
    return value == "$Platinum" || value == "$Gold" || value == "$Silver" || value == "$Copper";
}

// The text after the first `sign` (found by the message search), or the text unchanged.
std::string_view AfterSign(std::string_view text, std::string_view sign) {
    std::size_t p = FindInMessage(sign, text);
    return p > 0 ? text.substr(p) : text;
}

std::string_view OrBlank(std::string_view comment) {
    return comment.empty() ? std::string_view(" ") : comment;
}

void Restore(RunContext& run, const LogLine& line, const SummaryRecord& r) {
    Session& s = run.session;
    CharacterState& c = s.Character;
    StatTables& t = s.Tables;
    auto u = [](std::string_view counter) { return NumberOrUnknown(counter); };
    const std::string_view key = r.key, value = r.value;
    if (key == "Character") {
        c.CharacterName = value;
        s.RefreshName();
        if (!run.State.CharacterRecordSeen) {
            run.State.CharacterRecordSeen = true;
            run.KeepLine(std::string(line.Timestamp) + " " + std::string(value) + " saved.");
        }
        c.SavedSeen = true;
    } else if (key == "Surname") {
        if (!TrimBlanks(value).empty()) {
            c.Surname = value;
            s.RefreshName();
        }
    } else if (key == "Class") {
        s.Info.eClass = value;
    } else if (key == "Level") {
        c.CharacterLevel = value;
    } else if (key == "Race") {
        s.Info.eRace = value;
    } else if (key == "Guild") {
        s.Info.eGuild = value;
    } else if (key == "Bound") {
        c.BindPoint = value;
    } else if (key == "Zone") {
        c.CurrentZone = value;
    } else if (key == "Played") {
        c.TimePlayed = value;
    } else if (key == "As of") {
        c.PlayedAsOf = value;
    } else if (key == "Session") {
        c.SessionTime = value;
    } else if (key == "On") {
        c.SessionAsOf = value;
    } else if (key == "Factions") {
        SetThreeAndZones(t.gFactions, value, u(AfterSign(r.n1, "-")), u(AfterSign(r.last, "+")), r.n2,
                         r.comment);
    } else if (key == "Consider Messages") {
        SetTwo(t.gCons, value, r.last, OrBlank(r.comment));
    } else if (key == "Skill Attempts") {
        SetTwo(t.gAttempts, value, u(r.n1), u(r.last));
    } else if (key == "Languages") {
        if (value != "unknown tongues") SetThree(t.gSkills, LanguageSkillName(s, value), "?", "unknown", "?");
    } else if (key == "Zones") {
        SetTwo(t.gZones, value, OrBlank(r.comment), u(r.last));
    } else if (key == "Mobs") {
        SetTwoAndZones(t.gMobs, value, u(r.n1), u(r.last), r.comment);
    } else if (key == "Loot") {
        if (IsMoneyKey(value)) return;
        const std::string bought = u(r.n1.empty() ? "0" : r.n1), sold = u(r.n2.empty() ? "0" : r.n2);
        SetFourAndZones(t.gLoot, StripItemLink(value), u(r.last), bought, sold, u(r.n3), r.comment);
    } else if (key == "Item Effects") {
        SetText(t.gFocus, value, u(r.last));
    } else if (key == "Vendors") {
        SetTwoAndZones(t.gVendors, value, u(r.n1), u(r.last), r.comment);
    } else if (key == "Spells") {
        if (!r.n1.empty()) {
            SetTwo(t.gSpells, value, u(r.n1), u(r.last));
        } else {
            SetTwo(t.gSpells, value, u(r.last), "0");
        }
    } else if (key == "Spell Results") {
        SetText(t.gResults, value, u(r.last));
    } else if (key == "Your Attacks") {
        SetThree(t.gYAttacks, value, u(r.n1), u(r.n2), u(r.last));
    } else if (key == "Mob's Attacks") {
        SetThree(t.gMAttacks, value, u(r.n1), u(r.n2), u(r.last));
    } else if (key == "Misc Actions") {
        SetText(t.gActions, value, u(r.last));
    } else if (key == "Misc Events") {
        SetText(t.gEvents, value, u(r.last));
    } else if (key == "End of File") {
        run.EndRecordSeen = true;
    } else if (key != "Start of File") {
        s.AddWarning("WARNING: Unknown KRAV log entry! (" + std::string(key) + ")");
    }
}

}  // namespace

SummaryRecord ParseSummaryRecord(std::string_view message) {
    SummaryRecord r;
    std::string_view rest = RestFrom(message, 8);
    if (std::size_t p = FindNoCase("// ", rest); p > 0) {
        r.comment = RestFrom(rest, p + 3);
        rest = rest.substr(0, p - 1);
    }
    if (std::size_t p = FindNoCase(": ", rest); p > 0) {
        r.key = rest.substr(0, p - 1);
        rest = RestFrom(rest, p + 2);
    } else {
        r.key = rest;
        rest = {};
    }
    if (IsTextKey(r.key)) {
        // One text, which may itself hold " (" (the time of "As of", a key such as "Hide (Evade Combat)").
        r.value = rest;
        return r;
    }
    // The values open at the last " (", so a key holding " (" keeps it.
    if (std::size_t p = rest.rfind(" ("); p != std::string_view::npos) {
        r.value = rest.substr(0, p);
        rest = RestFrom(rest, p + 3);
    } else {
        r.value = rest;
        rest = {};
    }
    for (std::string* n : {&r.n1, &r.n2, &r.n3}) {
        std::size_t p = rest.find(',');
        if (p == std::string_view::npos) break;
        *n = rest.substr(0, p);
        rest = RestFrom(rest, p + 2);
    }
    std::size_t close = rest.find(')');
    r.last = close == std::string_view::npos ? rest : rest.substr(0, close);
    if (r.comment == "* Many Zones") r.comment = "* ";
    return r;
}

bool ReadSummaryRecord(RunContext& run, const LogLine& line) {
    if (!LineStartsWith("{KRAV} ", line)) return false;
    const SummaryRecord record = ParseSummaryRecord(line.Message);
    // A compatible log carries the records of earlier shrinking runs on unchanged.
    if (run.Mode() == ShrinkMode::Compatible && record.key != "Start of File" &&
        record.key != "End of File") {
        run.KeepLineCompatible(line);
        if (!run.State.CompatibleWarningGiven) {
            run.State.CompatibleWarningGiven = true;
            run.session.AddWarning(texts::kMayNotBeCompatible);
        }
    }
    if (!record.value.empty() && record.value.front() == '\'') return true;
    Restore(run, line, record);
    return true;
}

}  // namespace krav
