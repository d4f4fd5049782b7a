// Factions and consider messages.
#include "recognisers/factions.h"

#include "engine/text.h"

namespace krav {

namespace {

enum class Ending { Better, Worse, Max, Min };

struct FactionEnding {
    Needle text;
    Ending kind;
};

constexpr FactionEnding kEndings[] = {{" got better", Ending::Better},
                                      {" got worse", Ending::Worse},
                                      {" could not possibly get any better", Ending::Max},
                                      {" could not possibly get any worse", Ending::Min}};
static_assert(kEndings[0].kind == Ending::Better && kEndings[1].kind == Ending::Worse);

struct Consider {
    Needle test;
    std::string_view cut;
    std::string_view attitude;  // empty: the text after "regards you " up to "--"
};

constexpr Consider kConsiders[] = {
    {"regards you as an ally", "regards", "ally"},
    {"looks upon you", "looks", "warmly"},
    {"kindly considers", "kindly", "kindly"},
    {"judges you", "judges", "amiably"},
    {"regards you indifferently", "regards", "indifferently"},
    {"looks your way", "looks", "apprehensively"},
    {"glowers at you", "glowers", "dubiously"},
    {"glares at you", "glares", "threateningly"},
    {"scowls at you", "scowls", "ready to attack"},
    {"regards you ", "regards", ""},
};

}  // namespace

constexpr YouGate kFactionStandingGate{{"Your faction standing with"}};

bool FactionStanding(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou) return false;  // every form of this step starts with "You"
    const std::string_view m = line.Message;
    if (!LineStartsWith("Your faction standing with", line)) return false;
    run.KeepLineCompatible(line);

    const FactionEnding* ending = nullptr;
    std::size_t p = 0;
    for (const FactionEnding& e : kEndings) {
        if ((p = FindInLine(e.text, line)) > 0) {
            ending = &e;
            break;
        }
    }
    if (ending == nullptr) {
        // Today's client: "Your faction standing with Merchants of Tarn has been adjusted by -5." A change
        // above 0 is a "got better", below 0 a "got worse"; no change counts nothing.
        static constexpr Needle kAdjusted = " has been adjusted by ";
        if ((p = FindInLine(kAdjusted, line)) == 0) return true;
        const std::int64_t by = ReadInteger(CutBefore(RestFrom(m, p + kAdjusted.text.size()), "."), 0);
        if (by == 0) return true;
        ending = &kEndings[by > 0 ? 0 : 1];
    }
    const std::string_view name = TrimBlanks(p > 27 ? Mid(m, 28, p - 27) : std::string_view());
    const bool change = ending->kind == Ending::Better || ending->kind == Ending::Worse;
    if (!change && name.empty()) return true;

    StatTable& factions = run.session.Tables.gFactions;
    const std::string& zone = run.session.Character.CurrentZone;
    int row = factions.FindRow(name);
    if (row == 0) row = factions.FindRow(RemoveSpaces(name));
    if (row == 0) {
        if (change) {
            const bool better = ending->kind == Ending::Better;
            factions.NewRow({name, better ? "0" : "1", better ? "1" : "0", " ", ListAdd("", zone)});
        } else {
            factions.NewRow({name, "?", "?", ending->kind == Ending::Max ? "Max" : "Min", ListAdd("", zone)});
        }
        return true;
    }
    // The key takes the name as now written, so a blank-less key gains its blanks.
    factions.SetCell(0, row, name);
    const std::string& limit = factions.Cell(3, row);
    if (change) {
        const int col = ending->kind == Ending::Better ? 2 : 1;
        factions.IncreaseCell(col, row);
        // Moving past a limit already reported is a contradiction, kept for the rest of the run.
        if ((ending->kind == Ending::Better && limit == "Max") ||
            (ending->kind == Ending::Worse && limit == "Min")) {
            factions.SetCell(3, row, "Err");
        } else if (limit != "Err") {
            factions.SetCell(3, row, " ");
        }
    } else if (limit != "Err") {
        factions.SetCell(3, row, ending->kind == Ending::Max ? "Max" : "Min");
    }
    factions.SetCell(4, row, ListAdd(factions.Cell(4, row), zone));
    return true;
}

bool ConsiderMessages(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    for (const Consider& rule : kConsiders) {
        const std::size_t at = FindInLine(rule.test, line);
        if (at == 0) continue;
        // Creatures without a proper name ("a rat", "the guard") are not recorded, nor kept in the log.
        if (!IsProperName(m)) return true;
        const std::string_view npc = TrimBlanks(CutBefore(m, rule.cut));
        std::string_view attitude = rule.attitude;
        if (attitude.empty()) {
            const std::size_t from = at + rule.test.text.size();
            const std::size_t dashes = FindInLine("--", line);
            attitude = dashes > from ? Mid(m, from, dashes - from) : std::string_view();
        }
        run.KeepLineCompatible(line);
        StatTable& cons = run.session.Tables.gCons;
        const std::string& zone = run.session.Character.CurrentZone;
        if (std::string* cells = cons.FindCells(npc)) {
            cells[0] = npc;  // the key as now written: its letter case may differ
            cells[1] = attitude;
            ListAddTo(cells[2], zone);
        } else {
            cons.NewRow({npc, attitude, ListAdd("", zone)});
        }
        return true;
    }
    return false;
}

}  // namespace krav
