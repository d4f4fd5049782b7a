// Players of who lists with their values as numbers of distinct texts.
#include "engine/friend_store.h"

#include <limits>
#include <stdexcept>

#include "engine/text.h"
#include "platform/folded_bytes.h"

namespace krav {

namespace {

// Eight bytes at a time, letters A to Z folded when `fold` (the names) and as they stand otherwise.
template <bool fold>
std::uint32_t Hash(std::string_view text) {
    constexpr std::uint64_t kMix = 0x9e3779b97f4a7c15ull;
    std::uint64_t h = 0xcbf29ce484222325ull ^ text.size();
    std::size_t i = 0;
    auto mix = [&](std::uint64_t eight) {
        if constexpr (fold) eight = platform::FoldEight(eight);
        h = (h ^ eight) * kMix;
        h ^= h >> 29;
    };
    for (; i + 8 <= text.size(); i += 8)
        mix(platform::LoadEight(text.data() + i));
    mix(platform::LoadTail(text.data() + i, text.size() - i));
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

}  // namespace

TextPool::Span TextPool::Store(platform::LargeString& in, std::string_view text) {
    // Places are 32 bits: a store of more text fails rather than wrap (the friends worker reports it).
    if (text.size() > std::numeric_limits<std::uint32_t>::max() - in.size())
        throw std::length_error("more than 4 GB of names or values");
    const Span span{static_cast<std::uint32_t>(in.size()), static_cast<std::uint32_t>(text.size())};
    in.append(text);
    return span;
}

std::uint32_t TextPool::Intern(std::string_view text) {
    MakeRoomForOne(slots_, spans_.size());
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t hash = Hash<false>(text);
    std::size_t i = hash & mask;
    for (; slots_[i].id != kNone; i = (i + 1) & mask) {
        if (slots_[i].hash == hash && platform::EqualBytes(Text(slots_[i].id), text)) return slots_[i].id;
    }
    const auto id = static_cast<std::uint32_t>(spans_.size());
    spans_.push_back(Store(chars_, text));
    slots_[i] = {hash, id};
    return id;
}

std::uint32_t FriendStore::HashOf(std::string_view name) { return Hash<true>(name); }

void FriendStore::AskSlot(std::uint32_t hash) const {
    if (!playerSlots_.empty()) platform::Prefetch(&playerSlots_[hash & (playerSlots_.size() - 1)]);
}

void FriendStore::AskPlayer(std::uint32_t hash) const {
    if (playerSlots_.empty()) return;
    const PlayerSlot& slot = playerSlots_[hash & (playerSlots_.size() - 1)];
    if (slot.id == kNone || slot.hash != hash) return;  // a new player, or one further on: not worth it
    platform::Prefetch(&players_[slot.id]);
    platform::Prefetch(names_.data() + slot.name.offset);
}

bool FriendStore::Set(std::string_view name, const Values& values) {
    if (players_.empty()) {
        const std::uint32_t empty = texts_.Intern({});
        recent_ = {empty, empty, empty, empty, empty, empty};
    }
    MakeRoomForOne(playerSlots_, players_.size());
    const std::size_t mask = playerSlots_.size() - 1;
    const std::uint32_t hash = Hash<true>(name);
    std::size_t i = hash & mask;
    bool collides = false;
    for (; playerSlots_[i].id != kNone; i = (i + 1) & mask) {
        const PlayerSlot& slot = playerSlots_[i];
        if (slot.hash != hash) continue;
        const std::string_view heldName(names_.data() + slot.name.offset, slot.name.length);
        if (platform::EqualBytes(heldName, name)) break;
        collides = collides || EqualsNoCase(heldName, name);
    }
    const bool added = playerSlots_[i].id == kNone;
    if (added) {
        namesCollide_ = namesCollide_ || collides;
        const Span stored = TextPool::Store(names_, name);
        playerSlots_[i] = {hash, static_cast<std::uint32_t>(players_.size()), stored};
        players_.push_back({stored, recent_});
    }
    Player& player = players_[playerSlots_[i].id];
    for (std::size_t v = 0; v < kValueCount; ++v) {
        // The text each value had last first: it is at hand, and when it matches, the numbers tell whether
        // the player's value changed without a look at the player's own text, read long ago.
        if (!platform::EqualBytes(Text(recent_[v]), values[v])) {
            if (platform::EqualBytes(Text(player.values[v]), values[v])) continue;
            recent_[v] = texts_.Intern(values[v]);
        }
        if (player.values[v] == recent_[v]) continue;
        player.values[v] = recent_[v];
        if (!added) player.changed |= static_cast<Changes>(1u << v);
    }
    return added;
}

void FriendStore::clear() {
    // The memory goes too: a batch of players may be far larger than the next.
    *this = FriendStore();
}

}  // namespace krav
