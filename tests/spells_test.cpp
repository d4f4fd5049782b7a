// Spells cast, memorised and resisted, spell results and item effects through whole runs.
#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace krav::test {
namespace {

using SpellsTest = StandardRunTest;

Lines Timed(const Lines& messages) {
    Lines lines;
    for (std::size_t i = 0; i < messages.size(); ++i)
        lines.push_back(At("10:00:" + std::to_string(100 + i % 60).substr(1), messages[i]));
    return lines;
}

TEST_F(SpellsTest, CastsResistsAndMemorisedSpellsMeetInOneRow) {
    Run(Timed({"You begin casting Lull.", "You begin casting Lull.", "You begin casting Lull.",
               "Your target resisted the Lull spell.", "You have finished memorizing Lull.",
               "You have finished memorizing Gate.",
               // A spell first met in a resist has Cast "?", which a later cast counts as 1.
               "Your target resisted the Root spell.", "You begin casting root.",
               "Your target cannot be mesmerized!"}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gSpells), (Lines{"Gate|0|0", "Lull|3|1", "Root|2|1"}));
    EXPECT_EQ(TableRows(session.Tables.gResults), (Lines{"Immune|1", "Resisted|2"}));
    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "You have finished memorizing Lull."));
    EXPECT_TRUE(Holds(log, "Your target cannot be mesmerized!"));
}

TEST_F(SpellsTest, SpellResultsAreNormalised) {
    Run(Timed({"Your spell is interrupted.", "Your spell fizzles!", "Your spell did not take hold.",
               "Your spell would not have taken hold on your target.", "Bob's spell is interrupted.",
               // Another player's spell is not the player's result.
               "Ann's spell is interrupted.", "You deliver a critical blast!",
               "You perform an exceptional heal!", "You regain your concentration and continue your casting.",
               "You are too distracted to cast a spell now!",
               "You are missing some required spell components.", "You resist the Lull spell!",
               "You resist the Poison!"}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gResults),
              (Lines{"Continue casting|1", "Deliver a Critical Blast|1", "Fizzles|1", "Interrupted|2",
                     "Missing components|1", "Perform an Exceptional Heal|1", "Too distracted|1",
                     "Wouldn't take hold|2"}));
    EXPECT_EQ(TableRows(session.Tables.gActions), (Lines{"Resist Lull|1", "Resist Poison|1"}));
    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "Your spell would not have taken hold on your target."));
    EXPECT_TRUE(Holds(log, "You are missing some required spell components."));
    EXPECT_FALSE(Holds(log, "Ann's spell is interrupted."));
}

TEST_F(SpellsTest, ItemEffectsNeedACapitalAfterYourAndNoneOfTheExcludedTexts) {
    Run(Timed({"Your Cloak of Flames feels warm.", "Your cloak of flames feels warm.",
               "Your Adventurer Stone glows with more power.", "Your 2nd Ring glows.",
               // Not item effects: dropped.
               "Your back feels better.", "Your Spirit of Wolf spell has worn off.", "Your Shield fades.",
               "Your UI XML file was loaded.", "Your Current Setting is 5.", "Your Location is 1, 2, 3."}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gFocus),
              (Lines{"2nd Ring glows|1", "Adventurer Stone glows with more power|1",
                     "Cloak of Flames feels warm|1"}));
    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "Your 2nd Ring glows."));
    for (const char* dropped :
         {"Your cloak of flames feels warm.", "Your back feels better.",
          "Your Spirit of Wolf spell has worn off.", "Your Shield fades.", "Your UI XML file was loaded.",
          "Your Current Setting is 5.", "Your Location is 1, 2, 3."}) {
        EXPECT_FALSE(Holds(log, dropped)) << dropped;
    }
}

}  // namespace
}  // namespace krav::test
