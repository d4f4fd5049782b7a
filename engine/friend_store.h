// The players that who lists name, kept until they are written to the friends file: each player once, in the
// order first seen, with the values of its latest entry. The same texts come back again and again (classes,
// races, guilds, the date of a list), so every distinct text is stored once and a player is a row of numbers.
// Names are hashed with letters A to Z folded, so that a name that differs from another only in their case
// is met on the way to its own slot.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/large_pages.h"

namespace krav {

// Texts kept once each and known by number: a who list's classes, races, guilds and dates come back again
// and again.
class TextPool {
public:
    // The number of the text, the text stored when new.
    std::uint32_t Intern(std::string_view text);
    std::string_view Text(std::uint32_t id) const {
        return {chars_.data() + spans_[id].offset, spans_[id].length};
    }
    std::size_t Bytes() const { return chars_.size(); }

    struct Span {
        std::uint32_t offset, length;
    };
    // The text's place at the end of `in`, where it is stored.
    static Span Store(platform::LargeString& in, std::string_view text);

private:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    struct Slot {
        std::uint32_t hash = 0, id = kNone;
    };
    platform::LargeString chars_;        // each distinct text once, one after another
    platform::LargeVector<Span> spans_;  // a text's place in chars_, by its number
    platform::LargeVector<Slot> slots_;  // open addressing over the texts
};

// Room for one more entry in an open-addressing table of slots with a hash and an id (none: all bits set),
// at most half full: the table doubled, its entries placed again. (Not "slots": Qt takes that word.)
template <typename AnySlot>
inline void MakeRoomForOne(platform::LargeVector<AnySlot>& table, std::size_t used) {
    constexpr std::uint32_t kNone = ~std::uint32_t{0};
    if (2 * (used + 1) <= table.size()) return;
    platform::LargeVector<AnySlot> old(std::max<std::size_t>(256, 2 * table.size()));
    old.swap(table);
    const std::size_t mask = table.size() - 1;
    for (const AnySlot& slot : old) {
        if (slot.id == kNone) continue;
        std::size_t i = slot.hash & mask;
        while (table[i].id != kNone)
            i = (i + 1) & mask;
        table[i] = slot;
    }
}

class FriendStore {
public:
    static constexpr std::size_t kValueCount = 6;
    using Values = std::array<std::string_view, kValueCount>;
    // The values by number: one text, one number, within this store.
    using ValueIds = std::array<std::uint32_t, kValueCount>;

    // The player's latest values; a player not held yet goes at the end. Names compare exactly. True when the
    // player is new.
    bool Set(std::string_view name, const Values& values);
    // The numbers of the values of the player held last (not empty).
    const ValueIds& NewestIds() const { return players_.back().values; }
    // A player's entries reach Set some way after they are read, and a log of many players misses the
    // cache on every name: AskSlot, some entries ahead of the name's Set, fetches its slot, and AskPlayer, a
    // few entries later, the player and name that slot leads to. Neither changes anything.
    static std::uint32_t HashOf(std::string_view name);
    void AskSlot(std::uint32_t hash) const;
    void AskPlayer(std::uint32_t hash) const;
    // Whether two of the names held differ only in the case of letters A to Z: the friends file takes them
    // for one player.
    bool NamesCollide() const { return namesCollide_; }

    std::size_t size() const { return players_.size(); }
    bool empty() const { return players_.empty(); }
    std::size_t TextBytes() const { return names_.size() + texts_.Bytes(); }
    void clear();

    // Bit v set: values[v] was set to another text after the player's first entry.
    using Changes = std::uint8_t;
    static_assert(kValueCount <= 8);
    // visit(name, values, changed, ids) for each player in the order first seen, `changed` its Changes and
    // `ids` the values' numbers. A value changed after the first entry was mostly stored later, far from the
    // player's others (a who list's date is a text of its own): its text is asked for some players ahead.
    template <typename Visit>
    void ForEach(Visit&& visit) const {
        constexpr std::size_t kAhead = 8;
        Values values;
        for (std::size_t p = 0; p < players_.size(); ++p) {
            if (p + kAhead < players_.size()) {
                const Player& ahead = players_[p + kAhead];
                for (std::size_t i = 0; i < kValueCount; ++i)
                    if ((ahead.changed >> i) & 1) platform::Prefetch(Text(ahead.values[i]).data());
            }
            const Player& player = players_[p];
            for (std::size_t i = 0; i < kValueCount; ++i)
                values[i] = Text(player.values[i]);
            visit(std::string_view(names_.data() + player.name.offset, player.name.length), values,
                  player.changed, player.values);
        }
    }

private:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    using Span = TextPool::Span;
    struct Player {
        Span name;
        ValueIds values;
        Changes changed = 0;
    };
    // A player's slot holds its name's place too, so that a name found by its hash is compared without a
    // look at the player first.
    struct PlayerSlot {
        std::uint32_t hash = 0, id = kNone;
        Span name{};
    };

    std::string_view Text(std::uint32_t id) const { return texts_.Text(id); }

    // A batch holds up to 200,000 players, each looked up in no order: large pages.
    // The names one after another, and the value texts apart, so that the ones that entries are compared
    // with (classes, levels, guilds, and a date for each who list) stay in the cache rather than spread
    // among the names.
    platform::LargeString names_;
    TextPool texts_;
    // Open addressing over the names; a slot's id is the player's place.
    platform::LargeVector<PlayerSlot> playerSlots_;
    platform::LargeVector<Player> players_;
    // The text each value had last: a who list repeats the date, and players their class, race and guild.
    std::array<std::uint32_t, kValueCount> recent_{};
    bool namesCollide_ = false;
};

}  // namespace krav
