// Summary records: the lines a shrinking run writes at the end of its new log, and the reader that restores
// the tables and the character's state from them in the next run.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "output/standard_run.h"
#include "recognisers/summary_records.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

std::string Record(const std::string& time, const std::string& text) {
    return At(time, "{KRAV} " + text);
}

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1))
        ++count;
    return count;
}

// Every table that records carry, gGuild left out.
std::vector<Lines> RecordedTables(Session& session) {
    std::vector<Lines> tables;
    for (const StatTable* table : session.Tables.All()) {
        if (table != &session.Tables.gGuild) tables.push_back(TableRows(*table));
    }
    return tables;
}

Lines InfoOf(const Session& session) {
    const InfoFields& i = session.Info;
    return {i.eName, i.eClass,  i.eLevel, i.eRace, i.eGuild, i.eBound,
            i.eZone, i.ePlayed, i.eAsOf,  i.eFrom, i.eTo};
}

class SummaryRecordTest : public StandardRunTest {
protected:
    // A run over the log as it stands.
    void Rerun(ShrinkMode mode) {
        ProcessingRun::Run(session, MakeInputs(game, mode), host, StandardRunSteps());
    }
    int Warnings(const std::string& line) const {
        return static_cast<int>(std::count(session.Status.begin(), session.Status.end(), line));
    }
    // The end records of the new log: what follows the kept lines.
    std::string EndRecords() const { return ReadFile(Log()).substr(Kept().size()); }
};

const Lines kRawLog = {
    At("09:00:00", "You have entered Greater Faydark."),
    At("09:00:01", "Players on EverQuest:"),
    At("09:00:01", "---------------------------"),
    At("09:00:01", "[13 Druid] Bob (Wood Elf) <Keepers of the Glade>"),
    At("09:00:01", "There are 1 players in The Greater Faydark."),
    At("09:00:02", "You are currently bound in: Kelethin"),
    At("09:00:03", "Total time playing on this character: 2 days, 3 hours and 14 minutes."),
    At("09:00:04", "You have become better at Swimming! (42)"),
    At("09:00:05", "You have become better at Elvish! (12)"),
    At("09:00:06", "You have hidden yourself from view."),
    At("09:00:07", "You have momentarily ducked away from the main combat."),
    At("09:00:08", "You're not scaring anyone."),
    At("09:01:00", "You have entered Qeynos Hills."),
    At("09:01:01", "Your faction standing with Merchants of Tarn got better."),
    At("09:01:02", "Your faction standing with Merchants of Tarn could not possibly get any better."),
    At("09:01:03", "Your faction standing with Guards could not possibly get any better."),
    At("09:01:04", "Your faction standing with Guards got worse."),
    At("09:01:05", "Captain Tillin regards you curiously -- he looks kind."),
    At("09:01:06", "You have slain a gnoll!"),
    At("09:01:07", "Tamar tells you, I'll give you 5 gold for the Cloth Cap."),
    At("09:01:08", "You receive 5 gold from Tamar for the Cloth Cap(s)."),
    At("09:01:09", "--You have looted 2 Bone Chips.--"),
    At("09:01:10", "--You have looted a Rusty Axe.--"),
    At("09:01:11", "You just dropped your Rusty Axe."),
    At("09:01:12", "Your Cloak of Flames feels warm."),
    At("09:01:13", "You score a critical hit! (45)"),
    At("09:01:14", "You slash a gnoll for 45 points of damage."),
    At("09:01:15", "You try to kick a gnoll, but miss!"),
    At("09:01:16", "A gnoll bites YOU for 3 points of damage."),
    At("09:01:17", "Your target resisted the Root spell."),
    At("09:01:18", "You begin casting Lull."),
    At("09:01:19", "Your spell fizzles!"),
    At("09:01:20", "You take a drink."),
    At("09:01:21", "You gain experience!!"),
};

