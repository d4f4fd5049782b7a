// The players a run adds to the friends file, kept as rows of numbers until the file is written rather than
// as lines of its edit, where each costs some 350 bytes (a section, its lines, their text and two hashes):
// a log naming hundreds of thousands of players would hold them all. As the file is built, each player's
// line in the section of `lineMark` ("name=") and its own section (a header of `prefix` and its name, then
// a line for each key) go where the edit would have put them: after that section's lines, and at the end of
// the file, in the order they were added.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/friend_store.h"
#include "platform/large_pages.h"
#include "platform/profile.h"

namespace krav {

class NewFriends final : public platform::ProfileEdit::Appendix {
public:
    static constexpr std::size_t kValueCount = FriendStore::kValueCount;
    using Keys = std::array<std::string_view, kValueCount>;  // texts that outlive the object
    using Values = FriendStore::Values;
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};

    NewFriends(std::string prefix, const Keys& keys) : prefix_(std::move(prefix)), keys_(keys) {}

    // The player held under a name equal to `name` without regard to the case of A to Z, as the file
    // compares section names and keys; kNone when none. `hash` is FriendStore::HashOf(name).
    std::uint32_t Find(std::string_view name, std::uint32_t hash) const;
    // A player not held yet, with neither line nor section: its number.
    std::uint32_t Add(std::string_view name, std::uint32_t hash);
    // Find's slot, and a player's values, asked for ahead of their use; nothing changes.
    void Ask(std::uint32_t hash) const;
    void AskValues(std::uint32_t player) const;

    bool HasLine(std::uint32_t player) const { return (players_[player].held & kLine) != 0; }
    bool HasSection(std::uint32_t player) const { return (players_[player].held & kSection) != 0; }
    // The player's line, after those added before it; its section, after those added before it, with
    // `values`. `theirs` are the values' numbers in the batch's FriendStore: a batch's players mostly share
    // a few texts, and each of the store's texts is looked up here once rather than for every player. Every
    // call until EndBatch gives numbers of the same store.
    void AddLine(std::uint32_t player);
    void AddSection(std::uint32_t player, const Values& values, const FriendStore::ValueIds& theirs);
    // The section's values[i] whose bit i is set in `which`.
    void SetValues(std::uint32_t player, const Values& values, std::uint32_t which,
                   const FriendStore::ValueIds& theirs);
    void EndBatch() { ours_.clear(); }

    void SetLineMark(platform::ProfileEdit::SectionMark mark) { lineMark_ = mark; }
    std::size_t SectionCount() const { return sections_.size(); }
    bool empty() const { return players_.empty(); }
    std::size_t size() const { return players_.size(); }
    // line(name) for each line in order, then section(player, name, values) for each section in order.
    template <typename Line, typename Section>
    void ForEach(Line&& line, Section&& section) const {
        for (const std::uint32_t p : lines_)
            line(Name(p));
        Values values;
        for (const std::uint32_t p : sections_) {
            for (std::size_t i = 0; i < kValueCount; ++i)
                values[i] = texts_.Text(players_[p].values[i]);
            section(p, Name(p), values);
        }
    }
    // Nothing held; the line mark stays.
    void clear();

    void LinesAfter(platform::ProfileEdit::SectionMark mark,
                    platform::ProfileEdit::LineOut& out) const override;
    void SectionsAtEnd(platform::ProfileEdit::LineOut& out) const override;

private:
    static constexpr std::uint8_t kLine = 1, kSection = 2;
    struct Player {
        TextPool::Span name;
        FriendStore::ValueIds values{};
        std::uint8_t held = 0;
    };
    struct Slot {
        std::uint32_t hash = 0, id = kNone;
    };
    std::string_view Name(std::uint32_t p) const {
        return {names_.data() + players_[p].name.offset, players_[p].name.length};
    }

    std::string prefix_;
    Keys keys_;
    platform::ProfileEdit::SectionMark lineMark_ = platform::ProfileEdit::kNoSection;
    platform::LargeString names_;
    TextPool texts_;
    platform::LargeVector<Player> players_;
    platform::LargeVector<Slot> slots_;                      // open addressing over the names, folded
    platform::LargeVector<std::uint32_t> lines_, sections_;  // players, in the order added
    // The number here of the store's text `theirs`, which is `text`.
    std::uint32_t Ours(std::uint32_t theirs, std::string_view text);
    std::vector<std::uint32_t> ours_;  // the batch's store's texts by its numbers, as numbered here
};

}  // namespace krav
