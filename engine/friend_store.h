// The players that who lists name, kept until they are written to the friends file: each player once, in the
// order first seen, with the values of its latest entry. The same texts come back again and again (classes,
// races, guilds, the date of a list), so every distinct text is stored once and a player is a row of numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace krav {

class FriendStore {
public:
    static constexpr std::size_t kValueCount = 6;
    using Values = std::array<std::string_view, kValueCount>;

    // The player's latest values; a player not held yet goes at the end. Names compare exactly.
    void Set(std::string_view name, const Values& values);

    std::size_t size() const { return players_.size(); }
    bool empty() const { return players_.empty(); }
    std::size_t TextBytes() const { return chars_.size(); }
    void clear();

    // visit(name, values) for each player in the order first seen.
    template <typename Visit>
    void ForEach(Visit&& visit) const {
        Values values;
        for (const Player& player : players_) {
            for (std::size_t i = 0; i < kValueCount; ++i)
                values[i] = Text(player.values[i]);
            visit(Text(player.name), values);
        }
    }

private:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    struct Span {
        std::uint32_t offset, length;
    };
    struct Player {
        std::uint32_t name;
        std::array<std::uint32_t, kValueCount> values;
    };

    std::uint32_t Intern(std::string_view text);
    std::string_view Text(std::uint32_t id) const {
        return {chars_.data() + spans_[id].offset, spans_[id].length};
    }

    std::string chars_;                  // each distinct text once, one after another
    std::vector<Span> spans_;            // a text's place in chars_, by its number
    struct Slot {
        std::uint32_t hash = 0, id = kNone;
    };
    std::vector<Slot> slots_;            // open addressing over the texts
    std::vector<std::uint32_t> playerOf_;  // the player a text names, or kNone
    std::vector<Player> players_;
    // The text each value had last: a who list repeats the date, and players their class, race and guild.
    std::array<std::uint32_t, kValueCount> recent_{};
};

}  // namespace krav
