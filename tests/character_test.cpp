// Character and session information through whole runs: who lists and the friends file, languages, zones,
// played time, saved lines, the bind point, the surname, the guild roster and the end warnings.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "output/standard_run.h"
#include "platform/profile.h"
#include "recognisers/character.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;

using CharacterTest = StandardRunTest;

const Lines kWhoList = {
    At("10:00:00", "You have entered Greater Faydark."),
    At("10:01:00", "Players on EverQuest:"),
    At("10:01:00", "---------------------------"),
    At("10:01:00", "[13 Druid] Bob (Wood Elf) <Keepers of the Glade>"),
    At("10:01:00", "[ANONYMOUS] Ann  <Silent Grove>"),
    At("10:01:00", "AFK [51 Enchanter] Velyndra (High Elf)"),
    At("10:01:00", "LD [9 Bard] Tink (Half Elf) <Minstrels>"),
    At("10:01:00", "* GM-Admin * [60 Cleric] Gamma (Human)"),
    At("10:01:00", "[1 Warrior] Bad[Name] (Troll)"),
    At("10:01:00", "There are 6 players in The Greater Faydark."),
    At("10:02:00", "You have entered Greater Faydark."),
};

TEST_F(CharacterTest, WhoListFillsTheInfoFieldsTheFriendsFileAndTheZoneAlias) {
    Run(kWhoList, ShrinkMode::Compatible);
    EXPECT_EQ(session.Info.eClass, "Druid");
    EXPECT_EQ(session.Info.eLevel, "13");
    EXPECT_EQ(session.Info.eRace, "Wood Elf");
    EXPECT_EQ(session.Info.eGuild, "Keepers of the Glade");
    EXPECT_EQ(session.LinesRead, 11);
    EXPECT_EQ(TableRows(session.Tables.gZones), Lines{"Greater Faydark|The Greater Faydark|2"});

    platform::Profile friends((game.path() / "PRAL_tunare.lst").string());
    EXPECT_EQ(friends.KeyNames("PlayersKnownTo.Bob"), (Lines{"Bob", "Ann", "Velyndra", "Tink", "Gamma"}));
    EXPECT_EQ(friends.ReadString("PlayerInfo.Ann", "Class", ""), "ANONYMOUS");
    EXPECT_EQ(friends.ReadString("PlayerInfo.Ann", "Guild", ""), "Silent Grove");
    EXPECT_EQ(friends.ReadString("PlayerInfo.Velyndra", "Level", ""), "51");
    EXPECT_EQ(friends.ReadString("PlayerInfo.Velyndra", "Guild", "none"), "");  // a single blank, trimmed
    EXPECT_EQ(friends.ReadString("PlayerInfo.Tink", "Race", ""), "Half Elf");
    EXPECT_EQ(friends.ReadString("PlayerInfo.Gamma", "GM", ""), "GM-Admin");
    EXPECT_EQ(friends.ReadString("PlayerInfo.Gamma", "LogDate", ""), "07-Dec-2026 (10:01)");

    // Every line of the list stays in a compatible log; the dashes are written afresh.
    Lines expected = {At("10:00:00", "{KRAV} Start of File")};
    expected.insert(expected.end(), kWhoList.begin(), kWhoList.end());
    EXPECT_EQ(Kept(), Crlf(expected));
}

