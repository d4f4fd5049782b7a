// Combat.
#include "recognisers/combat.h"

#include <optional>

#include "engine/text.h"

namespace krav {

namespace {

// The damage of "... for N points of damage": the text from `from` up to " points", "0" when it has no end.
std::string_view Damage(const LogLine& line, std::size_t from) {
    // The message search over the rest of the message from `from`, which lies in the part before any quoted
    // speech: that part ends where the line's own does, so it is cut there without looking again.
    std::string_view rest = RestFrom(line.Message, from);
    const std::size_t start = from - 1, end = line.Unquoted.size();
    if (end < line.Message.size() && end + 1 < start + rest.size()) rest = rest.substr(0, end - start);
    const std::size_t points = FindNoCase(" points", rest);
    return points > 0 ? rest.substr(0, points - 1) : std::string_view("0");
}

// A hit is a message that holds " points of damage"; its damage is Damage(line, from). A message holding
// " for 1 point of damage" instead is a hit of "1". Nothing when the message holds neither.
std::optional<std::string_view> HitDamage(const LogLine& line, std::size_t from) {
    static constexpr std::string_view kPoints = " points of damage";
    // Almost always the number is followed at once by " points of damage". Then the message does hold it,
    // and no earlier " points" can end the number, which has no blank: it is what Damage would cut, as long
    // as it lies within the longest rest a cut takes.
    const std::string_view searched = line.Unquoted;
    const std::size_t start = from - 1;
    if (start <= searched.size()) {
        const std::size_t blank = searched.find(' ', start);
        if (blank != std::string_view::npos && blank - start + 7 <= kMaxCut &&
            blank + kPoints.size() <= searched.size() &&
            EqualsNoCase(searched.substr(blank, kPoints.size()), kPoints)) {
            return searched.substr(start, blank - start);
        }
    }
    if (FindNoCase(kPoints, searched) == 0) {
        // A hit of one point says so in the singular.
        if (FindNoCase(" for 1 point of damage", searched) > 0) return "1";
        return std::nullopt;
    }
    return Damage(line, from);
}

// A number as the game and this table write it: digits alone, no leading zero, short of the 64-bit limit.
bool PlainNumber(std::string_view text) {
    if (text.empty() || text.size() > 18 || (text[0] == '0' && text.size() > 1)) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// FindInLine(" YOU for ", line), from the message's first " for ": when " YOU" stands before it, that is the
// first " YOU for " too, since an earlier one would hold an earlier " for ".
std::size_t YouForAt(const LogLine& line) {
    static constexpr std::string_view kYou = " YOU";
    const std::size_t forAt = FirstFor(line);
    if (forAt == 0) return 0;
    if (forAt > kYou.size() && EqualsNoCase(line.Unquoted.substr(forAt - 1 - kYou.size(), kYou.size()), kYou))
        return forAt - kYou.size();
    return FindInLine(" YOU for ", line);
}

// Stores the damage of a hit when it is at least the largest known; "?" and other texts compare as 0.
void KeepLargest(std::string& largest, std::string_view damage) {
    // Two plain numbers compare by their length, then digit by digit, without being read.
    const bool atLeast =
        PlainNumber(damage) && PlainNumber(largest)
            ? (damage.size() != largest.size() ? damage.size() > largest.size() : damage >= largest)
            : ReadInteger(damage, 0) >= ReadInteger(largest, 0);
    if (atLeast && damage != largest) largest = damage;
}

void CountAttack(StatTable& table, std::string_view kind, bool hit, std::string_view damage) {
    if (std::string* cells = table.FindCells(kind)) {
        IncreaseText(cells[hit ? 2 : 1]);
        if (hit) KeepLargest(cells[3], damage);
    } else {
        table.NewRow({kind, hit ? "0" : "1", hit ? "1" : "0", hit ? damage : "?"});
    }
}

// Today's client writes a miss that the target defended as "You try to slash a gnoll, but a gnoll
// dodges!" (or parries, blocks, ripostes): a miss like ", but miss!".
bool DefendedByTarget(const LogLine& line) {
    if (FindNoCase(", but ", line.Unquoted) == 0) return false;
    for (std::string_view defence : {" dodges!", " parries!", " blocks!", " ripostes!"}) {
        if (line.Unquoted.size() > defence.size() &&
            EqualsNoCase(line.Unquoted.substr(line.Unquoted.size() - defence.size()), defence)) {
            return true;
        }
    }
    return false;
}

struct Special {
    Prefix firstPerson;            // "You score a "
    std::string_view thirdPerson;  // after the character's name: " Scores a "
    std::string_view key;          // "Score a "
    bool events;                   // counted in the events rather than the actions
    bool pending;                  // qualifies the next attack
};

constexpr Special kSpecials[] = {
    {"You go into a ", " goes into a ", "Go into a ", true, false},
    {"You score a ", " Scores a ", "Score a ", false, true},
    {"You land a ", " Lands a ", "Land a ", false, true},
};

// "Bites" -> "Bite", "Bashes" -> "Bash", "Pierces" -> "Pierce", in place.
void ToBaseForm(std::string& kind) {
    if (kind.size() >= 3 && kind.ends_with("hes")) kind.resize(kind.size() - 2);
    if (!kind.empty() && kind.back() == 's') kind.pop_back();
}

}  // namespace

// The first-person forms, and the third-person ones while the character's name starts with "You".
constexpr YouGate kSpecialAttacksGate{
    PrefixFilter(kSpecials, [](const Special& s) -> const Prefix& { return s.firstPerson; }), false, true};

bool AutoAttackOff(RunContext& run, const LogLine& line) {
    if (!LineStartsWith("Auto attack is off", line)) return false;
    run.KeepLineCompatible(line);
    run.State.PendingSpecial.clear();
    return true;
}

bool SpecialAttacks(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    const std::string& name = run.session.Character.CharacterName;
    // The first-person forms start with "You", the others with the character's name.
    const bool byName = !name.empty() && MessageStartsWith(name, m);
    if (!line.StartsWithYou && !byName) return false;
    // Both forms of each special, in order: first person, then the character's name.
    for (const Special& special : kSpecials) {
        for (int form = 0; form < 2; ++form) {
            std::size_t from = 0;
            if (form == 0 && LineStartsWith(special.firstPerson, line)) {
                from = special.firstPerson.text.size() + 1;
            } else if (form == 1 && byName && MessageStartsWith(name, special.thirdPerson, m)) {
                from = name.size() + special.thirdPerson.size() + 1;
            } else {
                continue;
            }
            run.KeepLineCompatible(line);
            const std::string_view what = CutBefore(RestFrom(m, from), "!");
            StatTable& table = special.events ? run.session.Tables.gEvents : run.session.Tables.gActions;
            IncrementCount(table, std::string(special.key) + CapitalizeWords(what));
            if (special.pending) run.State.PendingSpecial = what;
            return true;
        }
    }
    return false;
}

bool OwnAttack(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    std::string kind;
    std::string_view damage = "0";
    bool hit = false;
    // Most messages of the "You " block are hits, which hold both texts: the " for " is mostly found by the
    // read-ahead already, and the pairs are not asked first.
    const std::size_t forAt = FirstFor(line);
    const std::optional<std::string_view> hitDamage = forAt > 0 ? HitDamage(line, forAt + 5) : std::nullopt;
    if (hitDamage) {
        hit = true;
        const std::string_view rest = RestFrom(m, 5);
        kind = rest.substr(0, rest.find(' '));
        damage = *hitDamage;
    } else if (LineStartsWith("You try to ", line) &&
               (FindNoCase(", but miss!", line.Unquoted) > 0 || DefendedByTarget(line))) {
        kind = CutBefore(RestFrom(m, 12), " ");
    } else {
        return false;
    }
    CapitalizeFirstOf(kind);
    if (!run.State.PendingSpecial.empty()) kind += " (" + CapitalizeWords(run.State.PendingSpecial) + ")";
    run.KeepLineCompatible(line);
    CountAttack(run.session.Tables.gYAttacks, TrimBlanks(kind), hit, damage);
    return true;
}

bool AttacksOnPlayer(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    StatTables& tables = run.session.Tables;
    if (std::size_t p = FindInLine(" YOU, but YOU ", line); p > 0) {
        run.State.PendingSpecial.clear();
        const std::string_view defence = CutBefore(CutBefore(RestFrom(m, p + 14), "."), "!");
        if (EqualsNoCase(defence, "are protected") || EqualsNoCase(defence, "are invulnerable") ||
            EqualsNoCase(defence, "are already invisible")) {
            return true;
        }
        run.KeepLineCompatible(line);
        IncrementCount(tables.gActions, CapitalizeFirst(defence));
        return true;
    }
    if (std::size_t p = YouForAt(line); p > 0) {
        run.State.PendingSpecial.clear();
        const std::optional<std::string_view> damage = HitDamage(line, p + 9);
        if (!damage) return true;
        run.KeepLineCompatible(line);
        std::string kind(LastWord(m.substr(0, p - 1)));
        CapitalizeFirstOf(kind);
        ToBaseForm(kind);
        if (EqualsNoCase(kind, "healed")) {
            IncrementCount(tables.gEvents, CapitalizeFirst(kind));
        } else {
            CountAttack(tables.gMAttacks, kind, true, *damage);
        }
        return true;
    }
    if (std::size_t p = FindInLine(" tries to ", line); p > 0) {
        run.State.PendingSpecial.clear();
        static constexpr std::string_view kMisses = " YOU, but misses";
        const std::size_t q = FindInLine(kMisses, line);
        if (q == 0) return true;
        run.KeepLineCompatible(line);
        // The attack is cut from the rest of the message before the first " YOU, but misses" in it. The
        // search just found the first one of the whole message: when it lies within the rest, it is that one.
        const std::string_view rest = RestFrom(m, p + 10);
        const std::size_t restStart = p + 9, found = q - 1;  // both counted from 0
        const std::string_view attack =
            found >= restStart && found - restStart + kMisses.size() <= rest.size()
                ? rest.substr(0, found - restStart)
                : CutBefore(rest, kMisses);
        CountAttack(tables.gMAttacks, CapitalizeFirst(attack), false, "?");
        return true;
    }
    return false;
}

}  // namespace krav
