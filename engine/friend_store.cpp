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
        slots_.assign(std::max<std::size_t>(256, 2 * slots_.size()), 0);
        const std::size_t mask = slots_.size() - 1;
        for (std::uint32_t id = 0; id < spans_.size(); ++id) {
            std::size_t i = hashes_[id] & mask;
            while (slots_[i] != 0)
                i = (i + 1) & mask;
            slots_[i] = id + 1;
        }
    }
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t hash = Hash(text);
    std::size_t i = hash & mask;
    for (; slots_[i] != 0; i = (i + 1) & mask) {
        const std::uint32_t id = slots_[i] - 1;
        if (hashes_[id] == hash && Text(id) == text) return id;
    }
    const auto id = static_cast<std::uint32_t>(spans_.size());
    spans_.push_back({static_cast<std::uint32_t>(chars_.size()), static_cast<std::uint32_t>(text.size())});
    hashes_.push_back(hash);
    chars_.append(text);
    slots_[i] = id + 1;
    return id;
}

void FriendStore::Set(std::string_view name, const Values& values) {
    const std::uint32_t id = Intern(name);
    if (id >= playerOf_.size()) playerOf_.resize(id + 1, kNone);
    if (playerOf_[id] == kNone) {
        playerOf_[id] = static_cast<std::uint32_t>(players_.size());
        players_.push_back({id, {}});
    }
    std::array<std::uint32_t, kValueCount> ids;
    for (std::size_t v = 0; v < kValueCount; ++v)
        ids[v] = Intern(values[v]);
    players_[playerOf_[id]].values = ids;
}

void FriendStore::clear() {
    // The memory goes too: a batch of players may be far larger than the next.
    *this = FriendStore();
}

}  // namespace krav