TEST_F(CharacterTest, WhoListEdgeCases) {
    // The player's own anonymous entry changes only the guild, and only when one is shown.
    Run({At("10:01:00", "Players in EverQuest:"), At("10:01:00", "----"), At("10:01:00", "[ANONYMOUS] Bob "),
         At("10:01:00", "[ANONYMOUS] Bob  <Quiet Ones>"), At("10:01:00", "You have entered Qeynos Hills.")});
    EXPECT_EQ(session.Info.eGuild, "Quiet Ones");
    EXPECT_EQ(session.Info.eClass, "unknown");
    // The closing line is consumed by the list, whatever it says.
    EXPECT_EQ(session.Info.eZone, "unknown");
    EXPECT_FALSE(session.Tables.gZones.HasRows);

    // A list cut off by the end of the log, even before its dashes.
    Run({At("10:01:00", "Players on EverQuest:")}, ShrinkMode::Compatible);
    EXPECT_EQ(Kept(), Crlf({At("10:01:00", "{KRAV} Start of File"), At("10:01:00", "Players on EverQuest:"),
                            At("10:01:00", "---------------------------")}));
    EXPECT_TRUE(session.RunSucceeded());

    // A stop in the middle of a list ends the run along the stop path.
    host.pendingCalls = 0;
    host.onPending = [this](int calls) {
        if (calls == 4) session.Stop();
    };
    Run(kWhoList);
    host.onPending = nullptr;
    EXPECT_TRUE(HasStatus("* * * STOPPED BY USER * * *"));
    EXPECT_LT(session.LinesRead, 11);
}

TEST_F(CharacterTest, WhoEntriesParseWithoutFailingOnOddForms) {
    WhoEntry who;
    ASSERT_TRUE(ParseWhoEntry("[ANONYMOUS] Morwen  <Keepers of the Glade>", who));
    EXPECT_EQ(who.name, "Morwen");
    EXPECT_EQ(who.guild, "Keepers of the Glade");
    EXPECT_EQ(who.level, " ");
    ASSERT_TRUE(ParseWhoEntry("[50 Shadow Knight] Grim (Dark Elf) <Night> ZONE: neriaka", who));
    EXPECT_EQ(who.className, "Shadow Knight");
    EXPECT_EQ(who.level, "50");
    EXPECT_EQ(who.name, "Grim");
    // An entry whose name carries a title without its closing mark keeps the name whole.
    ASSERT_TRUE(ParseWhoEntry("[60 Cleric] * Guide Bob (Human)", who));
    EXPECT_EQ(who.name, "* Guide Bob");
    EXPECT_EQ(who.title, "");
    ASSERT_TRUE(ParseWhoEntry("[60 Cleric] * Guide * Bob (Human)", who));
    EXPECT_EQ(who.name, "Bob");
    EXPECT_EQ(who.title, "Guide");
    // Malformed entries give empty or odd cuts, never a failure.
    for (const char* odd :
         {"[", "[5", "[5 War", "[5 War]Bob", "AFK [", "* ", "* x *", "[ANONYMOUS]", "LD [x] (y"}) {
        ParseWhoEntry(odd, who);
    }
    EXPECT_FALSE(ParseWhoEntry("There are 3 players in EverQuest.", who));
    EXPECT_FALSE(ParseWhoEntry("* no bracket anywhere", who));
}

TEST_F(CharacterTest, FriendsFileFailureWarnsOnceAndTheRunGoesOn) {
    fs::create_directories(game.path() / "PRAL_tunare.lst");  // a folder where the file should be
    Lines log = kWhoList;
    log.insert(log.end(), kWhoList.begin() + 1, kWhoList.end());
    Run(log);
    const std::string warning =
        "WARNING: Unable to update friends file (" + (game.path() / "PRAL_tunare.lst").string() + ")!";
    EXPECT_EQ(std::count(session.Status.begin(), session.Status.end(), warning), 1);
    // Where the end of the log put it, before the end steps' lines, though the file is written beside them.
    ASSERT_GE(session.Status.size(), 3u);
    EXPECT_EQ(session.Status[1], warning);
    EXPECT_EQ(session.LinesRead, 21);

    // Nothing to say between the end of the log and the report (the guild's roster is there): the report is
    // written beside the file, and its line waits for the warning.
    WriteFile(game.path() / "Keepers_of_the_Glade.txt", "");
    WriteFile(Log(), Crlf(kWhoList));
    RunInputs in = MakeInputs(game, ShrinkMode::ReadOnly, "Bob");
    in.Report = true;
    ProcessingRun::Run(session, in, host, StandardRunSteps());
    ASSERT_GE(session.Status.size(), 3u);
    EXPECT_EQ(session.Status[1], warning);
    EXPECT_TRUE(session.Status[2].starts_with("Generating Log Report")) << session.Status[2];
}