TEST_F(SummaryRecordTest, ShrunkLogRestoresEveryTableAndTakesNewGameLines) {
    Run(kRawLog, ShrinkMode::Smallest);
    ASSERT_TRUE(session.RunSucceeded());
    const std::vector<Lines> first = RecordedTables(session);
    const Lines firstInfo = InfoOf(session);
    const StatTables& t = session.Tables;
    // The raw log fills every table written as records, with the awkward cells among them.
    EXPECT_EQ(TableRows(t.gSkills), (Lines{"Language : Elvish|12|Feeble|?", "Swimming|42|Below Average|?"}));
    EXPECT_EQ(TableRows(t.gAttempts), (Lines{"Hide|0|1", "Hide (Evade Combat)|0|1", "Intimidation|1|?"}));
    EXPECT_EQ(TableRows(t.gZones), (Lines{"Greater Faydark|The Greater Faydark|1", "Qeynos Hills| |1"}));
    EXPECT_EQ(TableRows(t.gFactions),
              (Lines{"Guards|2|?| |Qeynos Hills", "Merchants of Tarn|0|1|Max|Qeynos Hills"}));
    EXPECT_EQ(TableRows(t.gCons), Lines{"Captain Tillin|curiously |Qeynos Hills"});
    EXPECT_EQ(TableRows(t.gLoot), (Lines{"*2 Bone Chips|1|0|0|?|Qeynos Hills", "Cloth Cap|0|0|1|?|",
                                         "Rusty Axe|1|0|0|1|Qeynos Hills"}));
    EXPECT_EQ(TableRows(t.gYAttacks), (Lines{"Kick|1|0|?", "Slash (Critical Hit)|0|1|45"}));
    EXPECT_EQ(TableRows(t.gSpells), (Lines{"Lull|1|0", "Root|?|1"}));
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_FALSE(first[i].empty()) << "table " << i;
    EXPECT_EQ(session.Info.eAsOf, "07-Dec-2026 (09:00)");

    // The shrunk log read again with nothing added shows the same.
    Rerun(ShrinkMode::Smallest);
    EXPECT_TRUE(session.RunSucceeded());
    EXPECT_EQ(RecordedTables(session), first);
    EXPECT_EQ(InfoOf(session), firstInfo);
    EXPECT_EQ(ReadFile(game.path() / "logs" / "OLDLOG_eqlog_Bob_tunare.txt"), Crlf(kRawLog));

    // Lines the game appended after the end record count on top of the restored rows and go to the backup.
    const Lines later = {
        At("11:00:00", "You have slain a gnoll!"), At("11:00:01", "You have become better at Swimming! (43)"),
        At("11:00:02", "Your target resisted the Root spell."), At("11:00:03", "You're not scaring anyone."),
        At("11:00:04", "You have entered Blackburrow.")};
    WriteFile(Log(), ReadFile(Log()) + Crlf(later));
    Rerun(ShrinkMode::Smallest);
    EXPECT_EQ(TableRows(t.gMobs), Lines{"a gnoll|0|2|Qeynos Hills"});
    EXPECT_EQ(TableRows(t.gSkills), (Lines{"Language : Elvish|12|Feeble|?", "Swimming|43|Below Average|?"}));
    EXPECT_EQ(TableRows(t.gSpells), (Lines{"Lull|1|0", "Root|?|2"}));
    EXPECT_EQ(TableRows(t.gAttempts), (Lines{"Hide|0|1", "Hide (Evade Combat)|0|1", "Intimidation|2|?"}));
    EXPECT_EQ(TableRows(t.gZones),
              (Lines{"Blackburrow| |1", "Greater Faydark|The Greater Faydark|1", "Qeynos Hills| |1"}));
    EXPECT_EQ(session.Info.eZone, "Blackburrow");
    EXPECT_EQ(ReadFile(game.path() / "logs" / "OLDLOG_eqlog_Bob_tunare.txt"), Crlf(kRawLog) + Crlf(later));
    EXPECT_EQ(CountOf(ReadFile(Log()), "{KRAV} End of File"), 1);
}

