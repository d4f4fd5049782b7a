// The player's attacks, the attacks on the player, defences and special attacks through whole runs.
#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace krav::test {
namespace {

using CombatTest = StandardRunTest;

TEST_F(CombatTest, SpecialAttackQualifiesOnlyTheNextAttack) {
    Run(Timed({"You score a critical hit! (45)", "You slash a rat for 45 points of damage.",
               "You slash a rat for 30 points of damage.", "Bob Scores a critical hit!",
               // Going into a frenzy sets nothing and, not being a "You " block message, clears nothing.
               "You go into a berserker frenzy!", "You try to kick a rat, but miss!",
               "You land a deadly strike!", "You bash a rat for 20 points of damage.",
               "Bob Lands a deadly strike!", "You bash a rat for 25 points of damage.",
               "Bob goes into a berserker frenzy!", "You bash a rat for 5 points of damage.",
               // A special as the very last line of the log.
               "You score a critical hit!"}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gActions),
              (Lines{"Land a Deadly Strike|2", "Score a Critical Hit|3"}));
    EXPECT_EQ(TableRows(session.Tables.gEvents), (Lines{"Go into a Berserker Frenzy|2"}));
    EXPECT_EQ(TableRows(session.Tables.gYAttacks),
              (Lines{"Bash|0|1|5", "Bash (Deadly Strike)|0|2|25", "Kick (Critical Hit)|1|0|?", "Slash|0|1|30",
                     "Slash (Critical Hit)|0|1|45"}));
    EXPECT_TRUE(session.RunSucceeded());
    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "Bob goes into a berserker frenzy!"));
    EXPECT_TRUE(Holds(log, "Bob Lands a deadly strike!"));
    EXPECT_TRUE(Holds(log, "You score a critical hit!"));
}

TEST_F(CombatTest, PendingSpecialIsClearedByTheYouBlockKillsAutoAttackOffAndAttacksOnThePlayer) {
    const Lines clearers = {"You say, 'now!'",
                            "You feel dizzy.",
                            "You have healed Ann for 10 points of damage.",
                            "You have slain a rat!",
                            "Auto attack is off.",
                            "A rat bites YOU for 3 points of damage.",
                            "A rat bites YOU for a while.",
                            "A rat tries to bite YOU, but misses!",
                            "A rat tries to flee.",
                            "A rat tries to hit YOU, but YOU are invulnerable!",
                            "A rat tries to hit YOU, but YOU parry!"};
    Lines messages;
    for (const std::string& clearer : clearers) {
        messages.insert(messages.end(),
                        {"You score a critical hit!", clearer, "You punch a rat for 2 points of damage."});
    }
    Run(Timed(messages), ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gYAttacks), (Lines{"Punch|0|11|2"}));
    EXPECT_EQ(TableRows(session.Tables.gActions), (Lines{"Parry|1", "Score a Critical Hit|11"}));
    // "Auto attack is off" is kept and counts nothing.
    EXPECT_TRUE(Holds(Kept(), "Auto attack is off."));
}

TEST_F(CombatTest, HitsAndMissesShareARowAndKeepTheLargestDamage) {
    Run(Timed({"You try to slash a rat, but miss!", "You slash a rat for 12 points of damage.",
               "You SLASH a rat for 7 points of damage.", "You try to SLASH a rat, but miss!",
               "You slash a rat for 15 points of damage.",
               // Damage that is not a number: kept on a new row, compared as 0 on an existing one.
               "You crush a rat for many points of damage.", "You crush a rat for 4 points of damage.",
               "You crush a rat for lots of points of damage.", "You try to kick a rat, but miss!",
               "You kick a rat for some points of damage.", "You kick a rat for 0 points of damage.",
               // No " points" after " for ": the damage stays 0.
               "You smite 3 points of damage for nothing.",
               "You maul a rat for 99999999999999999999 points of damage.",
               "You maul a rat for 99999999999999999999 points of damage.",
               // The damage ends at the first " points" after " for ", whatever follows it.
               "You bash a rat for 8 points points of damage.", "You bash a rat for 9 POINTS OF DAMAGE.",
               "You bash a rat for 10 pointsy points of damage.",
               "You bash a rat for 11 lots points of damage.",  // "11 lots" counts as 0 against 10
               // Attack lines that are neither hit nor miss, and heals of others: counted nowhere, dropped.
               "You slash a rat for 5 damage.", "You try to slash a rat.", "You try to slash a rat, but miss",
               "You have healed Ann for 20 points of damage."}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gYAttacks),
              (Lines{"Bash|0|4|10", "Crush|0|3|4", "Kick|1|2|0", "Maul|0|2|99999999999999999999",
                     "Slash|2|3|15", "Smite|0|1|0"}));
    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "You try to SLASH a rat, but miss!"));
    EXPECT_TRUE(Holds(log, "You smite 3 points of damage for nothing."));
    EXPECT_FALSE(Holds(log, "You slash a rat for 5 damage."));
    EXPECT_FALSE(Holds(log, "You try to slash a rat."));
    EXPECT_FALSE(Holds(log, "You try to slash a rat, but miss"));
    EXPECT_FALSE(Holds(log, "You have healed Ann for 20 points of damage."));
}

