// The writer's thread must leave the tables as the operations done at once would, whatever reads come
// between them, and a failure on its thread must reach the run.
#include "engine/table_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/stat_table.h"

namespace krav {
namespace {

std::vector<std::vector<std::string>> Rows(const StatTable& table) {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < table.RowCount(); ++row) {
        const auto cells = table.Row(row);
        rows.emplace_back(cells.begin(), cells.end());
    }
    return rows;
}

TEST(TableWriter, TablesEndAsIfEveryOperationWereDoneAtOnceWhateverIsReadBetween) {
    if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core: the writer takes no tables";
    StatTables given, direct;
    TableWriter writer;
    ASSERT_TRUE(writer.Attach({&given.gMobs, &given.gLoot}));
    EXPECT_EQ(given.gMobs.Writer(), &writer);

    std::mt19937 random(11);
    std::vector<std::string> keys;
    for (int i = 0; i < 3000; ++i)
        keys.push_back((i % 3 == 0 ? "A mob " : "a mob ") + std::to_string(i * 7919 % 3001));
    keys.push_back(std::string(100000, 'x'));  // longer than a block of operations
    const std::vector<std::string> zones = {"Qeynos", "Crushbone", "", "The Feerrott"};
    for (int step = 0; step < 60000; ++step) {
        const std::string& key = keys[random() % keys.size()];
        const std::string& zone = zones[random() % zones.size()];
        for (StatTables* t : {&given, &direct}) {
            switch (step % 5) {
                case 0:
                    IncrementWithZone(t->gMobs, key, 1 + step % 2, zone);
                    break;
                case 1:
                    IncrementLooted(t->gLoot, key, zone);
                    break;
                case 2:
                    IncrementDropped(t->gLoot, key, zone);
                    break;
                case 3:
                    IncrementSold(t->gLoot, key);
                    break;
                default:
                    AddBought(t->gLoot, key, step % 7, zone);
                    break;
            }
        }
        // Reads and changes made on this thread between the operations: each sees every one given before.
        if (random() % 500 == 0) {
            ASSERT_EQ(given.gLoot.FindRow(key), direct.gLoot.FindRow(key)) << step;
            ASSERT_EQ(given.gMobs.RowCount(), direct.gMobs.RowCount()) << step;
        }
        if (random() % 5000 == 0) {
            SetTwoAndZones(given.gMobs, key, "5", "?", "Oasis");
            SetTwoAndZones(direct.gMobs, key, "5", "?", "Oasis");
        }
        if (step == 30000) {
            given.gLoot.Sort(true);  // the loot plain from here on
            direct.gLoot.Sort(true);
        }
    }
    writer.Finish();
    EXPECT_EQ(given.gMobs.Writer(), nullptr);
    EXPECT_EQ(given.gLoot.Writer(), nullptr);
    EXPECT_EQ(Rows(given.gMobs), Rows(direct.gMobs));
    EXPECT_EQ(Rows(given.gLoot), Rows(direct.gLoot));
}

TEST(TableWriter, AFailureOnItsThreadReachesTheGiverAndTheOperationsAfterItAreDropped) {
    if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core: the writer takes no tables";
    StatTables tables;
    TableWriter writer;
    ASSERT_TRUE(writer.Attach({&tables.gMobs}));
    IncrementWithZone(tables.gMobs, "a bat", 1, "Qeynos");
    writer.Post(tables.gMobs, [](StatTable&, const TableOp&) { throw std::runtime_error("no room"); }, {});
    IncrementWithZone(tables.gMobs, "a rat", 1, "Qeynos");
    writer.Drain();  // the failure waits for the giver to ask
    EXPECT_THROW(writer.ThrowIfFailed(), std::runtime_error);
    EXPECT_THROW(IncrementWithZone(tables.gMobs, "an orc", 1, "Qeynos"), std::runtime_error);
    try {
        writer.Finish();
        ADD_FAILURE() << "Finish did not throw";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "no room");
    }
    EXPECT_EQ(tables.gMobs.Writer(), nullptr);
    EXPECT_EQ(tables.gMobs.RowCount(), 2);  // the bat, before the failure
    EXPECT_EQ(tables.gMobs.Cell(0, 1), "a bat");
    writer.Finish();  // once detached, nothing more to do or to throw

    // Attached again, the writer has forgotten the failure and the thread it ended with.
    ASSERT_TRUE(writer.Attach({&tables.gMobs}));
    IncrementWithZone(tables.gMobs, "a bat", 1, "Qeynos");
    writer.Drain();  // the thread waits for more, with nothing queued
    for (int i = 1; i < 5000; ++i)
        IncrementWithZone(tables.gMobs, "a bat", 1, "Qeynos");
    writer.ThrowIfFailed();
    writer.Finish();
    EXPECT_EQ(tables.gMobs.Cell(1, 1), "5001");
}

TEST(TableWriter, DetachDoesWhatWasGivenBeforeTheTablesAreLetGo) {
    if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core: the writer takes no tables";
    StatTables tables;
    {
        TableWriter writer;
        ASSERT_TRUE(writer.Attach({&tables.gLoot}));
        for (int i = 0; i < 20000; ++i)
            IncrementLooted(tables.gLoot, "Bone Chips", "Qeynos");
    }  // a run that failed elsewhere: the destructor detaches
    EXPECT_EQ(tables.gLoot.Writer(), nullptr);
    EXPECT_EQ(tables.gLoot.Cell(1, 1), "20000");
}

}  // namespace
}  // namespace krav
