// Experience, levels, deaths, states and the small actions of the player through whole runs.
#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace krav::test {
namespace {

using EventsTest = StandardRunTest;

TEST_F(EventsTest, ExperienceLevelsAdventuresAndFixedEvents) {
    Run(Timed({"You gain raid experience!", "You gained raid experience!", "You gain party experience!!",
               "You gain experience!!", "You have gained a level! Welcome to level 12!", "You raise a level!",
               "You LOST a level! You are now level 11.", "You have successfully completed your adventure.",
               "You failed to complete your adventure in time.", "Welcome to EverQuest!",
               "You yell for help!", "You are being resurrected.", "You are no longer afraid."}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gEvents),
              (Lines{"Completed Adventure|1", "Failed Adventure|1", "Feared|1", "Gain experience|1",
                     "Gain party experience|1", "Gain raid experience|2", "Lost a level|1", "Raise a level|2",
                     "Resurrected|1"}));
    EXPECT_EQ(TableRows(session.Tables.gActions), (Lines{"Enter Norrath|1", "Yell for help|1"}));
    // The level-up without "Welcome to level " leaves the level of the earlier one.
    EXPECT_EQ(session.Info.eLevel, "12");
    EXPECT_TRUE(Holds(Kept(), "You gained raid experience!"));
}

TEST_F(EventsTest, DeathsCountTheKillerAgainstTheMob) {
    Run(Timed({"You have entered Qeynos Hills.", "You have slain a rat!", "You have been slain by a rat!",
               "You have been slain!"}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gEvents), (Lines{"Slain|2"}));
    EXPECT_EQ(TableRows(session.Tables.gMobs), (Lines{"a rat|1|1|Qeynos Hills"}));
    EXPECT_TRUE(Holds(Kept(), "You have been slain!"));
}

TEST_F(EventsTest, HaveBeenAndWereEventsDropTheBlowsAndTheGroupNotices) {
    Run(Timed({"You have been knocked unconscious!", "You have been healed by Ann.",
               "You have been healed for 20 points.", "You have been stunned!",
               "You have been struck by lightning.", "You have been slammed by a tree.",
               "You have been smitten!", "You have been lacerated.", "You have been removed from the group.",
               "You have been given permission to loot.", "You have been denied permission to loot.",
               "You are too fatigued to continue running.", "You have to stop running.",
               "You were hit by non-melee for 12 damage.", "You were struck by the mob.",
               "You were slammed into a wall!", "You were badly lacerated."}),
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gEvents),
              (Lines{"Fatigued|2", "Healed|2", "Hit by non-melee|1", "Knocked unconscious|1", "Stunned|1"}));
    const std::string log = Kept();
    EXPECT_TRUE(Holds(log, "You have been healed for 20 points."));
    EXPECT_TRUE(Holds(log, "You were hit by non-melee for 12 damage."));
    for (const char* dropped :
         {"You have been struck by lightning.", "You have been slammed by a tree.", "You have been smitten!",
          "You have been lacerated.", "You have been removed from the group.",
          "You have been given permission to loot.", "You have been denied permission to loot.",
          "You were struck by the mob.", "You were slammed into a wall!", "You were badly lacerated."}) {
        EXPECT_FALSE(Holds(log, dropped)) << dropped;
    }
}

TEST_F(EventsTest, FoodDrinkTrackingTauntAndStates) {
    const Lines messages = {"You take a drink.",
                            "You take a bite of bread.",
                            "Glug, glug, glug...  Ann takes a drink.",
                            "You begin tracking a rat.",
                            "You taunt a rat to ignore others and attack you!",
                            "You are out of food and drink.",
                            "You are out of food and low on drink.",
                            "You are out of drink and low on food.",
                            "You are stunned!",
                            "You are Stunned!",
                            "You are blinded by the light!",
                            "You are hungry.",
                            "You are bleeding to death!",
                            "You are encumbered!",
                            "You are feeling lucky."};
    Run(Timed(messages), ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gActions),
              (Lines{"Take a bite|1", "Take a drink|1", "Take a swig|1", "Taunt|1", "Track|1"}));
    EXPECT_EQ(TableRows(session.Tables.gEvents),
              (Lines{"Bleeding to death|1", "Blinded|1", "Encumbered|1", "Hungry|1", "Out of drink|2",
                     "Out of food|2", "Stunned|2"}));
    EXPECT_TRUE(Holds(Kept(), "You are out of food and drink."));
    EXPECT_TRUE(Holds(Kept(), "You are feeling lucky."));

    // A state these tables do not know stays in the smallest log too; the known ones leave it.
    Run(Timed(messages), ShrinkMode::Smallest);
    EXPECT_TRUE(Holds(Kept(), "You are feeling lucky."));
    EXPECT_FALSE(Holds(Kept(), "You are stunned!"));
}

// Each message is announced by a special attack and followed by an attack: when the message ends in the
// "You " block, the attack counts plain.
Lines BetweenSpecialAndAttack(const Lines& middle) {
    Lines messages;
    for (const std::string& m : middle)
        messages.insert(messages.end(),
                        {"You score a critical hit!", m, "You kick a rat for 1 points of damage."});
    return Timed(messages);
}

TEST_F(EventsTest, ExcludedYouAreAndYouWereMessagesEndInTheYouBlock) {
    const Lines excluded = {"You are adorned with jewels.",
                            "You are already mounted.",
                            "You are amazed by the view.",
                            "You are as quiet as a mouse.",
                            "You are bathed in light.",
                            "You are being bandaged.",
                            "You are blasted by ice.",
                            "You are burned by fire.",
                            "You are conscious again.",
                            "You are currently nowhere.",
                            "You are encased in ice.",
                            "You are engulfed by flames.",
                            "You are enveloped by darkness.",
                            "You are inspecting Ann.",
                            "You are low on drink.",
                            "You are missing a finger.",
                            "You are no longer hungry.",
                            "You are not hungry.",
                            "You are not a member of a guild.",
                            "You are now A.F.K.",
                            "You are pelted by hail.",
                            "You are pierced by thorns.",
                            "You are slammed by a wave.",
                            "You are so happy.",
                            "You are struck by lightning.",
                            "You are surrounded by bees.",
                            "You are too far away.",
                            "You are unstunned.",
                            "You are unable to move.",
                            "You are wracked by pain.",
                            "You were JUST KIDDING",
                            "You were removed from the raid."};
    Run(BetweenSpecialAndAttack(excluded), ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gYAttacks), (Lines{"Kick|0|32|1"}));
    EXPECT_EQ(TableRows(session.Tables.gEvents), Lines{});
    EXPECT_EQ(TableRows(session.Tables.gActions), (Lines{"Score a Critical Hit|32"}));
    EXPECT_EQ(TableRows(session.Tables.gAttempts), Lines{});
    const std::string log = Kept();
    for (const std::string& m : excluded)
        EXPECT_FALSE(Holds(log, m)) << m;
}

}  // namespace
}  // namespace krav::test
