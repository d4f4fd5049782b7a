// Lines as the classic-era servers' client and today's client write them, through whole runs: who lists with
// empty and blank-led lines, one-point hits, byte order marks, roster files with CR line ends, and today's
// forms of loot, misses, faction changes and spell outcomes, each counted as its classic twin.
#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

using RealLogsTest = StandardRunTest;

TEST_F(RealLogsTest, WhoListsOfTheClassicEraClientAndItsRoster) {
    // CR alone ends a roster line as CR LF and LF do.
    WriteFile(game.path() / "Stone_Wardens.txt",
              "Bob\t20\tMonk\tM\t5/6/22\rAnn\t9\tDruid\tO\t1/2/23\r\n"
              "Tok\t3\tWarrior\tL\t7/8/21\n");
    const Lines log = {
        At("20:00:00", "You have entered an area where levitation effects do not function."),
        At("20:00:01", "Players in EverQuest:"),
        At("20:00:01", "---------------------------"),
        "",
        At("20:00:01", " AFK [20 Monk] Bob (Iksar) <Stone Wardens>"),
        At("20:00:01", "   "),
        At("20:00:01", "* * [ANONYMOUS] Star"),
        At("20:00:01", "There are 2 players in EverQuest."),
    };
    Run(log, ShrinkMode::Compatible);
    EXPECT_EQ(session.Info.eClass, "Monk");
    EXPECT_EQ(session.Info.eLevel, "20");
    EXPECT_EQ(session.Info.eRace, "Iksar");
    EXPECT_EQ(session.Info.eZone, "unknown");  // the area message names no zone
    EXPECT_FALSE(session.Tables.gZones.HasRows);
    platform::Profile friends((game.path() / "PRAL_tunare.lst").string());
    EXPECT_EQ(friends.KeyNames("PlayersKnownTo.Bob"), (Lines{"Bob", "Star"}));
    EXPECT_EQ(friends.ReadString("PlayerInfo.Star", "Class", ""), "ANONYMOUS");
    EXPECT_EQ(friends.ReadString("PlayerInfo.Star", "GM", "none"), "");
    EXPECT_EQ(TableRows(session.Tables.gGuild),
              (Lines{"Ann|9|Druid|Officer|2 January, 2023", "Bob|20|Monk|Member|6 May, 2022",
                     "Tok|3|Warrior|Leader|8 July, 2021"}));
    // The list's lines, empty ones included, stay in a compatible log as its other lines do.
    Lines kept = {At("20:00:00", "{KRAV} Start of File")};
    kept.insert(kept.end(), log.begin() + 1, log.end());
    EXPECT_EQ(Kept(), Crlf(kept));
}

TEST_F(RealLogsTest, ByteOrderMarkIsNoPartOfTheFirstLineAndStaysInTheLog) {
    const std::string mark = "\xEF\xBB\xBF";
    Run({mark + At("20:00:00", "You have entered Cabilis East."), At("20:00:05", "You have slain a frog!")},
        ShrinkMode::Compatible);
    EXPECT_EQ(session.Info.eFrom, "07-Dec-2026 (20:00)");
    EXPECT_EQ(session.Info.eZone, "Cabilis East");
    const std::string log = ReadFile(Log());
    EXPECT_EQ(log.substr(0, mark.size() + 1), mark + "[");
    EXPECT_TRUE(Holds(log, "{KRAV} Start of File"));
    EXPECT_TRUE(Holds(log, "You have entered Cabilis East."));

    // A log without one gets none.
    Run({At("20:00:00", "You have entered Cabilis East.")}, ShrinkMode::Smallest);
    EXPECT_EQ(ReadFile(Log()).substr(0, 1), "[");
}

