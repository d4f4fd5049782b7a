// Kills, loot, money and vendors.
#include "recognisers/loot.h"

#include <optional>

#include "engine/text.h"

namespace krav {

namespace {

std::string_view Before(std::string_view text, std::size_t p) {
    return text.substr(0, p - 1);
}

// The merchant's row gains the current zone, or is made.
void TouchVendor(RunContext& run, std::string_view merchant) {
    StatTable& vendors = run.session.Tables.gVendors;
    const std::string& zone = run.session.Character.CurrentZone;
    if (std::string* cells = vendors.FindCells(merchant)) {
        ListAddTo(cells[3], zone);
    } else {
        vendors.NewRow({merchant, "0", "0", ListAdd("", zone)});
    }
}

// Counts one deal with a merchant in the given column, with the current zone.
void CountVendor(RunContext& run, std::string_view merchant, int col) {
    IncrementWithZone(run.session.Tables.gVendors, merchant, col, run.session.Character.CurrentZone);
}

void Sale(RunContext& run, const LogLine& line) {
    std::string_view m = RestFrom(line.Message, 13);
    const std::size_t from = FindInMessage(" from ", m);
    // Coin from corpses is not tallied, and such lines leave the new log.
    if (from == 0 || FindInMessage(" from the corpse", m) > 0) return;
    run.KeepLineCompatible(line);
    m = RestFrom(m, from + 6);
    std::string item;
    std::string_view merchant;
    if (std::size_t p = FindInMessage(" for the ", m); p > 0) {
        item = RestFrom(m, p + 9);
        merchant = Before(m, p);
    } else if (std::size_t q = FindInMessage(" for ", m); q > 0) {
        item = "*" + std::string(RestFrom(m, q + 5));
        merchant = Before(m, q);
    }
    if (merchant.empty()) return;
    if (!item.empty() && item.back() == '.') item.pop_back();
    item = CutBefore(item, "(s)");
    CountVendor(run, merchant, 2);
    IncrementSold(run.session.Tables.gLoot, item);
}

void Purchase(RunContext& run, const LogLine& line) {
    const std::string_view m = RestFrom(line.Message, 10);
    const std::size_t to = FindInMessage(" to ", m);
    if (to == 0) return;
    run.KeepLineCompatible(line);
    std::int64_t quantity = MoneyPerUnit(Before(m, to), run.State.OfferedPrice);
    CountVendor(run, CutBefore(RestFrom(m, to + 4), "."), 1);
    // The offer stays, so a second payment after one offer counts the same item again.
    const std::string& item = run.State.OfferedItem;
    if (item.empty()) return;
    if (quantity < 1) quantity = 1;
    AddBought(run.session.Tables.gLoot, item, quantity, run.session.Character.CurrentZone);
}

// "Tarn tells you, 'That'll be 2 gold 5 silver per Cloth Cap'." names the item and its unit price. The
// offer holds an apostrophe, so every search here looks at the whole message.
void PriceOffer(RunContext& run, std::string_view message, std::size_t tells) {
    RecogniserState& state = run.State;
    std::string_view offer = RestFrom(message, tells + 24);
    struct Separator {
        std::string_view text;
        bool plural;
    };
    for (const Separator& separator :
         {Separator{" for the ", false}, Separator{" for ", true}, Separator{" per ", false}}) {
        const std::size_t p = FindNoCase(separator.text, offer);
        if (p == 0) continue;
        state.OfferedPrice = MoneyToCopper(Before(offer, p));
        offer = RestFrom(offer, p + separator.text.size());
        if (std::size_t q = FindNoCase("'.", offer); q > 0) {
            state.OfferedItem = (separator.plural ? "*" : "") + std::string(Before(offer, q));
        }
        break;
    }
    if (std::size_t rent = FindNoCase(", and the rent ", state.OfferedItem); rent > 0) {
        state.OfferedItem.resize(rent - 1);
    }
}

// Today's client names the corpse after the item: "Ruby from Lord Nagafen's corpse".
bool FromCorpse(std::string_view item) {
    static constexpr std::string_view kCorpse = "'s corpse";
    return item.size() >= kCorpse.size() && EqualsNoCase(item.substr(item.size() - kCorpse.size()), kCorpse);
}

// The item of such a text is the text before its last " from "; any other text is left as it is.
std::string_view WithoutCorpse(std::string_view item) {
    if (!FromCorpse(item)) return item;
    static constexpr std::string_view kFrom = " from ";
    for (std::size_t at = item.size(); at-- > 0;) {
        if (EqualsNoCase(item.substr(at, kFrom.size()), kFrom)) return item.substr(0, at);
    }
    return item;
}

// Today's client, for an item that goes on at once: "You looted a Ruby from a gnoll's corpse and sold it for
// 2 gold.", "... to create ...", "... and stored it in ...". The looted item, cut as the loot lines' are
// ("*" in front of a quantity), or nothing for any other message.
[[gnu::noinline]] std::optional<std::string> LootedAndPassedOn(const LogLine& line) {
    static constexpr Needle kPassedOn[] = {"'s corpse and sold it", "'s corpse to create",
                                           "'s corpse and stored it"};
    for (const Needle& passedOn : kPassedOn) {
        const std::size_t at = FindInLine(passedOn, line);
        if (at <= 12) continue;
        const std::string_view looted = WithoutCorpse(Mid(line.Message, 12, at - 12 + 9));
        if (MessageStartsWith("a ", looted)) return std::string(RestFrom(looted, 3));
        if (MessageStartsWith("an ", looted)) return std::string(RestFrom(looted, 4));
        return "*" + std::string(looted);
    }
    return std::nullopt;
}

}  // namespace

constexpr YouGate kSlainMobGate{{"You have slain "}};
constexpr YouGate kMoneyAndItemsGate{{"You receive ", "You give ", "You just dropped your ", "You looted "}};

bool SlainMob(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou) return false;  // every form of this step starts with "You"
    if (!LineStartsWith("You have slain ", line)) return false;
    const std::string_view mob = CutBefore(RestFrom(line.Message, 16), "!");
    IncrementWithZone(run.session.Tables.gMobs, mob, 2, run.session.Character.CurrentZone);
    run.State.PendingSpecial.clear();
    run.KeepLineCompatible(line);
    return true;
}

