// Skill values, skill attempts and the maximums of the reference data.
#include <gtest/gtest.h>

#include "recognisers/skills.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

class SkillsTest : public StandardRunTest {
protected:
    // A who entry that gives the character a class and a level.
    static std::string Who(const std::string& level, const std::string& cls) {
        return "[" + level + " " + cls + "] Bob (Human) <Guild>";
    }
    Lines WhoList(const std::string& level, const std::string& cls) {
        return {At("09:00:00", "Players on EverQuest:"), At("09:00:00", "---"),
                At("09:00:00", Who(level, cls)), At("09:00:00", "There is 1 player.")};
    }
    void WriteReference() {
        WriteFile(game.path() / "KRAV.ini",
                  "[Languages]\nElvish=1\n[Classes]\nWarrior=Warrior\nWarlord=Warrior\n"
                  "[Class.Warrior]\nOffense=0,5,5,200,225,0,-1\nSwimming=0,5,5,100,200,90,-1\nBash=0,5,5\n"
                  "[AllClasses]\nSwimming=0,1,1,1,1,0,0\nFishing=0,1,1,200,200,0,0\n");
    }
};

TEST_F(SkillsTest, SkillUpsAndTrainingSetValuesAndRanks) {
    Run({At("10:00:00", "You have become better at Swimming! (42)"),
         At("10:00:01", "You have become better at Elvish! (12)"),
         At("10:00:02", "You have become better at Offense! (30)"),
         At("10:00:03", "Tarn tells you, 'You have increased your skill in Offense.'"),
         At("10:00:04", "Tarn tells you, 'You have increased your skill in Tracking.'"),
         At("10:00:05", "Tarn tells you, 'You have increased your skill in Tracking.'"),
         At("10:00:06", "Tarn tells you, 'You have learned the very basics of Swimming.'"),
         At("10:00:07", "Tarn TELLS YOU, 'you have learned the very basics of Fishing.'"),
         At("10:00:08", "You have become better at Oddity! (x)"),
         At("10:00:09", "You have become better at Broken")},
        ShrinkMode::Compatible);
    EXPECT_EQ(
        TableRows(session.Tables.gSkills),
        (Lines{"|?|unknown|?", "Fishing|?|unknown|?", "Language : Elvish|12|Feeble|?", "Oddity|?|unknown|?",
               "Offense|31|Bad|?", "Swimming|42|unknown|?", "Tracking|?|unknown|?"}));
    // None of these lines is kept: the end records carry the skills instead.
    EXPECT_EQ(Kept(), Crlf({At("10:00:00", "{KRAV} Start of File")}));
}

TEST_F(SkillsTest, AttemptsCountSuccessesAndFailures) {
    Run({At("10:00:00", "You caught a fresh fish."), At("10:00:01", "You caught a fresh fish."),
         At("10:00:02", "You didn't catch anything."), At("10:00:03", "You're not scaring anyone."),
         At("10:00:04", "You have hidden yourself from view."),
         At("10:00:05", "You have momentarily ducked away from the main combat."),
         At("10:00:06", "You fail to disarm the detected trap."),
         At("10:00:07", "You have disarmed the trap."),
         At("10:00:08", "You have fashioned the items together to create something new!")},
        ShrinkMode::Compatible);
    EXPECT_EQ(TableRows(session.Tables.gAttempts),
              (Lines{"Disarm Traps|1|1", "Fishing|1|2", "Hide|0|1", "Hide (Evade Combat)|0|1",
                     "Intimidation|1|?", "Trade Skills|0|1"}));
    EXPECT_NE(Kept().find("You're not scaring anyone."), std::string::npos);
}

TEST_F(SkillsTest, SkillCapFormula) {
    EXPECT_EQ(SkillCap("0,5,5,200,225,0,-1", 20).text, "110");
    EXPECT_EQ(SkillCap("0,5,5,200,225,0,-1", 60).text, "225");
    EXPECT_EQ(SkillCap("0,5,5,200,225,210,-1", 60).text, "210 / 225");
    EXPECT_EQ(SkillCap("0,5,5,200,225,210,-1", 20).text, "110");  // the lower cap is above M
    EXPECT_EQ(*SkillCap("0,0,0,50,", 10).value, 50);              // M of 0 takes the cap
    EXPECT_EQ(SkillCap("0,5,5,200", 20).text, "?");
    EXPECT_FALSE(SkillCap("", 20).value);
    EXPECT_EQ(SkillCap("x,y,z,w,v", 20).text, "0");
    EXPECT_EQ(SkillCap("0,9223372036854775807,9223372036854775807,5,5", 60).text, "5");
}

TEST_F(SkillsTest, MaximumsAreCheckedForTheClassAndLevelAtTheEnd) {
    WriteReference();
    Lines log = WhoList("60", "Warlord");
    log.insert(log.end(), {At("10:00:00", "You have become better at Offense! (225)"),
                           At("10:00:01", "You have become better at Swimming! (250)"),
                           At("10:00:02", "You have become better at Fishing! (20)"),
                           At("10:00:03", "You have become better at Bash! (20)"),
                           At("10:00:04", "You have become better at Kick! (20)")});
    Run(log);
    EXPECT_EQ(TableRows(session.Tables.gSkills),
              (Lines{"Bash|20|Feeble|?", "Fishing|20|Feeble|61", "Kick|20|Feeble|?", "Offense|225|Master|225",
                     "Swimming|250|Master|90 / 200"}));
    EXPECT_TRUE(
        HasStatus("WARNING: Swimming skill exceeds maximum. Value defined in KRAV.ini may be incorrect."));
    EXPECT_FALSE(
        HasStatus("WARNING: Offense skill exceeds maximum. Value defined in KRAV.ini may be incorrect."));

    // With the class unknown the Max column stays as it was.
    Run({At("10:00:00", "You have become better at Swimming! (250)")});
    EXPECT_EQ(TableRows(session.Tables.gSkills), (Lines{"Swimming|250|Master|?"}));
    EXPECT_EQ(session.WarningCount, 4);  // character, bind point, played time and roster: nothing of skills
}

TEST_F(SkillsTest, WithoutReferenceDataTheSkillTableHasNoMaxColumn) {
    std::filesystem::remove(game.path() / "KRAV.ini");
    Lines log = WhoList("20", "Warrior");
    log.push_back(At("10:00:00", "You have become better at Offense! (300)"));
    Run(log);
    EXPECT_EQ(session.Tables.gSkills.ColCount(), 3);
    EXPECT_EQ(TableRows(session.Tables.gSkills), (Lines{"Offense|300|Master"}));
    WriteReference();
    Run(log);
    EXPECT_EQ(session.Tables.gSkills.ColCount(), 3);  // not widened again
}

}  // namespace
}  // namespace krav::test