TEST_F(SummaryRecordTest, ValuesHoldingParenthesesStayWhole) {
    SummaryRecord r = ParseSummaryRecord("{KRAV} Skill Attempts: Hide (Evade Combat) (2,5)");
    EXPECT_EQ(r.key, "Skill Attempts");
    EXPECT_EQ(r.value, "Hide (Evade Combat)");
    EXPECT_EQ(r.n1, "2");
    EXPECT_EQ(r.last, "5");
    r = ParseSummaryRecord("{KRAV} As of: 07-Dec-2026 (04:13)");
    EXPECT_EQ(r.value, "07-Dec-2026 (04:13)");
    EXPECT_EQ(r.n1 + r.last, "");
    r = ParseSummaryRecord("{KRAV} Played: 2 days (1,2) // note");
    EXPECT_EQ(r.value, "2 days (1,2) ");  // the blank before "// " stays
    EXPECT_EQ(r.comment, "note");
    EXPECT_EQ(r.n1 + r.last, "");
    r = ParseSummaryRecord("{KRAV} Factions: Guards of Qeynos (-2,?,+5) // Qeynos Hills");
    EXPECT_EQ(r.value, "Guards of Qeynos");
    EXPECT_EQ(r.n1 + "|" + r.n2 + "|" + r.n3 + "|" + r.last, "-2|?||+5");
    EXPECT_EQ(r.comment, "Qeynos Hills");

    Run({Record("10:00:00", "Skill Attempts: Hide (Evade Combat) (2,5)"),
         Record("10:00:01", "As of: 07-Dec-2026 (04:13)"), Record("10:00:02", "Played: 3 hours (or so)")});
    EXPECT_EQ(TableRows(session.Tables.gAttempts), Lines{"Hide (Evade Combat)|2|5"});
    EXPECT_EQ(session.Info.eAsOf, "07-Dec-2026 (04:13)");
    EXPECT_EQ(session.Info.ePlayed, "3 hours (or so)");
}

TEST_F(SummaryRecordTest, EachRecordFormRestoresItsColumns) {
    Run({Record("10:00:00", "Factions: Guards of Qeynos (-2,?,+5) // Qeynos Hills"),
         Record("10:00:01", "Zones: Blackburrow (3) //  "),
         Record("10:00:02", "Zones: Qeynos Hills (2)"),
         Record("10:00:03", "Zones: Greater Faydark (4) // The Greater Faydark"),
         Record("10:00:04", "Loot: $Gold (0,0,?,3) // "),
         Record("10:00:05", "Loot: Bone Chip (,,2,5) // Blackburrow"),
         Record("10:00:06", "Loot: Rusty Axe (1,0,?,0) // * Many Zones"),
         Record("10:00:07", "Your Attacks: kick (4,10,25)"),
         Record("10:00:08", "Mob's Attacks: Bite (1,2,3)"),
         Record("10:00:09", "Mobs: a gnoll (1,4) // * Many Zones"),
         Record("10:00:10", "Vendors: Tamar (2,1) // Freeport"),
         Record("10:00:11", "Consider Messages: Guard Arlen (ally) // Qeynos"),
         Record("10:00:12", "Consider Messages: Captain Tillin (curiously )"),
         Record("10:00:13", "Item Effects: Cloak of Flames feels warm (3)"),
         Record("10:00:14", "Spells: Lull (3)"),
         Record("10:00:15", "Spells: Root (?,1)"),
         Record("10:00:16", "Spell Results: Fizzles (2)"),
         Record("10:00:17", "Misc Actions: Taunt (6)"),
         Record("10:00:18", "Misc Events: Slain (1)"),
         Record("10:00:19", "Languages: Elvish"),
         Record("10:00:20", "Languages: Gnollish"),
         Record("10:00:21", "Languages: unknown tongues"),
         Record("10:00:22", "Class: Druid"),
         Record("10:00:22", "Class: 'Warrior"),
         Record("10:00:23", "Level: 13"),
         Record("10:00:24", "Race: Wood Elf"),
         Record("10:00:25", "Guild: Glade"),
         Record("10:00:26", "Bound: Kelethin"),
         Record("10:00:27", "Zone: Kelethin"),
         Record("10:00:28", "Session: 1 hour"),
         Record("10:00:29", "On: 07-Dec-2026 (10:00)"),
         Record("10:00:30", "Character: Zed"),
         Record("10:00:31", "Surname: Stonefist"),
         Record("10:00:32", "Surname:  "),
         Record("10:00:33", "Weather: rain")});
    const StatTables& t = session.Tables;
    EXPECT_EQ(TableRows(t.gFactions), Lines{"Guards of Qeynos|2|5|?|Qeynos Hills"});
    EXPECT_EQ(TableRows(t.gZones),
              (Lines{"Blackburrow| |3", "Greater Faydark|The Greater Faydark|4", "Qeynos Hills| |2"}));
    EXPECT_EQ(TableRows(t.gLoot), (Lines{"Bone Chip|5|0|0|2|Blackburrow", "Rusty Axe|0|1|0|?|* "}));
    EXPECT_EQ(TableRows(t.gYAttacks), Lines{"kick|4|10|25"});
    EXPECT_EQ(TableRows(t.gMAttacks), Lines{"Bite|1|2|3"});
    EXPECT_EQ(TableRows(t.gMobs), Lines{"a gnoll|1|4|* "});
    EXPECT_EQ(TableRows(t.gVendors), Lines{"Tamar|2|1|Freeport"});
    EXPECT_EQ(TableRows(t.gCons), (Lines{"Captain Tillin|curiously | ", "Guard Arlen|ally|Qeynos"}));
    EXPECT_EQ(TableRows(t.gFocus), Lines{"Cloak of Flames feels warm|3"});
    EXPECT_EQ(TableRows(t.gSpells), (Lines{"Lull|3|0", "Root|?|1"}));
    EXPECT_EQ(TableRows(t.gResults), Lines{"Fizzles|2"});
    EXPECT_EQ(TableRows(t.gActions), Lines{"Taunt|6"});
    EXPECT_EQ(TableRows(t.gEvents), Lines{"Slain|1"});
    EXPECT_EQ(TableRows(t.gSkills), (Lines{"Gnollish|?|unknown|?", "Language : Elvish|?|unknown|?"}));
    const InfoFields& i = session.Info;
    EXPECT_EQ((Lines{i.eName, i.eClass, i.eLevel, i.eRace, i.eGuild, i.eBound, i.eZone}),
              (Lines{"Zed Stonefist", "Druid", "13", "Wood Elf", "Glade", "Kelethin", "Kelethin"}));
    EXPECT_EQ(session.Character.SessionTime, "1 hour");
    EXPECT_EQ(session.Character.SessionAsOf, "07-Dec-2026 (10:00)");
    EXPECT_TRUE(HasStatus("WARNING: Unknown KRAV log entry! (Weather)"));
    EXPECT_EQ(std::count_if(session.Status.begin(), session.Status.end(),
                            [](const std::string& s) { return s.starts_with("WARNING: Unknown KRAV"); }),
              1);
}