bool MoneyAndItems(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou && !line.Message.starts_with("--")) return false;
    const std::string_view m = line.Message;
    const std::string& zone = run.session.Character.CurrentZone;
    if (LineStartsWith("You receive ", line)) {
        Sale(run, line);
    } else if (LineStartsWith("You give ", line)) {
        Purchase(run, line);
    } else if (LineStartsWith("--You have looted a ", line)) {
        const std::string_view item = WithoutCorpse(CutBefore(RestFrom(m, 21), ".--"));
        IncrementLooted(run.session.Tables.gLoot, StripItemLink(item), zone);
        run.KeepLineCompatible(line);
    } else if (LineStartsWith("--You have looted an ", line) &&
               FromCorpse(CutBefore(RestFrom(m, 22), ".--"))) {
        // Today's client: "--You have looted an Avian Key from a gnoll's corpse.--", a single item.
        const std::string_view item = WithoutCorpse(CutBefore(RestFrom(m, 22), ".--"));
        IncrementLooted(run.session.Tables.gLoot, StripItemLink(item), zone);
        run.KeepLineCompatible(line);
    } else if (LineStartsWith("--You have looted ", line)) {
        const std::string item = "*" + std::string(WithoutCorpse(CutBefore(RestFrom(m, 19), ".--")));
        IncrementLooted(run.session.Tables.gLoot, StripItemLink(item), zone);
        run.KeepLineCompatible(line);
    } else if (std::optional<std::string> item;
               LineStartsWith("You looted ", line) && (item = LootedAndPassedOn(line))) {
        IncrementLooted(run.session.Tables.gLoot, StripItemLink(*item), zone);
        run.KeepLineCompatible(line);
    } else if (LineStartsWith("You just dropped your ", line)) {
        IncrementDropped(run.session.Tables.gLoot, StripItemLink(CutBefore(RestFrom(m, 23), ".")), "");
        run.KeepLineCompatible(line);
    } else {
        return false;
    }
    return true;
}

bool VendorDialogue(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    // Every text searched here holds an apostrophe, so the search takes in the whole message, and a message
    // without one holds none of them. The greeting names the character; it is built again only when the
    // name changes.
    if (!line.HasApostrophe) return false;
    RecogniserState& state = run.State;
    if (state.GreetingName != run.session.Character.CharacterName || state.Greeting.empty()) {
        state.GreetingName = run.session.Character.CharacterName;
        state.Greeting = " says 'Welcome to my shop, " + state.GreetingName;
        state.GreetingNeedle = Needle(std::string_view(state.Greeting));
    }
    if (FindInLine(state.GreetingNeedle, line) > 0) {
        run.State.OfferedItem.clear();
        TouchVendor(run, Before(m, FindNoCase(" says ", m)));
    } else if (FindInLine(" tells you, 'That'll be ", line) > 0) {
        const std::size_t tells = FindNoCase(" tells you, ", m);
        PriceOffer(run, m, tells);
        TouchVendor(run, Before(m, tells));
    } else if (FindInLine(" tells you, I'll give you ", line) > 0) {
        TouchVendor(run, Before(m, FindNoCase(" tells you, ", m)));
    } else {
        return false;
    }
    run.KeepLineCompatible(line);
    return true;
}

}  // namespace krav
