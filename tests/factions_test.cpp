// Faction standing and consider messages through whole runs.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace krav::test {
namespace {

using FactionsTest = StandardRunTest;

std::string Faction(const std::string& time, const std::string& name, const std::string& ending) {
    return At(time, "Your faction standing with " + name + " " + ending);
}

TEST_F(FactionsTest, LimitsAndContradictions) {
    Run({At("09:00:00", "You have entered Qeynos."), Faction("10:00:00", "Merchants of Tarn", "got better."),
         Faction("10:00:01", "Merchants of Tarn", "got better."),
         Faction("10:00:02", "Merchants of Tarn", "could not possibly get any better."),
         Faction("10:00:03", "Guards", "could not possibly get any better."),
         Faction("10:00:04", "Guards", "got worse."),
         Faction("10:00:05", "Gnolls", "could not possibly get any worse."),
         Faction("10:00:06", "Gnolls", "got worse."), Faction("10:00:07", "Gnolls", "got better."),
         Faction("10:00:08", "Gnolls", "could not possibly get any worse."),
         Faction("10:00:09", "Orcs", "is unchanged."),
         Faction("10:00:10", "", "could not possibly get any worse.")},
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gFactions),
              (Lines{"Gnolls|2|2|Err|Qeynos", "Guards|2|?| |Qeynos", "Merchants of Tarn|0|2|Max|Qeynos"}));
    // Every faction line stays in a compatible log, counted or not.
    const std::string log = Kept();
    EXPECT_NE(log.find("Orcs is unchanged."), std::string::npos);
    EXPECT_NE(log.find("with  could not"), std::string::npos);
}

TEST_F(FactionsTest, BlankLessKeysAndZoneLists) {
    Lines log = {Faction("10:00:00", "CoalitionOfTradefolk", "got worse.")};
    const char* zones[] = {"A", "B", "C", "D", "E", "F", "G", "B", "H"};
    for (const char* zone : zones) {
        log.push_back(At("10:01:00", std::string("You have entered ") + zone + "."));
        log.push_back(Faction("10:01:01", "Coalition Of Tradefolk", "got better."));
    }
    Run(log);
    EXPECT_EQ(TableRows(session.Tables.gFactions),
              (Lines{"Coalition Of Tradefolk|1|9| |* A, B, C, D, E, F, H"}));
}

TEST_F(FactionsTest, ConsidersOfNamedNpcsOnly) {
    Run({At("10:00:00", "You have entered Qeynos."),
         At("10:00:01", "Guard Arlen glares at you threateningly -- he looks tough."),
         At("10:00:02",
            "Guard Arlen regards you indifferently -- what would you like your tombstone to say?"),
         At("10:00:03", "a rat regards you indifferently -- it looks harmless."),
         At("10:00:04", "Guard two glares at you threateningly"),
         At("10:00:05", "Captain Tillin regards you curiously -- he looks kind."),
         At("10:00:06", "Captain Tillin's Pet regards you as an ally -- nice."),
         At("10:00:07", "Bob says, 'Guard Arlen scowls at you'")},
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gCons),
              (Lines{"Captain Tillin|curiously |Qeynos", "Captain Tillin's Pet|ally|Qeynos",
                     "Guard Arlen|indifferently|Qeynos"}));
    const std::string log = Kept();
    EXPECT_EQ(log.find("a rat regards"), std::string::npos);
    EXPECT_EQ(log.find("Guard two"), std::string::npos);
}

TEST_F(FactionsTest, MessagesOfThePlayerNeverReachTheConsiderRules) {
    Run({At("10:00:00", "You glares at you threateningly -- odd."),
         At("10:00:01", "Guard Arlen glares at you threateningly")});
    EXPECT_EQ(TableRows(session.Tables.gCons), Lines{"Guard Arlen|threateningly|"});
}

}  // namespace
}  // namespace krav::test
