// End records and the report, in one walk over the tables.
#include "output/end_records.h"

#include <functional>
#include <vector>

#include "engine/text.h"
#include "output/report.h"

namespace krav {

namespace {

using Policy = void (RunContext::*)(std::string_view);

// One table's records and its place in the report.
struct TableWalk {
    StatTable* table;
    // The record of one row, after the timestamp part; empty for tables without records.
    std::function<std::string(const std::vector<std::string>&)> record;
    ReportTable report;
};

struct SectionWalk {
    std::string_view title;
    bool enabled;
    std::vector<TableWalk> tables;
};

std::string Values(std::initializer_list<std::string_view> cells) {
    std::string out = " (";
    bool first = true;
    for (std::string_view cell : cells) {
        if (!first) out += ",";
        out += cell;
        first = false;
    }
    return out + ")";
}

std::string KeyText(std::string_view key) {
    constexpr std::string_view kLanguage = "Language : ";
    return std::string(key.starts_with(kLanguage) ? key.substr(kLanguage.size()) : key);
}

std::vector<SectionWalk> Walk(RunContext& run) {
    StatTables& t = run.session.Tables;
    const ReportSections& on = run.inputs.Sections;
    using B = Blank;
    using Row = const std::vector<std::string>&;
    return {
        {"Skills",
         on.Skills,
         {{&t.gSkills,
           [](Row c) { return " You have become better at " + KeyText(c[0]) + "! (" + c[1] + ")"; },
           {&t.gSkills, {{"Skill", false}, {"Value", true}, {"Rank", false}, {"Max", false}}}},
          {&t.gAttempts,
           [](Row c) {
               return " {KRAV} Skill Attempts: " + c[0] + Values({c[1], c[2]});
           },
           {&t.gAttempts, {{"Skill Attempt", false}, {"Failure", true}, {"Success", true}}}}}},
        {"Zones",
         on.Zones,
         {{&t.gZones,
           [](Row c) { return " {KRAV} Zones: " + c[0] + Values({c[2]}) + " // " + c[1]; },
           {&t.gZones, {{"Zone/Event", false}, {"Alias", false}, {"Entered", true}}, {B::None, B::Always}}}}},
        {"Factions",
         on.Factions,
         {{&t.gFactions,
           [](Row c) {
               return " {KRAV} Factions: " + c[0] + Values({"-" + c[1], c[3], "+" + c[2]}) + " // " + c[4];
           },
           {&t.gFactions,
            {{"Faction", false},
             {"Decreases", true},
             {"Increases", true},
             {"Limit", false},
             {"Zones", false}},
            {B::None, B::None, B::None, B::Always, B::WhenEmpty}}},
          {&t.gCons,
           [](Row c) {
               return " {KRAV} Consider Messages: " + std::string(TrimBlanks(c[0])) + Values({c[1]}) +
                      " // " + c[2];
           },
           {&t.gCons, {{"NPC", false}, {"Considers you", false}, {"Zone", false}}}}}},
        {"Mobs",
         on.Mobs,
         {{&t.gMobs,
           [](Row c) {
               return " {KRAV} Mobs: " + c[0] + Values({c[1], c[2]}) + " // " + c[3];
           },
           {&t.gMobs,
            {{"Mob", false}, {"Killed by", true}, {"Killed", true}, {"Zones", false}},
            {B::None, B::None, B::None, B::WhenEmpty}}}}},
        {"Vendors",
         on.Vendors,
         {{&t.gVendors,
           [](Row c) {
               return " {KRAV} Vendors: " + c[0] + Values({c[1], c[2]}) + " // " + c[3];
           },
           {&t.gVendors,
            {{"Name", false}, {"Bought from", true}, {"Sold to", true}, {"Zones", false}},
            {B::None, B::None, B::None, B::WhenEmpty}}}}},
        {"Items",
         on.Loot,
         {{&t.gLoot,
           [](Row c) {
               return " {KRAV} Loot: " + c[0] + Values({c[2], c[3], c[4], c[1]}) + " // " + c[5];
           },
           {&t.gLoot,
            {{"Item", false},
             {"Looted", true},
             {"Bought", true},
             {"Sold", true},
             {"Dropped", true},
             {"Zones", false}},
            {B::None, B::None, B::None, B::None, B::None, B::WhenEmpty}}},
          {&t.gFocus,
           [](Row c) { return " {KRAV} Item Effects: " + c[0] + Values({c[1]}); },
           {&t.gFocus, {{"Effect", false}, {"Times", true}}}}}},
        {"Combat",
         on.Combat,
         {{&t.gYAttacks,
           [](Row c) {
               return " {KRAV} Your Attacks: " + c[0] + Values({c[1], c[2], c[3]});
           },
           {&t.gYAttacks, {{"Your Attack", false}, {"Misses", true}, {"Hits", true}, {"Max Damage", true}}}},
          {&t.gMAttacks,
           [](Row c) {
               return " {KRAV} Mob's Attacks: " + c[0] + Values({c[1], c[2], c[3]});
           },
           {&t.gMAttacks,
            {{"Mob's Attack", false}, {"Misses", true}, {"Hits", true}, {"Max Damage", true}}}}}},
        {"Spells",
         on.Spells,
         {{&t.gSpells,
           [](Row c) {
               return " {KRAV} Spells: " + c[0] + Values({c[1], c[2]});
           },
           {&t.gSpells, {{"Spell/Effect", false}, {"Cast", true}, {"Resisted", true}}}},
          {&t.gResults,
           [](Row c) { return " {KRAV} Spell Results: " + c[0] + Values({c[1]}); },
           {&t.gResults, {{"Spell Results", false}, {"Times", true}}}}}},
        {"Misc",
         on.Misc,
         {{&t.gActions,
           [](Row c) { return " {KRAV} Misc Actions: " + c[0] + Values({c[1]}); },
           {&t.gActions, {{"Action", false}, {"Times", true}}}},
          {&t.gEvents,
           [](Row c) { return " {KRAV} Misc Events: " + c[0] + Values({c[1]}); },
           {&t.gEvents, {{"Event", false}, {"Times", true}}}}}},
        {"Guild",
         on.Guild,
         {{&t.gGuild,
           nullptr,
           {&t.gGuild,
            {{"Name", false}, {"Level", true}, {"Class", false}, {"Rank", false}, {"Last on", false}},
            {B::None, B::None, B::None, B::None, B::WhenBlank},
            true}}}},
    };
}

// The skill records are game lines that every mode keeps; the others are the smallest log's alone.
void WriteRecords(RunContext& run, const TableWalk& walk, const std::string& timestamp) {
    if (!walk.record) return;
    const StatTable& table = *walk.table;
    const bool gameLine = walk.table == &run.session.Tables.gSkills;
    for (int row = 1; table.HasRows && row < table.RowCount(); ++row) {
        if (TrimBlanks(table.Cell(0, row)).empty()) continue;
        std::vector<std::string> cells = table.Row(row);
        cells.resize(6);  // records of a three-column skill table still name every column
        const std::string line = timestamp + walk.record(cells);
        if (gameLine) {
            run.KeepLine(line);
        } else {
            run.KeepLineSmallest(line);
        }
    }
}

}  // namespace

std::string WriteEndRecordsAndReport(RunContext& run) {
    Session& s = run.session;
    const RunInputs& in = run.inputs;
    ReportWriter report;
    bool reporting = false;
    const std::string reportName = RemoveExtension(in.LogFileName) + ".html";
    if (in.Report) {
        if (report.Open(in.LogsFolder + reportName)) {
            reporting = true;
            s.AddStatus("Generating Log Report \"" + reportName + "\"...");
            run.host.RepaintStatus();
        } else {
            s.AddWarning("WARNING: Unable to generate log report!");
        }
    }

    const std::string t = run.Timestamp;
    const std::string saved = t + " " + s.Character.CharacterName + " saved.";
    run.KeepLineSmallest(saved);
    run.KeepLine(t + " {KRAV} Surname: " + s.Character.Surname);
    run.KeepLine(t + " {KRAV} Class: " + s.Info.eClass);
    run.KeepLine(t + " {KRAV} Level: " + s.Info.eLevel);
    run.KeepLine(t + " {KRAV} Race: " + s.Info.eRace);
    run.KeepLine(t + " {KRAV} Guild: " + s.Info.eGuild);
    run.KeepLine(t + " {KRAV} Zone: " + s.Info.eZone);
    run.KeepLine(t + " {KRAV} Played: " + s.Info.ePlayed);
    run.KeepLine(t + " {KRAV} As of: " + s.Info.eAsOf);
    if (s.Info.eBound != kUnknown) run.KeepLine(t + " You are currently bound in: " + s.Info.eBound);

    if (reporting) report.Head(s.Info, TodayForReport());
    for (const SectionWalk& section : Walk(run)) {
        std::vector<ReportTable> tables;
        for (const TableWalk& walk : section.tables) {
            WriteRecords(run, walk, t);
            tables.push_back(walk.report);
        }
        if (reporting && section.enabled) report.Section(section.title, tables);
    }

    run.KeepLineSmallest(saved);
    run.KeepLine(t + " {KRAV} End of File");

    if (!reporting) return {};
    if (!report.Close()) {
        s.AddWarning("WARNING: Unable to generate log report!");
        return {};
    }
    return in.LogsFolder + reportName;
}

}  // namespace krav