TEST_F(CharacterTest, LanguagesFollowTheLastLanguageHeard) {
    Run({At("10:00:00", "Ann tells the group, in Elvish, 'hi'"),
         At("10:00:01", "Your language skills have improved."),
         At("10:00:02", "Your language skills have improved. (an unknown tongue)"),
         At("10:00:03", "Your language skills have improved. (Gnollish)"),
         At("10:00:04", "You have learned basic language skills. (Dwarvish)")},
        ShrinkMode::Compatible);
    EXPECT_EQ(
        TableRows(session.Tables.gSkills),
        (Lines{"Gnollish|?|unknown|?", "Language : Dwarvish|?|unknown|?", "Language : Elvish|?|unknown|?"}));
    EXPECT_EQ(Kept(), Crlf({At("10:00:00", "{KRAV} Start of File"),
                            At("10:00:01", "Your language skills have improved. (Elvish)"),
                            At("10:00:02", "Your language skills have improved. (an unknown tongue)"),
                            At("10:00:03", "Your language skills have improved. (Gnollish)"),
                            At("10:00:04", "You have learned basic language skills. (Dwarvish)")}));
}

// The language is taken from the phrase wherever it stands before the quoted speech and in any case; a comma
// that is not the phrase's does not hide a later one.
TEST_F(CharacterTest, LanguagePhraseAfterOtherCommasAndInAnyCase) {
    Run({At("10:00:00", "Well, Ann says, IN Gnomish, 'hi'"),
         At("10:00:01", "Your language skills have improved."), At("10:00:02", "Bob says,in Elvish, 'hi'"),
         At("10:00:03", "Your language skills have improved."),
         At("10:00:04", "Cal tells the group, in Dwarvish, 'yo'"),
         At("10:00:05", "Your language skills have improved.")},
        ShrinkMode::Compatible);
    EXPECT_EQ(Kept(), Crlf({At("10:00:00", "{KRAV} Start of File"),
                            At("10:00:01", "Your language skills have improved. (Gnomish)"),
                            At("10:00:03", "Your language skills have improved. (Gnomish)"),
                            At("10:00:05", "Your language skills have improved. (Dwarvish)")}));
}

TEST_F(CharacterTest, ZonesPlayedTimeAndBindPoint) {
    Run({At("10:00:00", "You have entered ."), At("10:00:01", "You have entered Qeynos Hills."),
         At("10:00:02", "You are currently bound in: North Karana"),
         At("10:00:03", "Total time playing on this character: 2 days, 3 hours and 14 minutes."),
         At("10:00:04", "This session: 1 hour and 5 minutes."), At("10:00:05", "This session: 12 minutes."),
         At("10:00:06", "You have entered Blackburrow.")},
        ShrinkMode::Smallest);
    EXPECT_EQ(session.Info.eZone, "Blackburrow");
    EXPECT_EQ(session.Info.eBound, "North Karana");
    EXPECT_EQ(session.Info.ePlayed, "2 days, 3 hours and 14 minutes");
    EXPECT_EQ(session.Info.eAsOf, "07-Dec-2026 (10:00)");
    EXPECT_EQ(session.Character.SessionTime, "1 hour and 5 minutes");
    EXPECT_EQ(TableRows(session.Tables.gZones), (Lines{"Blackburrow| |1", "Qeynos Hills| |1"}));
    // Zone, played and session lines are only kept in a compatible log; the bind line in none.
    EXPECT_EQ(Kept(), Crlf({At("10:00:00", "{KRAV} Start of File")}));

    Run({At("10:00:00", "You have entered Qeynos Hills."),
         At("10:00:01", "You feel yourself bind to the area.")});
    EXPECT_EQ(session.Info.eBound, "Qeynos Hills");
}

