// End records and the report, in one walk over the tables.
#include "output/end_records.h"

#include <algorithm>
#include <array>
#include <span>
#include <utility>
#include <vector>

#include "engine/text.h"
#include "output/report.h"

namespace krav {

namespace {

// A row's first six cells, empty beyond the table's columns: records of a three-column skill table still name
// every column.
using Cells = std::array<std::string_view, 6>;

// One table's records and its place in the report.
struct TableWalk {
    StatTable* table;
    // Appends the record of one row, after the timestamp part; null for tables without records.
    void (*record)(std::string& out, const Cells& c);
    ReportTable report;
};

struct SectionWalk {
    std::string_view title;
    bool enabled;
    std::vector<TableWalk> tables;
};

template <typename... Parts>
void Append(std::string& out, const Parts&... parts) {
    (out.append(std::string_view(parts)), ...);
}

std::string_view KeyText(std::string_view key) {
    constexpr std::string_view kLanguage = "Language : ";
    return key.starts_with(kLanguage) ? key.substr(kLanguage.size()) : key;
}

std::vector<SectionWalk> Walk(RunContext& run) {
    StatTables& t = run.session.Tables;
    const ReportSections& on = run.inputs.Sections;
    using B = Blank;
    return {
        {"Skills",
         on.Skills,
         {{&t.gSkills,
           [](std::string& out, const Cells& c) {
               Append(out, " You have become better at ", KeyText(c[0]), "! (", c[1], ")");
           },
           {&t.gSkills, {{"Skill", false}, {"Value", true}, {"Rank", false}, {"Max", false}}}},
          {&t.gAttempts,
           [](std::string& out, const Cells& c) {
               Append(out, " {KRAV} Skill Attempts: ", c[0], " (", c[1], ",", c[2], ")");
           },
           {&t.gAttempts, {{"Skill Attempt", false}, {"Failure", true}, {"Success", true}}}}}},
        {"Zones",
         on.Zones,
         {{&t.gZones,
           [](std::string& out, const Cells& c) {
               Append(out, " {KRAV} Zones: ", c[0], " (", c[2], ") // ", c[1]);
           },
           {&t.gZones, {{"Zone/Event", false}, {"Alias", false}, {"Entered", true}}, {B::None, B::Always}}}}},
        {"Factions",
         on.Factions,
         {{&t.gFactions,
           [](std::string& out, const Cells& c) {
               Append(out, " {KRAV} Factions: ", c[0], " (-", c[1], ",", c[3], ",+", c[2], ") // ", c[4]);
           },
           {&t.gFactions,
            {{"Faction", false},
             {"Decreases", true},
             {"Increases", true},
             {"Limit", false},
             {"Zones", false}},
            {B::None, B::None, B::None, B::Always, B::WhenEmpty}}},
          {&t.gCons,
           [](std::string& out, const Cells& c) {
               Append(out, " {KRAV} Consider Messages: ", TrimBlanks(c[0]), " (", c[1], ") // ", c[2]);
           },
           {&t.gCons, {{"NPC", false}, {"Considers you", false}, {"Zone", false}}}}}},
        {"Mobs",
         on.Mobs,
         {{&t.gMobs,
           [](std::string& out, const Cells& c) {
               Append(out, " {KRAV} Mobs: ", c[0], " (", c[1], ",", c[2], ") // ", c[3]);
           },
           {&t.gMobs,
            {{"Mob", false}, {"Killed by", true}, {"Killed", true}, {"Zones", false}},
            {B::None, B::None, B::None, B::WhenEmpty}}}}},
        {"Vendors",
         on.Vendors,
         {{&t.gVendors,
           [](std::string& out, const Cells& c) {
               Append(out, " {KRAV} Vendors: ", c[0], " (", c[1], ",", c[2], ") // ", c[3]);
           },
           {&t.gVendors,
            {{"Name", false}, {"Bought from", true}, {"Sold to", true}, {"Zones", false}},
            {B::None, B::None, B::None, B::WhenEmpty}}}}},
        {"Items",
         on.Loot,
         {{&t.gLoot,
           [](std::string& out, const Cells& c) {
               Append(out, " {KRAV} Loot: ", c[0], " (", c[2], ",", c[3], ",", c[4], ",", c[1], ") // ", c[5]);
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
           [](std::string& out, const Cells& c) { Append(out, " {KRAV} Item Effects: ", c[0], " (", c[1], ")"); },
           {&t.gFocus, {{"Effect", false}, {"Times", true}}}}}},
        {"Combat",
         on.Combat,
         {{&t.gYAttacks,
           [](std::string& out, const Cells& c) {
               Append(out, " {KRAV} Your Attacks: ", c[0], " (", c[1], ",", c[2], ",", c[3], ")");
           },
           {&t.gYAttacks, {{"Your Attack", false}, {"Misses", true}, {"Hits", true}, {"Max Damage", true}}}},
          {&t.gMAttacks,
           [](std::string& out, const Cells& c) {
               Append(out, " {KRAV} Mob's Attacks: ", c[0], " (", c[1], ",", c[2], ",", c[3], ")");
           },
           {&t.gMAttacks,
            {{"Mob's Attack", false}, {"Misses", true}, {"Hits", true}, {"Max Damage", true}}}}}},
        {"Spells",
         on.Spells,
         {{&t.gSpells,
           [](std::string& out, const Cells& c) {
               Append(out, " {KRAV} Spells: ", c[0], " (", c[1], ",", c[2], ")");
           },
           {&t.gSpells, {{"Spell/Effect", false}, {"Cast", true}, {"Resisted", true}}}},
          {&t.gResults,
           [](std::string& out, const Cells& c) { Append(out, " {KRAV} Spell Results: ", c[0], " (", c[1], ")"); },
           {&t.gResults, {{"Spell Results", false}, {"Times", true}}}}}},
        {"Misc",
         on.Misc,
         {{&t.gActions,
           [](std::string& out, const Cells& c) { Append(out, " {KRAV} Misc Actions: ", c[0], " (", c[1], ")"); },
           {&t.gActions, {{"Action", false}, {"Times", true}}}},
          {&t.gEvents,
           [](std::string& out, const Cells& c) { Append(out, " {KRAV} Misc Events: ", c[0], " (", c[1], ")"); },
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
    if (walk.record == nullptr) return;
    const StatTable& table = *walk.table;
    const bool gameLine = walk.table == &run.session.Tables.gSkills;
    if (!(gameLine ? run.KeepsLines() : run.KeepsSmallestLines())) return;
    std::string line;
    for (int row = 1; table.HasRows && row < table.RowCount(); ++row) {
        const std::span<const std::string> cells = table.Row(row);
        if (TrimBlanks(cells[0]).empty()) continue;
        Cells c{};
        std::copy_n(cells.begin(), std::min(cells.size(), c.size()), c.begin());
        line.assign(timestamp);
        walk.record(line, c);
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

    const std::vector<SectionWalk> walk = Walk(run);
    if (reporting) {
        report.Head(s.Info, TodayForReport());
        std::vector<ReportTable> reported;
        for (const SectionWalk& section : walk) {
            if (!section.enabled) continue;
            for (const TableWalk& table : section.tables)
                reported.push_back(table.report);
        }
        report.Plan(std::move(reported));
    }
    for (const SectionWalk& section : walk) {
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