TEST_F(SummaryRecordTest, CharacterRecordKeepsOneSavedLine) {
    Run({At("10:00:00", "You have entered Qeynos Hills."), Record("10:00:01", "Character: Zed"),
         Record("10:00:02", "Character: Zed")},
        ShrinkMode::Smallest);
    EXPECT_EQ(Kept(), Crlf({Record("10:00:00", "Start of File"), At("10:00:01", "Zed saved.")}));
    EXPECT_EQ(session.Info.eName, "Zed");
}

TEST_F(SummaryRecordTest, OddRecordsGiveTheirStatedResultsWithoutFailing) {
    const std::string x300(300, 'x'), z300(300, 'z');
    Run({Record("10:00:00", "zones: Lower (1)"), Record("10:00:01", "ZONES: Upper (1)"),
         Record("10:00:02", ": (1)"), Record("10:00:03", "Factions: Gnolls"),
         Record("10:00:04", "Spells: Gate"), Record("10:00:05", "Skill Attempts: Fishing (x,y)"),
         Record("10:00:06", "Loot: Pebble"), Record("10:00:07", "Mob's Attacks: Bite (1"),
         Record("10:00:08", "Your Attacks: Slash (1,2,3,4,5)"), Record("10:00:09", "Misc Actions: Taunt (3)"),
         Record("10:00:10", "Misc Actions: Taunt (many)"), Record("10:00:11", "Misc Actions: Taunt (00)"),
         Record("10:00:12", "Mobs: a dragon (99999999999999999999,18446744073709551616) // Sky"),
         At("10:00:13", "You have slain a dragon!"), Record("10:00:14", "Misc Events: " + x300 + " (5)"),
         Record("10:00:15", "Mobs: a rat (1,2) // " + z300), Record("10:00:16", "Class:")});
    const StatTables& t = session.Tables;
    EXPECT_FALSE(t.gZones.HasRows);
    EXPECT_TRUE(HasStatus("WARNING: Unknown KRAV log entry! (zones)"));
    EXPECT_TRUE(HasStatus("WARNING: Unknown KRAV log entry! (ZONES)"));
    EXPECT_TRUE(HasStatus("WARNING: Unknown KRAV log entry! ()"));
    EXPECT_TRUE(HasStatus("WARNING: Unknown KRAV log entry! (Class:)"));
    EXPECT_EQ(TableRows(t.gFactions), Lines{"Gnolls|?|?||"});
    EXPECT_EQ(TableRows(t.gSpells), Lines{"Gate|?|0"});
    EXPECT_EQ(TableRows(t.gAttempts), Lines{"Fishing|?|?"});
    EXPECT_EQ(TableRows(t.gLoot), Lines{"Pebble|?|0|0|?|"});
    EXPECT_EQ(TableRows(t.gMAttacks), Lines{"Bite|?|?|1"});
    EXPECT_EQ(TableRows(t.gYAttacks), Lines{"Slash|1|2|?"});
    // A count that is no number leaves the restored one alone.
    EXPECT_EQ(TableRows(t.gActions), Lines{"Taunt|3"});
    // The record's text is cut 255 characters after "{KRAV} ".
    EXPECT_EQ(TableRows(t.gEvents), Lines{std::string(242, 'x') + "|?"});
    EXPECT_EQ(TableRows(t.gMobs), (Lines{"a dragon|99999999999999999999|9223372036854775807|Sky",
                                         "a rat|1|2|" + std::string(234, 'z')}));
}

