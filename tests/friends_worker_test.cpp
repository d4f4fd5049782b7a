// The friends worker against the store used in place: the same batches reach the target, in the same order,
// whatever the thread does; what the target says comes back through Settle, a failure once. The friends
// file, which writes players as they come, against each batch written whole at its end.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "engine/friends_worker.h"
#include "platform/profile.h"
#include "recognisers/character.h"
#include "tests/test_support.h"

namespace krav {
namespace {

using Batches = std::vector<std::vector<std::string>>;

std::vector<std::string> Players(const FriendStore& store) {
    std::vector<std::string> players;
    store.ForEach([&](std::string_view name, const FriendStore::Values& values, FriendStore::Changes,
                      const FriendStore::ValueIds&) {
        std::string player(name);
        for (std::string_view value : values)
            player.append("|").append(value);
        players.push_back(std::move(player));
    });
    return players;
}

// Keeps what it is handed (on the worker's thread; read after Settle). The `failAt`-th batch throws.
class Recorder final : public FriendsWorker::Target {
public:
    Recorder(Batches& batches, int& writes, std::size_t failAt)
        : batches_(batches), writes_(writes), failAt_(failAt) {}
    void Seen(std::string_view, std::uint32_t, const FriendStore::Values&,
              const FriendStore::ValueIds&) override {}
    std::string Take(FriendStore& players) override {
        if (players.empty()) return {};
        if (batches_.size() + 1 == failAt_) throw std::runtime_error("no room");
        batches_.push_back(Players(players));
        players.clear();
        return batches_.size() % 2 == 0 ? "batch " + std::to_string(batches_.size()) : std::string();
    }
    std::string Write() override { return "written " + std::to_string(++writes_); }

private:
    Batches& batches_;
    int& writes_;
    std::size_t failAt_;
};

struct Entry {
    std::string name;
    std::vector<std::string> values;
    FriendStore::Values Views() const {
        FriendStore::Values views;
        for (std::size_t v = 0; v < views.size(); ++v)
            views[v] = values[v];
        return views;
    }
};

// Many entries over a pool of names, so that players come back within and across batches.
std::vector<Entry> Entries(unsigned seed, std::size_t count) {
    std::mt19937 random(seed);
    std::vector<Entry> entries(count);
    for (Entry& entry : entries) {
        entry.name = "Player" + std::to_string(random() % 700);
        for (std::size_t v = 0; v < FriendStore::kValueCount; ++v)
            entry.values.push_back(random() % 4 == 0 ? std::string() : std::to_string(random() % 9));
    }
    return entries;
}

// With threads of its own or without (as where none can be had).
TEST(FriendsWorker, HandsTheTargetTheBatchesTheStoreMakesInPlace) {
    const std::vector<Entry> entries = Entries(5, 20000);
    using Case = std::tuple<unsigned, std::size_t, std::size_t>;  // threads, batch players, batch bytes
    const Case cases[] = {{0, 100, 1u << 30}, {0, 1u << 30, 3000}, {1, 100, 1u << 30}, {2, 100, 1u << 30},
                          {2, 1u << 30, 3000}};
    for (const auto& [threads, players, bytes] : cases) {
        SCOPED_TRACE("threads " + std::to_string(threads));
        Batches expected;
        std::vector<std::size_t> doneAfter;  // batches complete after each entry
        FriendStore store;
        for (const Entry& entry : entries) {
            store.Set(entry.name, entry.Views());
            if (store.size() >= players || store.TextBytes() >= bytes) {
                expected.push_back(Players(store));
                store.clear();
            }
            doneAfter.push_back(expected.size());
        }
        expected.push_back(Players(store));

        Batches batches;
        int writes = 0;
        FriendsWorker worker(players, bytes, threads);
        worker.Start(std::make_unique<Recorder>(batches, writes, 0));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            ASSERT_TRUE(worker.Add(entries[i].name, entries[i].Views()));
            if (i == entries.size() / 2) {
                // Midway, Settle waits for every entry so far, not only the blocks handed over; nothing is
                // written yet.
                EXPECT_FALSE(worker.Settle().failed);
                EXPECT_EQ(batches.size(), doneAfter[i]);
                EXPECT_EQ(writes, 0);
            }
        }
        worker.End();
        const FriendsWorker::Outcome outcome = worker.Settle();
        ASSERT_GT(expected.size(), 3u);
        EXPECT_EQ(batches, expected);
        EXPECT_EQ(writes, 1);
        ASSERT_FALSE(outcome.warnings.empty());
        EXPECT_EQ(outcome.warnings.back(), "written 1");
        EXPECT_FALSE(outcome.failed);
    }
}

TEST(FriendsWorker, AFailureStopsTheWorkIsToldOnceAndNothingIsWritten) {
    const std::vector<Entry> entries = Entries(9, 5000);
    for (const unsigned threads : {0u, 1u, 2u}) {
        SCOPED_TRACE("threads " + std::to_string(threads));
        Batches batches;
        int writes = 0;
        FriendsWorker worker(50, 1u << 30, threads);
        worker.Start(std::make_unique<Recorder>(batches, writes, 2));
        for (const Entry& entry : entries)
            worker.Add(entry.name, entry.Views());
        worker.End();
        const FriendsWorker::Outcome outcome = worker.Settle();
        EXPECT_TRUE(outcome.failed);
        EXPECT_EQ(outcome.failure, "no room");
        EXPECT_EQ(batches.size(), 1u);
        EXPECT_EQ(writes, 0);
        EXPECT_FALSE(worker.Settle().failed);
    }
}

// Names in two cases, with blanks at an end, or opening with ";"; a file already holding some of them, twice,
// and lines of every kind; a file without the character's section, and none at all.
TEST(FriendsWorker, TheFriendsFileReadsAsIfEachBatchWereWrittenWholeAtItsEnd) {
    const std::vector<std::string> seeds = {
        "; friends\r\n[PlayersKnownTo.Bob]\r\nann3=\r\n\r\n[playerinfo.ANN3]\r\nclass=Old\r\nno equals\r\n"
        "Level=1\r\nLevel=2\r\n\r\n\r\n[PlayerInfo.Ann3]\r\nRace=Elf\r\n[Other]\r\nx=y",
        "[PlayerInfo.ann7]\r\nGuild=x\r\n[Other]\r\nx=y", "",
        // The character's section last, in another case, with keys of players that have no section of their
        // own, and ending in a blank line; then with no lines at all.
        "[PlayerInfo.Ann5]\r\nRace=x\r\n[playersknownto.BOB]\r\nann9=\r\nAnn11=old\r\n\r\n",
        "[PlayerInfo.Ann5]\r\nRace=x\r\n[PlayersKnownTo.Bob]"};
    const std::vector<std::string> texts = {"", " ", "Druid", "60", "Guild", "07-Dec-2026 (10:01)"};
    for (const std::string& seed : seeds) {
        for (const bool twins : {false, true}) {
            for (const bool blanks : {false, true}) {
                std::mt19937 random(twins * 2 + blanks);
                std::vector<Entry> entries(4000);
                for (std::size_t e = 0; e < entries.size(); ++e) {
                    Entry& entry = entries[e];
                    const unsigned kind = random() % 100;
                    entry.name = (twins && kind < 10 ? "ANN" : "Ann") + std::to_string(random() % 1500);
                    // None in the last quarter, whose new players reach the file only as it is written.
                    if (kind == 99 && e < entries.size() * 3 / 4)
                        entry.name = blanks ? " Ann" + std::to_string(random() % 3) + " " : ";Ann";
                    for (std::size_t v = 0; v < FriendStore::kValueCount; ++v)
                        entry.values.push_back(random() % 3 ? texts[random() % texts.size()] : entry.name);
                }
                const std::size_t batch = 150;

                test::TempFolder reference, game;
                if (!seed.empty()) {
                    test::WriteFile(reference.path() / "PRAL_tunare.lst", seed);
                    test::WriteFile(game.path() / "PRAL_tunare.lst", seed);
                }
                {
                    platform::ProfileEdit edit((reference.path() / "PRAL_tunare.lst").string());
                    ASSERT_TRUE(edit.Open());
                    const std::array<std::string_view, FriendStore::kValueCount> keys = {
                        "Class", "Level", "Race", "Guild", "GM", "LogDate"};
                    FriendStore store;
                    auto flush = [&] {
                        store.ForEach([&](std::string_view name, const FriendStore::Values& values,
                                          FriendStore::Changes, const FriendStore::ValueIds&) {
                            edit.Set("PlayersKnownTo.Bob", name, "");
                            edit.SetKeys("PlayerInfo." + std::string(name), keys, values);
                        });
                        store.clear();
                    };
                    for (const Entry& entry : entries) {
                        store.Set(entry.name, entry.Views());
                        if (store.size() >= batch) flush();
                    }
                    flush();
                    ASSERT_TRUE(edit.Commit());
                }
                // Each way of running the worker, and batches that span blocks: the run settles a third of
                // the way, which hands over the block so far.
                FriendsWorker worker(batch, std::size_t{1} << 30, (twins * 2 + blanks) % 3);
                worker.Start(FriendsFileTarget(test::MakeInputs(game, ShrinkMode::ReadOnly)));
                for (std::size_t e = 0; e < entries.size(); ++e) {
                    worker.Add(entries[e].name, entries[e].Views());
                    if (e == entries.size() / 3) {
                        EXPECT_TRUE(worker.Settle().warnings.empty());
                    }
                }
                worker.End();
                EXPECT_TRUE(worker.Settle().warnings.empty());
                EXPECT_EQ(test::ReadFile(game.path() / "PRAL_tunare.lst"),
                          test::ReadFile(reference.path() / "PRAL_tunare.lst"))
                    << "names in two cases: " << twins << ", blanks: " << blanks << ", file: " << seed.size();
            }
        }
    }
}

}  // namespace
}  // namespace krav