TEST_F(CharacterTest, SavedLinesNameTheCharacterAndWarnOfOthers) {
    Run({At("10:00:00", "Bob saved."), At("10:00:01", "Ann saved."), At("10:00:02", "Bob saved."),
         At("10:00:03", "You cast a spell set saved."), At("10:00:04", "Ann saved.")},
        ShrinkMode::Smallest);
    EXPECT_EQ(std::count(session.Status.begin(), session.Status.end(),
                         "WARNING: Log file may contain multiple characters! (Ann)"),
              2);
    // Only the first saved line stays in a smallest log.
    EXPECT_EQ(Kept(), Crlf({At("10:00:00", "{KRAV} Start of File"), At("10:00:00", "Bob saved.")}));

    Run({At("10:00:00", "Zed saved.")}, ShrinkMode::ReadOnly, "unknown");
    EXPECT_EQ(session.Info.eName, "Zed");
}

TEST_F(CharacterTest, SurnameApprovedExtendsTheName) {
    Run({At("10:00:00", "Congratulations, you won nothing."),
         At("10:00:01", "Congratulations, Bob Stonefist, your surname was approved.")});
    EXPECT_EQ(session.Character.Surname, "Stonefist");
    EXPECT_EQ(session.Info.eName, "Bob Stonefist");
}

TEST_F(CharacterTest, GuildRosterRowsAndMissingRoster) {
    WriteFile(
        game.path() / "Keepers_of_the_Glade.txt",
        "Soandso\t50\tWarrior\tO\t2/3/04\textra\r\nAnn\t12\tDruid\tl\t13/2/05\r\nShort\t7\r\n\t1\t2\t3\t4\r\n"
        "Soandso\t51\tWarrior\tL\t3/1/04\r\n");
    Run({At("10:01:00", "Players on EverQuest:"), At("10:01:00", "----"),
         At("10:01:00", "[13 Druid] Bob (Wood Elf) <Keepers of the Glade>"),
         At("10:01:00", "There are 1 players.")});
    EXPECT_EQ(TableRows(session.Tables.gGuild), (Lines{"Ann|12|Druid|Leader|2 13, 2005", "Short|7|||",
                                                       "Soandso|51|Warrior|Leader|1 March, 2004"}));

    // A guild name from the log that would lead out of the game folder reads no file there.
    WriteFile(game.path() / "logs" / "x.txt", "Mallory\t1\tRogue\tL\t1/1/04\r\n");
    Run({At("10:01:00", "Players on EverQuest:"), At("10:01:00", "----"),
         At("10:01:00", "[13 Druid] Bob (Wood Elf) <logs/x>"), At("10:01:00", "There are 1 players.")});
    EXPECT_FALSE(session.Tables.gGuild.HasRows);
    EXPECT_TRUE(HasStatus("WARNING: " + game.text() +
                          "logs/x.txt not found! Dump guild list in game to log guild info."));

    Run({At("10:00:00", "You have entered Qeynos Hills.")});
    EXPECT_TRUE(HasStatus("WARNING: " + game.text() +
                          "unknown.txt not found! Dump guild list in game to log guild info."));
    EXPECT_FALSE(session.Tables.gGuild.HasRows);
}

TEST_F(CharacterTest, EndWarningsFollowWhatTheLogTold) {
    WriteFile(game.path() / "Guild.txt", "");
    Lines known = {At("10:01:00", "Players on EverQuest:"),
                   At("10:01:00", "----"),
                   At("10:01:00", "[13 Druid] Bob (Wood Elf) <Guild>"),
                   At("10:01:00", "There are 1 players."),
                   At("10:02:00", "You are currently bound in: Kelethin"),
                   At("10:03:00", "Total time playing on this character: 3 hours.", "03")};
    Run(known);
    EXPECT_EQ(session.WarningCount, 0) << session.Status[1];

    known.push_back(At("10:04:00", "You have entered Kelethin.", "07"));
    Run(known);
    EXPECT_EQ(session.Status,
              (Lines{"Reading: \"" + game.text() + "logs/eqlog_Bob_tunare.txt\"...",
                     "WARNING: Total Time Played has not been updated recently! Use /PLAYED in "
                     "game to log Time Played.",
                     "7 lines read", "1 warnings reported"}));
}

}  // namespace
}  // namespace krav::test