TEST_F(RealLogsTest, OnePointHitsAndDefendedMissesCountAsTheirClassicTwins) {
    Run(Timed({"You smite a froglok for 1 point of damage.", "A froglok bashes YOU for 1 point of damage.",
               "A froglok bashes YOU for 4 points of damage.",
               "You try to smite a froglok, but a froglok dodges!",
               "You try to slash a froglok, but a froglok parries!",
               "You try to slash a froglok, but a froglok blocks!",
               "You try to kick a froglok, but a froglok ripostes!", "You try to slash a froglok, but miss!",
               // Not a defence: consumed and dropped, as before.
               "You try to slash a froglok, but a froglok is INVULNERABLE!"}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gYAttacks), (Lines{"Kick|1|0|?", "Slash|3|0|?", "Smite|1|1|1"}));
    EXPECT_EQ(TableRows(session.Tables.gMAttacks), (Lines{"Bash|0|2|4"}));
    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "You smite a froglok for 1 point of damage."));
    EXPECT_TRUE(Holds(log, "A froglok bashes YOU for 1 point of damage."));
    EXPECT_TRUE(Holds(log, "You try to kick a froglok, but a froglok ripostes!"));
    EXPECT_FALSE(Holds(log, "You try to slash a froglok, but a froglok is INVULNERABLE!"));
}

TEST_F(RealLogsTest, TodaysLootLinesCountAsTheLootRuleDoes) {
    Run(Timed({"You have entered Solusek's Eye.", "--You have looted a Ruby from Lord Vexar's corpse.--",
               "--You have looted 3 Bone Chips from a skeleton's corpse.--",
               "--You have looted an Onyx Key from Warden of Ash's corpse.--",
               "--You have looted a Gem from Bob from Tunare from a thief's corpse.--",
               "You looted a Ruby from a fire beetle's corpse and sold it for 2 gold and 3 silver.",
               "You looted an Iron Ore from a golem's corpse to create a Rough Ingot.",
               "You looted 2 Sulfur Chunks from a golem's corpse and stored it in your tradeskill depot.",
               // The classic forms stay as they were.
               "--You have looted an Ale.--", "--You have looted a Ruby.--"}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gLoot),
              (Lines{"*2 Sulfur Chunks|1|0|0|?|Solusek's Eye", "*3 Bone Chips|1|0|0|?|Solusek's Eye",
                     "*an Ale|1|0|0|?|Solusek's Eye", "Gem from Bob from Tunare|1|0|0|?|Solusek's Eye",
                     "Iron Ore|1|0|0|?|Solusek's Eye", "Onyx Key|1|0|0|?|Solusek's Eye",
                     "Ruby|3|0|0|?|Solusek's Eye"}));
    EXPECT_TRUE(Holds(Kept(), "You looted an Iron Ore from a golem's corpse to create a Rough Ingot."));
}

TEST_F(RealLogsTest, TodaysFactionAndSpellOutcomeLines) {
    Run(Timed({"Your faction standing with Miners Guild 249 has been adjusted by 5.",
               "Your faction standing with Miners Guild 249 has been adjusted by -2.",
               "Your faction standing with Miners Guild 249 has been adjusted by -3.",
               "Your faction standing with Sky Shrine has been adjusted by 0.", "You begin casting Lull.",
               "Warden Ilsa resisted your Lull!", "Your target resisted the Lull spell.",
               "a gnoll resisted your Tashan's Tongue!", "Your Superior Healing spell is interrupted.",
               "Your Color Skew spell fizzles!", "Your spell fizzles!", "Your pet's Burnout spell fizzles!",
               "You resist a fire beetle's Poison Bolt!", "You resist Lord Vexar's Immolate!",
               "You resist the Poison Bolt spell!",
               // Speech never names a resist, and chat stays chat.
               "Ann says, 'Warden Ilsa resisted your Lull!'", "Ann -> Bob: Warden Ilsa resisted your Lull!"}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gFactions), (Lines{"Miners Guild 249|2|1| |"}));
    EXPECT_EQ(TableRows(session.Tables.gSpells), (Lines{"Lull|1|2", "Tashan's Tongue|?|1"}));
    EXPECT_EQ(TableRows(session.Tables.gResults), (Lines{"Fizzles|2", "Interrupted|1", "Resisted|3"}));
    EXPECT_EQ(TableRows(session.Tables.gActions), (Lines{"Resist Immolate|1", "Resist Poison Bolt|2"}));
    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "Your faction standing with Sky Shrine has been adjusted by 0."));
    EXPECT_TRUE(Holds(log, "Warden Ilsa resisted your Lull!"));
    EXPECT_TRUE(Holds(log, "You resist a fire beetle's Poison Bolt!"));
}

}  // namespace
}  // namespace krav::test
