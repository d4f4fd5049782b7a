// New players of the friends file as numbers of distinct texts, written out as the file is built.
#include "engine/new_friends.h"

#include <algorithm>

#include "engine/text.h"

namespace krav {

std::uint32_t NewFriends::Find(std::string_view name, std::uint32_t hash) const {
    if (slots_.empty()) return kNone;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].id != kNone; i = (i + 1) & mask) {
        if (slots_[i].hash == hash && EqualsNoCase(Name(slots_[i].id), name)) return slots_[i].id;
    }
    return kNone;
}

std::uint32_t NewFriends::Add(std::string_view name, std::uint32_t hash) {
    MakeRoomForOne(slots_, players_.size());
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].id != kNone)
        i = (i + 1) & mask;
    const auto id = static_cast<std::uint32_t>(players_.size());
    players_.push_back({TextPool::Store(names_, name)});
    slots_[i] = {hash, id};
    return id;
}

void NewFriends::Ask(std::uint32_t hash) const {
    if (!slots_.empty()) platform::Prefetch(&slots_[hash & (slots_.size() - 1)]);
}

void NewFriends::AskValues(std::uint32_t player) const {
    platform::Prefetch(&players_[player]);
}

void NewFriends::AddLine(std::uint32_t player) {
    players_[player].held |= kLine;
    lines_.push_back(player);
}

void NewFriends::AddSection(std::uint32_t player, const Values& values, const FriendStore::ValueIds& theirs) {
    players_[player].held |= kSection;
    sections_.push_back(player);
    for (std::size_t i = 0; i < kValueCount; ++i)
        players_[player].values[i] = Ours(theirs[i], values[i]);
}

void NewFriends::SetValues(std::uint32_t player, const Values& values, std::uint32_t which,
                           const FriendStore::ValueIds& theirs) {
    for (std::size_t i = 0; i < kValueCount; ++i)
        if ((which >> i) & 1) players_[player].values[i] = Ours(theirs[i], values[i]);
}

std::uint32_t NewFriends::Ours(std::uint32_t theirs, std::string_view text) {
    if (theirs >= ours_.size())
        ours_.resize(std::max<std::size_t>(2 * ours_.size(), theirs + std::size_t{1}), kNone);
    std::uint32_t& id = ours_[theirs];
    if (id == kNone) id = texts_.Intern(text);
    return id;
}

void NewFriends::clear() {
    const platform::ProfileEdit::SectionMark mark = lineMark_;
    *this = NewFriends(std::move(prefix_), keys_);
    lineMark_ = mark;
}

void NewFriends::LinesAfter(platform::ProfileEdit::SectionMark mark,
                            platform::ProfileEdit::LineOut& out) const {
    if (mark != lineMark_) return;
    for (const std::uint32_t p : lines_)
        out.Put({Name(p), "="});
}

void NewFriends::SectionsAtEnd(platform::ProfileEdit::LineOut& out) const {
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const std::uint32_t p = sections_[s];
        if (s > 0) out.Put({});
        out.Put({"[", prefix_, Name(p), "]"});
        for (std::size_t i = 0; i < kValueCount; ++i)
            out.Put({keys_[i], "=", texts_.Text(players_[p].values[i])});
    }
}

}  // namespace krav