TEST_F(SummaryRecordTest, CompatibleRunCarriesEarlierRecordsOnAndStillRestoresThem) {
    const Lines records = {Record("10:00:01", "Mobs: a gnoll (1,4) // Qeynos Hills"),
                           Record("10:00:02", "Misc Events: 'quoted (3)"),
                           Record("10:00:03", "Zones: Blackburrow (3) //  "),
                           Record("10:00:04", "Skill Attempts: Hide (Evade Combat) (2,5)")};
    Lines log = {Record("10:00:00", "Start of File"),
                 At("10:00:00", "Your faction standing with Guards got worse.")};
    log.insert(log.end(), records.begin(), records.end());
    log.push_back(Record("10:00:05", "End of File"));
    log.push_back(At("10:00:06", "You have slain a gnoll!"));
    Run(log, ShrinkMode::Compatible);

    EXPECT_EQ(Warnings("WARNING: Some log data may not be compatible with other log parsers!"), 1);
    EXPECT_EQ(TableRows(session.Tables.gMobs), Lines{"a gnoll|1|5|Qeynos Hills"});
    EXPECT_EQ(TableRows(session.Tables.gZones), Lines{"Blackburrow| |3"});
    EXPECT_EQ(TableRows(session.Tables.gAttempts), Lines{"Hide (Evade Combat)|2|5"});
    EXPECT_FALSE(session.Tables.gEvents.HasRows);
    const std::string newLog = ReadFile(Log());
    for (const std::string& record : records)
        EXPECT_EQ(CountOf(newLog, record + "\r\n"), 1) << record;
    // Only the old start and end records are not copied; no table record of this run is written.
    EXPECT_EQ(CountOf(newLog, "{KRAV} Start of File"), 1);
    EXPECT_EQ(CountOf(newLog, "{KRAV} End of File"), 1);
    EXPECT_EQ(CountOf(newLog, "{KRAV} Mobs: "), 1);
    EXPECT_EQ(CountOf(newLog, "{KRAV} Factions: "), 0);

    // A smallest run copies no record and the quoted value still restores nothing.
    Run(log, ShrinkMode::Smallest);
    EXPECT_EQ(Warnings("WARNING: Some log data may not be compatible with other log parsers!"), 0);
    EXPECT_EQ(CountOf(ReadFile(Log()), "'quoted"), 0);
    EXPECT_FALSE(session.Tables.gEvents.HasRows);
}

TEST_F(SummaryRecordTest, ReadOnlyRestoresButWritesNothing) {
    const std::string log =
        Crlf({Record("10:00:00", "Start of File"), Record("10:00:01", "Mobs: a gnoll (1,4) // Qeynos"),
              Record("10:00:02", "End of File"), At("10:00:03", "You have slain a gnoll!")});
    WriteFile(Log(), log);
    Rerun(ShrinkMode::ReadOnly);
    EXPECT_EQ(TableRows(session.Tables.gMobs), Lines{"a gnoll|1|5|Qeynos"});
    EXPECT_EQ(FileNames(game.path() / "logs"), Lines{"eqlog_Bob_tunare.txt"});
    EXPECT_EQ(ReadFile(Log()), log);
}

