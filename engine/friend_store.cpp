// Players of who lists with their values as numbers of distinct texts.
#include "engine/friend_store.h"

#include <algorithm>

namespace krav {

namespace {

std::uint32_t Hash(std::string_view text) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (char c : text)
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    h ^= h >> 29;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

}  // namespace

std::uint32_t FriendStore::Intern(std::string_view text) {
    if (2 * (spans_.size() + 1) > slots_.size()) {
        std::vector<Slot> old(std::max<std::size_t>(256, 2 * slots_.size()));
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.id == kNone) continue;
            std::size_t i = slot.hash & mask;
            while (slots_[i].id != kNone)
                i = (i + 1) & mask;
            slots_[i] = slot;
        }
    }
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t hash = Hash(text);
    std::size_t i = hash & mask;
    for (; slots_[i].id != kNone; i = (i + 1) & mask) {
        if (slots_[i].hash == hash && Text(slots_[i].id) == text) return slots_[i].id;
    }
    const auto id = static_cast<std::uint32_t>(spans_.size());
    spans_.push_back({static_cast<std::uint32_t>(chars_.size()), static_cast<std::uint32_t>(text.size())});
    chars_.append(text);
    slots_[i] = {hash, id};
    return id;
}

void FriendStore::Set(std::string_view name, const Values& values) {
    const std::uint32_t id = Intern(name);
    if (id >= playerOf_.size()) playerOf_.resize(id + 1, kNone);
    if (playerOf_[id] == kNone) {
        if (players_.empty()) recent_ = {Intern({}), Intern({}), Intern({}), Intern({}), Intern({}), Intern({})};
        playerOf_[id] = static_cast<std::uint32_t>(players_.size());
        players_.push_back({id, recent_});
    }
    Player& player = players_[playerOf_[id]];
    for (std::size_t v = 0; v < kValueCount; ++v) {
        if (Text(player.values[v]) == values[v]) continue;
        if (Text(recent_[v]) != values[v]) recent_[v] = Intern(values[v]);
        player.values[v] = recent_[v];
    }
}

void FriendStore::clear() {
    // The memory goes too: a batch of players may be far larger than the next.
    *this = FriendStore();
}

}  // namespace krav