TEST_F(CombatTest, AttacksOnThePlayerTakeTheirBaseFormAndShareRowsWithMisses) {
    Run(Timed({"A rat bites YOU for 3 points of damage.", "A rat tries to bite YOU, but misses!",
               "A gnoll Bashes YOU for 4 points of damage.", "A gnoll hits YOU for 9 points of damage.",
               "A gnoll hits YOU for 5 points of damage.", "A gnoll pierces YOU for 6 points of damage.",
               "A gnoll slashes YOU for 7 points of damage.",
               "A gnoll crushes YOU for 99999999999999999999 points of damage.",
               "A gnoll tries to kick YOU, but misses!", "A gnoll kicks YOU for 2 points of damage.",
               "A gnoll tries to claw YOU, but misses!",
               // Any letter case; a " for " before the one that follows "YOU".
               "A gnoll hits you for 8 points of damage.", "A sword for hire hits You For 1 points of damage.",
               // Heals through the hit form count as an event and are still kept.
               "Ann healed YOU for 20 points of damage.",
               // Incomplete forms count nothing and are dropped.
               "A gnoll claws YOU for a while.", "A gnoll tries to flee."}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gMAttacks),
              (Lines{"Bash|0|1|4", "Bite|1|1|3", "Claw|1|0|?", "Crush|0|1|99999999999999999999", "Hit|0|4|9",
                     "Kick|1|1|2", "Pierce|0|1|6", "Slash|0|1|7"}));
    EXPECT_EQ(TableRows(session.Tables.gEvents), (Lines{"Healed|1"}));
    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "Ann healed YOU for 20 points of damage."));
    EXPECT_TRUE(Holds(log, "A rat tries to bite YOU, but misses!"));
    EXPECT_FALSE(Holds(log, "A gnoll claws YOU for a while."));
    EXPECT_FALSE(Holds(log, "A gnoll tries to flee."));
}

TEST_F(CombatTest, DefendedAttacksAreOnlyDefences) {
    Run(Timed({"A rat tries to hit YOU, but YOU parry!", "A rat tries to hit YOU, but YOU block!",
               "A rat tries to bite YOU, but YOU dodge.", "A rat tries to hit YOU, but YOU Parry!",
               "A rat hits YOU, but YOU riposte!", "A rat tries to hit YOU, but YOU are invulnerable!",
               "A rat tries to hit YOU, but YOU are protected!",
               "A rat tries to hit YOU, but YOU are already invisible."}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gActions), (Lines{"Block|1", "Dodge|1", "Parry|2", "Riposte|1"}));
    EXPECT_EQ(TableRows(session.Tables.gMAttacks), Lines{});
    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "A rat tries to bite YOU, but YOU dodge."));
    EXPECT_FALSE(Holds(log, "A rat tries to hit YOU, but YOU are invulnerable!"));
    EXPECT_FALSE(Holds(log, "A rat tries to hit YOU, but YOU are protected!"));
    EXPECT_FALSE(Holds(log, "A rat tries to hit YOU, but YOU are already invisible."));
}

TEST_F(CombatTest, AttackKindsAreTrimmedOfBlanksOnly) {
    // Only blanks are trimmed from a key: a tab is part of the attack's name.
    Run(Timed({"You slash\t a rat for 5 points of damage.", "You slash a rat for 7 points of damage."}));
    EXPECT_EQ(TableRows(session.Tables.gYAttacks), (Lines{"Slash|0|1|7", "Slash\t|0|1|5"}));
}

// A cut takes at most 255 characters: a damage whose " points" ends beyond them is no damage ("0"), on the
// player's hits and on hits on the player alike, and quoted speech is never searched for it.
TEST_F(CombatTest, DamageIsCutWithinTheLongestRest) {
    const std::string fits(248, '1'), tooLong(249, '2');
    Run(Timed({"You kick a rat for " + fits + " points of damage.",
               "You punch a rat for " + tooLong + " points of damage.",
               "A rat bites YOU for " + fits + " points of damage.",
               "A rat claws YOU for " + tooLong + " points of damage.",
               "You bash a rat for 7 'points of damage'", "A rat hits YOU for 8 'points of damage'"}));
    EXPECT_EQ(TableRows(session.Tables.gYAttacks), (Lines{"Kick|0|1|" + fits, "Punch|0|1|0"}));
    EXPECT_EQ(TableRows(session.Tables.gMAttacks), (Lines{"Bite|0|1|" + fits, "Claw|0|1|0"}));
}

// A miss is cut before the first " YOU, but misses" after " tries to ", within the 255 characters a cut
// takes; one that stands earlier in the message does not end it.
TEST_F(CombatTest, MissesAreCutAfterTheirOwnTriesTo) {
    const std::string longAttack(250, 'x');
    Run(Timed({"A rat YOU, but misses and tries to bite YOU, but misses!",
               "A rat tries to " + longAttack + " YOU, but misses!"}));
    EXPECT_EQ(TableRows(session.Tables.gMAttacks),
              (Lines{"Bite|1|0|?", "X" + longAttack.substr(1) + " YOU,|1|0|?"}));
}

}  // namespace
}  // namespace krav::test
