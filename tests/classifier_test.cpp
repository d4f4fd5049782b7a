// One log that walks the classifier's steps in order: every message is claimed by the step meant for it,
// which shows in an effect no other message of the log has. Some messages also match the tests of later
// steps, or of earlier ones within the quoted speech, and must still land where the order puts them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "output/standard_run.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;

using ClassifierTest = StandardRunTest;

TEST_F(ClassifierTest, EveryStepClaimsItsOwnMessages) {
    const Lines messages = {
        // 1: sets the language (seen at step 4); neither say chat nor kept.
        "Ann says, in Elvish, 'well met'",
        // 2: a summary record restores its row.
        "{KRAV} Misc Events: Borrowed (7)",
        // 3: the who list with its lines.
        "Players on EverQuest:", "---------------------------", "[13 Druid] Bob (Wood Elf)",
        "There is 1 player in Qeynos Hills.",
        // 4 and 5.
        "Your language skills have improved.", "You have entered Qeynos Hills.",
        // 6, 7.
        "You have slain a gnoll pup!", "--You have looted a Bone Chip.--",
        // 8: the bind point, although it also starts with "You are currently".
        "You are currently bound in: North Karana",
        // 9 to 13; a death counts its killer.
        "Auto attack is off.", "You begin casting Lull.", "You have become better at Fishing! (12)",
        "Your faction standing with Merchants of Tarn got better.", "You gain experience!!",
        "You have been slain by a rat!",
        // 14 and 19: the special qualifies the attack that follows it.
        "You score a critical hit!", "You slash a rat for 45 points of damage.",
        // 14 again, then 16, which is passed by "You were JUST KIDDING": that one ends in the "You " block
        // and takes the special away from the next attack.
        "You score a critical hit!", "You were JUST KIDDING", "You slash a rat for 40 points of damage.",
        // 15 to 18.
        "Your spell fizzles!", "You were hit by non-melee for 12 damage.",
        "You have hidden yourself from view.", "You take a drink.",
        // 19: party chat is group chat (off in this run), not other-channel chat.
        "You tell your party, 'x'", "You tell general:1, 'x'",
        // 19 also takes what it does not count, before the attacks on the player can see it.
        "You notice a gnoll tries to bite YOU, but misses!",
        // 20: a named creature is recorded; an unnamed one is dropped, with the rest of its message.
        "Guard Arlen glares at you threateningly -- what would you like your tombstone to say?",
        "a rat regards you indifferently -- Ann tells you, go away",
        "a rat scowls at you, ready to attack -- it tries to bite YOU, but misses!",
        // 21: a defended attack is only a defence; an attack that names another is no chat.
        "A rat bites YOU for 3 points of damage.", "A gnoll tries to hit YOU, but YOU parry!",
        "A gnoll tells a rat to attack, then hits YOU for 5 points of damage.",
        // 22: the merchant's offer is no tell; the payment shows it was taken.
        "Tamar tells you, 'That'll be 2 gold per Cloth Cap'.", "You give 2 gold to Tamar.",
        // 23: quoted speech never matches the tests of earlier steps.
        "Bob says, 'You have slain a gnoll!'", "Ann shouts, 'hi'",
        // 24.
        "A strange wind blows."};
    Lines lines;
    for (const std::string& m : messages)
        lines.push_back(At("10:00:00", m));
    WriteFile(Log(), Crlf(lines));
    RunInputs in = MakeInputs(game, ShrinkMode::Compatible);
    in.Channels = {true, true, false, true, true, true, true};
    ProcessingRun::Run(session, in, host, StandardRunSteps());

    const StatTables& t = session.Tables;
    EXPECT_EQ(session.Info.eClass, "Druid");                                           // 3
    EXPECT_EQ(session.Info.eRace, "Wood Elf");                                         // 3
    EXPECT_EQ(session.Info.eZone, "Qeynos Hills");                                     // 5
    EXPECT_EQ(session.Info.eBound, "North Karana");                                    // 8
    EXPECT_EQ(TableRows(t.gSpells), Lines{"Lull|1|0"});                                // 10
    EXPECT_EQ(TableRows(t.gFactions), Lines{"Merchants of Tarn|0|1| |Qeynos Hills"});  // 12
    EXPECT_EQ(TableRows(t.gEvents),
              (Lines{"Borrowed|7", "Gain experience|1", "Hit by non-melee|1", "Slain|1"}));  // 2, 13, 16
    EXPECT_EQ(TableRows(t.gMobs),
              (Lines{"a gnoll pup|0|1|Qeynos Hills", "a rat|1|0|Qeynos Hills"}));  // 6, 13
    EXPECT_EQ(TableRows(t.gLoot),
              (Lines{"Bone Chip|1|0|0|?|Qeynos Hills", "Cloth Cap|0|1|0|?|Qeynos Hills"}));  // 7, 22
    EXPECT_EQ(TableRows(t.gVendors), Lines{"Tamar|1|0|Qeynos Hills"});                       // 22
    EXPECT_EQ(TableRows(t.gActions),
              (Lines{"Parry|1", "Score a Critical Hit|2", "Take a drink|1"}));                  // 14, 18, 21
    EXPECT_EQ(TableRows(t.gYAttacks), (Lines{"Slash|0|1|40", "Slash (Critical Hit)|0|1|45"}));  // 19
    EXPECT_EQ(TableRows(t.gResults), Lines{"Fizzles|1"});                                       // 15
    EXPECT_EQ(TableRows(t.gAttempts), Lines{"Hide|0|1"});                                       // 17
    EXPECT_EQ(TableRows(t.gCons), Lines{"Guard Arlen|threateningly|Qeynos Hills"});             // 20
    EXPECT_EQ(TableRows(t.gMAttacks), (Lines{"Bite|0|1|3", "Hit|0|1|5"}));                      // 21
    const Lines skills = TableRows(t.gSkills);                                                  // 1, 4, 11
    EXPECT_EQ(skills.size(), 2u);
    EXPECT_TRUE(std::any_of(skills.begin(), skills.end(),
                            [](const std::string& row) { return row.starts_with("Fishing|12|"); }));
    EXPECT_TRUE(std::any_of(skills.begin(), skills.end(),
                            [](const std::string& row) { return row.starts_with("Language : Elvish|"); }));

    const std::string chat = ReadFile(game.path() / "logs" / "CHAT_eqlog_Bob_tunare.txt");
    EXPECT_EQ(chat, Crlf({At("10:00:00", "You tell general:1, 'x'"),
                          At("10:00:00", "Bob says, 'You have slain a gnoll!'"),
                          At("10:00:00", "Ann shouts, 'hi'")}));

    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "{KRAV} Misc Events: Borrowed (7)"));
    EXPECT_TRUE(Holds(log, "Your language skills have improved. (Elvish)"));
    EXPECT_TRUE(Holds(log, "Auto attack is off."));
    EXPECT_TRUE(Holds(log, "A gnoll tries to hit YOU, but YOU parry!"));
    EXPECT_TRUE(Holds(log, "Tamar tells you, 'That'll be 2 gold per Cloth Cap'."));
    for (const char* dropped :
         {"Ann says, in Elvish, 'well met'", "You were JUST KIDDING",
          "a rat regards you indifferently -- Ann tells you, go away",
          "a rat scowls at you, ready to attack -- it tries to bite YOU, but misses!",
          "You notice a gnoll tries to bite YOU, but misses!", "A strange wind blows."}) {
        EXPECT_FALSE(Holds(log, dropped)) << dropped;
    }
}

}  // namespace
}  // namespace krav::test
