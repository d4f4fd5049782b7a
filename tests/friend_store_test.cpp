// The store of who-list players: each player once in the order first seen, with its latest values and which
// of them changed after its first entry, however values come back to texts held before.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/friend_store.h"

namespace krav::test {
namespace {

TEST(FriendStore, KeepsEachPlayerOnceWithItsLatestValues) {
    struct Row {
        std::string name;
        std::vector<std::string> values;
        FriendStore::Changes changed = 0;
        bool operator==(const Row&) const = default;
    };
    std::mt19937 random(3);
    // Few texts, so that values often go back to one that an earlier player or entry had; names in two cases.
    const std::vector<std::string> texts = {"", " ", "Druid", "druid", "ANONYMOUS", "60", "Guild", "x"};
    FriendStore store;
    std::vector<Row> expected;
    for (int n = 0; n < 3000; ++n) {
        if (n == 2000) {  // a new batch starts empty
            store.clear();
            expected.clear();
        }
        const std::string name = (random() % 2 ? "Ann" : "ANN") + std::to_string(random() % 300);
        std::vector<std::string> values;
        FriendStore::Values views;
        for (std::size_t v = 0; v < FriendStore::kValueCount; ++v)
            values.push_back(random() % 4 ? texts[random() % texts.size()] : name);
        for (std::size_t v = 0; v < FriendStore::kValueCount; ++v)
            views[v] = values[v];
        store.Set(name, views);
        auto row = std::find_if(expected.begin(), expected.end(), [&](const Row& r) { return r.name == name; });
        if (row == expected.end()) {
            expected.push_back({name, values});
        } else {
            for (std::size_t v = 0; v < FriendStore::kValueCount; ++v)
                if (values[v] != row->values[v]) row->changed |= static_cast<FriendStore::Changes>(1u << v);
            row->values = values;
        }
    }
    std::vector<Row> held;
    store.ForEach([&held](std::string_view name, const FriendStore::Values& values,
                          FriendStore::Changes changed, const FriendStore::ValueIds&) {
        held.push_back({std::string(name), std::vector<std::string>(values.begin(), values.end()), changed});
    });
    EXPECT_EQ(held, expected);
    EXPECT_EQ(store.size(), expected.size());
}

}  // namespace
}  // namespace krav::test