TEST_F(SummaryRecordTest, EndRecordsOfASmallestRun) {
    Run({At("10:00:00", "You have entered Qeynos Hills."),
         At("10:00:01", "You have become better at Elvish! (12)"),
         At("10:00:02", "You have become better at Swimming! (42)"),
         At("10:00:03", "You are currently bound in: North Karana"),
         At("10:00:04", "You have slain a gnoll!"),
         Record("10:00:05", "Consider Messages:  Guard  (ally) // Qeynos"),
         Record("10:00:06", "Factions: Guards (-2, ,+0) // Qeynos"),
         Record("10:00:07", "Loot: Rusty Axe (1,2,?,4)"), Record("10:00:08", "Misc Events:  (9)"),
         Record("10:00:09", "Spells: Root (?,1)")},
        ShrinkMode::Smallest);
    // A row whose key is blank has no record.
    EXPECT_EQ(TableRows(session.Tables.gEvents), Lines{"|9"});
    const std::string t = "[Mon Dec 07 10:00:09 2026]";
    EXPECT_EQ(EndRecords(), Crlf({t + " Bob saved.",
                                  t + " {KRAV} Surname: ",
                                  t + " {KRAV} Class: unknown",
                                  t + " {KRAV} Level: unknown",
                                  t + " {KRAV} Race: unknown",
                                  t + " {KRAV} Guild: unknown",
                                  t + " {KRAV} Zone: Qeynos Hills",
                                  t + " {KRAV} Played: unknown",
                                  t + " {KRAV} As of: unknown",
                                  t + " You are currently bound in: North Karana",
                                  t + " You have become better at Elvish! (12)",
                                  t + " You have become better at Swimming! (42)",
                                  t + " {KRAV} Zones: Qeynos Hills (1) //  ",
                                  t + " {KRAV} Factions: Guards (-2, ,+0) // Qeynos",
                                  t + " {KRAV} Consider Messages: Guard (ally) // Qeynos",
                                  t + " {KRAV} Mobs: a gnoll (0,1) // Qeynos Hills",
                                  t + " {KRAV} Loot: Rusty Axe (1,2,?,4) // ",
                                  t + " {KRAV} Spells: Root (?,1)",
                                  t + " Bob saved.",
                                  t + " {KRAV} End of File"}));
}

TEST_F(SummaryRecordTest, EndRecordsOfACompatibleRunAndOfAnEmptyLog) {
    Run({At("10:00:00", "You have entered Qeynos Hills."),
         At("10:00:01", "You have become better at Elvish! (12)"), At("10:00:02", "You have slain a gnoll!"),
         At("10:00:03", "Total time playing on this character: 3 hours.")},
        ShrinkMode::Compatible);
    const std::string t = "[Mon Dec 07 10:00:03 2026]";
    // No bound line while the bind point is unknown.
    EXPECT_EQ(EndRecords(), Crlf({t + " {KRAV} Surname: ", t + " {KRAV} Class: unknown",
                                  t + " {KRAV} Level: unknown", t + " {KRAV} Race: unknown",
                                  t + " {KRAV} Guild: unknown", t + " {KRAV} Zone: Qeynos Hills",
                                  t + " {KRAV} Played: 3 hours", t + " {KRAV} As of: 07-Dec-2026 (10:00)",
                                  t + " You have become better at Elvish! (12)", t + " {KRAV} End of File"}));

    Run({}, ShrinkMode::Smallest);
    EXPECT_EQ(
        ReadFile(Log()),
        Crlf({" Bob saved.", " {KRAV} Surname: ", " {KRAV} Class: unknown", " {KRAV} Level: unknown",
              " {KRAV} Race: unknown", " {KRAV} Guild: unknown", " {KRAV} Zone: unknown",
              " {KRAV} Played: unknown", " {KRAV} As of: unknown", " Bob saved.", " {KRAV} End of File"}));
}

}  // namespace
}  // namespace krav::test
