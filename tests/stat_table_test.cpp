// Tests of the statistics tables (engine/stat_table.h): row making and key order, the counting and set
// operations, the reset of all tables and the text and value sorts.
#include "engine/stat_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text.h"

namespace krav {
namespace {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

const std::string kMax = "9223372036854775807";
const std::string kMin = "-9223372036854775808";

// Rows written as one text: cells split at "/", rows at "|".
Rows Parse(std::string_view text) {
    Rows rows(1, Row(1));
    for (char c : text) {
        if (c == '|') {
            rows.emplace_back(1);
        } else if (c == '/') {
            rows.back().emplace_back();
        } else {
            rows.back().back() += c;
        }
    }
    return rows;
}

// Row `row` as one text, cells joined by "/".
std::string RowText(const StatTable& table, int row) {
    std::string text;
    for (int col = 0; col < table.ColCount(); ++col)
        text += (col > 0 ? "/" : "") + table.Cell(col, row);
    return text;
}

// The data rows as one text: cells joined by "/", rows by "|".
std::string Dump(const StatTable& table) {
    std::string text;
    for (int r = 1; r < table.RowCount(); ++r)
        text += (r > 1 ? "|" : "") + RowText(table, r);
    return text;
}

// The keys of the data rows joined by "|".
std::string KeyList(const StatTable& table) {
    std::string text;
    for (int r = 1; r < table.RowCount(); ++r)
        text += (r > 1 ? "|" : "") + table.Cell(0, r);
    return text;
}

Row CellsOf(const StatTable& table, int r) {
    const auto cells = table.Row(r);
    return Row(cells.begin(), cells.end());
}

Rows DataRows(const StatTable& table) {
    Rows rows;
    for (int r = 1; r < table.RowCount(); ++r)
        rows.push_back(CellsOf(table, r));
    return rows;
}

// Adds rows the way every operation makes them, so they land in key order.
void Add(StatTable& table, std::string_view text) {
    for (const Row& row : Parse(text))
        table.NewRow(std::vector<std::string_view>(row.begin(), row.end()));
}

// Writes rows below each other exactly as given, without putting them in order.
void Place(StatTable& table, const Rows& rows) {
    for (const Row& row : rows) {
        table.AppendRow();
        for (int col = 0; col < static_cast<int>(row.size()); ++col)
            table.SetNewCell(col, row[col]);
        table.HasRows = true;
    }
}
void Place(StatTable& table, std::string_view text) {
    Place(table, Parse(text));
}

// Letters A-Z lower-cased, every other byte as it is.
std::string Lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// ---------------------------------------------------------------------------------------------------------
// Rows and key order

TEST(StatTableRows, FirstKeyFillsThePlaceholderRow) {
    StatTables t;
    StatTable& focus = t.gFocus;
    EXPECT_EQ(focus.RowCount(), 2);
    EXPECT_FALSE(focus.HasRows);
    EXPECT_EQ(focus.FindRow(""), 0);  // the empty placeholder is no data
    IncrementCount(focus, "Fury");
    EXPECT_TRUE(focus.HasRows);
    EXPECT_EQ(focus.RowCount(), 2);
    EXPECT_EQ(Dump(focus), "Fury/1");
    IncrementCount(focus, "Anger");
    EXPECT_EQ(focus.RowCount(), 3);
    EXPECT_EQ(Dump(focus), "Anger/1|Fury/1");
    EXPECT_EQ(RowText(focus, 0), "Effect/Times");
}

TEST(StatTableRows, KeysKeptInOrderAndFoundWithoutCase) {
    StatTables t;
    for (const char* key : {"orc pawn", "Gnoll", "bear"})
        IncrementCount(t.gEvents, key);
    EXPECT_EQ(KeyList(t.gEvents), "bear|Gnoll|orc pawn");
    EXPECT_EQ(t.gEvents.FindRow("GNOLL"), 2);
    EXPECT_EQ(t.gEvents.FindRow("ORC PAWN"), 3);
    EXPECT_EQ(t.gEvents.FindRow("orc"), 0);
    EXPECT_EQ(t.gEvents.FindRow("bears"), 0);
    // Only A-Z fold: "[" and "{" differ from a letter's case bit but are no letters.
    IncrementCount(t.gEvents, "[x");
    EXPECT_EQ(t.gEvents.FindRow("{x"), 0);
    EXPECT_EQ(t.gEvents.FindRow("[X"), 1);
}

TEST(StatTableRows, EmptyKeyGetsARowOfItsOwn) {
    StatTable events("gEvents", {"Event", "Times"}, ValueSort::Column1);
    IncrementCount(events, "");
    EXPECT_TRUE(events.HasRows);
    EXPECT_EQ(events.FindRow(""), 1);
    IncrementCount(events, "Rain");
    IncrementCount(events, "");
    EXPECT_EQ(Dump(events), "/2|Rain/1");

    StatTable later("gEvents", {"Event", "Times"}, ValueSort::Column1);
    IncrementCount(later, "Rain");
    IncrementCount(later, "");
    EXPECT_EQ(Dump(later), "/1|Rain/1");
}

TEST(StatTableRows, PrimitivesAndNewRow) {
    StatTable spells("gSpells", {"Spell/Effect", "Cast", "Resisted"}, ValueSort::Column1);
    spells.AppendRow();  // without HasRows the placeholder stays the last row
    EXPECT_EQ(spells.RowCount(), 2);
    spells.SetNewCell(0, "Root");
    spells.SetNewCell(3, "beyond");
    EXPECT_EQ(Dump(spells), "Root//");
    spells.HasRows = true;
    EXPECT_EQ(spells.FindRow("rOOT"), 1);
    spells.AppendRow();
    EXPECT_EQ(Dump(spells), "Root//|//");

    // Missing cells stay empty, cells beyond the columns are dropped.
    StatTable guild("gGuild", {"Name", "Level", "Class", "Rank", "Last on"}, ValueSort::Column1);
    guild.NewRow({"Zed", "60"});
    guild.NewRow({"Al", "5", "Cleric", "Member", "today", "extra"});
    guild.NewRow({"Mo"});
    EXPECT_EQ(guild.FindRow("mo"), 2);
    EXPECT_EQ(Dump(guild), "Al/5/Cleric/Member/today|Mo////|Zed/60///");
}

// ---------------------------------------------------------------------------------------------------------
// InsertInOrder

// The rows as the operations define them, kept the plain way: a scan for FindRow and the row-by-row exchange
// pass for InsertInOrder.
struct PlainTable {
    Rows rows;
    bool hasRows = false;

    explicit PlainTable(const StatTable& table) { Reset(table); }
    void Reset(const StatTable& table) {
        rows = {CellsOf(table, 0), Row(table.ColCount())};
        hasRows = false;
    }
    int Find(std::string_view key) const {
        if (!hasRows) return 0;
        for (int row = 1; row < static_cast<int>(rows.size()); ++row)
            if (EqualsNoCase(rows[row][0], key)) return row;
        return 0;
    }
    void NewRow(Row cells) {
        cells.resize(rows[0].size());
        if (hasRows) rows.emplace_back();
        rows.back() = cells;
        const int r = hasRows ? Find(cells[0]) : static_cast<int>(rows.size()) - 1;
        std::string k = cells[0];
        for (int b = 1; b < r; ++b) {
            if (Lowered(k) < Lowered(rows[b][0])) {
                k = rows[b][0];
                std::swap(rows[r], rows[b]);
            }
        }
        hasRows = true;
    }
    void IncrementCount(const std::string& key) {
        if (int row = Find(key); row > 0) {
            rows[row][1] = Increased(rows[row][1]);
        } else {
            NewRow({key, "1"});
        }
    }
    void SetThreeAndZones(const std::string& key, const Row& values, const std::string& zone) {
        if (int row = Find(key); row > 0) {
            for (std::size_t i = 0; i < values.size(); ++i)
                if (values[i] != "?") rows[row][i + 1] = values[i];
            rows[row][4] = ListAdd(rows[row][4], zone);
        } else {
            NewRow({key, values[0], values[1], values[2], ListAdd("", zone)});
        }
    }
};

// Whatever a run does to a table, its rows and FindRow must be those of the plain table: the first row whose
// key equals the text without regard to case, new keys in the place the exchange pass gives them, also once
// a sort or a rewritten key has left the rows out of order.
TEST(StatTableRows, RowsAndFindRowAgreeWithThePlainTableThroughEveryOperation) {
    std::vector<std::string> keys = {"a bat",
                                     "A BAT",
                                     "a bat king",
                                     "Orc",
                                     "orc",
                                     "",
                                     " ",
                                     "Gnoll",
                                     "gnolL",
                                     "z",
                                     "Z",
                                     "\xC9"
                                     "clair",
                                     "\xE9"
                                     "clair",
                                     "1",
                                     "11",
                                     "abcdefg",  // the longest keys that are their own print
                                     "ABCDEFG",
                                     "abcdefgh",
                                     "ABCDEFGh",
                                     "abcdefgi",
                                     "Abcdefg ",
                                     std::string("z\0", 2),  // a NUL byte is no end of a key
                                     std::string(1, '\0')};
    std::mt19937 random(7);
    const std::string alphabet = "abAB _'z\xE9";
    while (keys.size() < 400) {
        std::string key;
        for (int n = 1 + static_cast<int>(random() % 12); n > 0; --n)
            key += alphabet[random() % alphabet.size()];
        keys.push_back(key);
    }
    // Long stretches of new keys only, stretches that disturb the order, and all kinds mixed.
    for (const int disturb : {0, 1, 4}) {
        StatTables tables;
        StatTable& t = tables.gFactions;
        PlainTable plain(t);
        for (int step = 0; step < 6000; ++step) {
            const std::string& key = keys[random() % (step % 500 < 50 ? 23 : keys.size())];
            switch (random() % (4 + disturb)) {
                case 0:
                case 1:
                    IncrementCount(t, key);
                    plain.IncrementCount(key);
                    break;
                case 2:
                    SetThreeAndZones(t, key, "?", "2", "Max", "Qeynos");
                    plain.SetThreeAndZones(key, {"?", "2", "Max"}, "Qeynos");
                    break;
                case 3:
                    if (random() % 40 == 0) {
                        t.Reset();
                        plain.Reset(t);
                    } else {
                        t.NewRow({key, "1"});  // duplicates too
                        plain.NewRow({key, "1"});
                    }
                    break;
                case 4:
                    if (t.HasRows) {
                        const int row = 1 + static_cast<int>(random() % (t.RowCount() - 1));
                        // mostly the same key in other letters, as the consider messages rewrite it
                        const std::string text = random() % 2 ? Lowered(t.Cell(0, row)) : key;
                        t.SetCell(0, row, text);
                        plain.rows[row][0] = text;
                    }
                    break;
                default:
                    if (random() % 20 == 0) {
                        t.Sort(random() % 2 == 0);
                        plain.rows = {CellsOf(t, 0)};
                        for (const Row& row : DataRows(t))
                            plain.rows.push_back(row);
                    }
                    break;
            }
            ASSERT_EQ(t.HasRows, plain.hasRows);
            ASSERT_EQ(DataRows(t), Rows(plain.rows.begin() + 1, plain.rows.end())) << "step " << step;
            for (std::size_t probe = 0; probe < keys.size(); probe += 1 + step % 7)
                ASSERT_EQ(t.FindRow(keys[probe]), plain.Find(keys[probe])) << "step " << step << " key '"
                                                                            << keys[probe] << "'";
        }
    }
}

// New keys wait until a row's place is asked for, then join the order one by one or all at once: batches of
// every size between lookups, over keys that share long beginnings, must give the rows and row numbers of
// the lower-cased byte order.
TEST(StatTableRows, KeysAddedInBatchesBetweenLookups) {
    std::mt19937 random(12);
    const std::string alphabet = "aAbB z\xE9";
    const std::string stems[] = {"", "a", "a gnoll ", "A GNOLL pup ", "a gnoll pup of the ", "a gnoll pup of the hills "};
    std::map<std::string, std::pair<std::string, int>> expected;  // lower-cased key: key, count
    std::vector<std::string> keys;
    StatTable mobs("gMobs", {"Name", "Killed by", "Killed", "Zones"}, ValueSort::Difference);
    for (int batch = 0; batch < 150; ++batch) {
        const int size = std::array{1, 2, 9, 60, 400}[random() % 5];
        for (int i = 0; i < size; ++i) {
            std::string key;
            if (keys.empty() || random() % 4 != 0) {
                key = stems[random() % 6];
                for (int n = static_cast<int>(random() % 5); n > 0; --n)
                    key += alphabet[random() % alphabet.size()];
            } else {
                key = keys[random() % keys.size()];  // a hit, in other letters now and then
                if (random() % 2) key = Lowered(key);
            }
            auto [it, fresh] = expected.try_emplace(Lowered(key), key, 0);
            if (fresh) keys.push_back(key);
            ++it->second.second;
            IncrementWithZone(mobs, key, 2, "Qeynos");
        }
        for (int probe = 0; probe < 3; ++probe) {
            const std::string& key = keys[random() % keys.size()];
            const auto at = expected.find(Lowered(key));
            const int row = mobs.FindRow(key);
            ASSERT_EQ(row, 1 + std::distance(expected.begin(), at)) << key;
            ASSERT_EQ(mobs.Cell(0, row), at->second.first);
            ASSERT_EQ(mobs.Cell(2, row), std::to_string(at->second.second));
        }
    }
    ASSERT_EQ(mobs.RowCount(), 1 + static_cast<int>(expected.size()));
    int row = 1;
    for (const auto& [lowered, entry] : expected) {
        ASSERT_EQ(mobs.Cell(0, row), entry.first) << row;
        ASSERT_EQ(mobs.Cell(2, row), std::to_string(entry.second)) << row;
        ASSERT_EQ(mobs.FindRow(lowered), row);
        ++row;
    }
}

TEST(StatTableInsert, MixedCaseKeysInLowerCasedByteOrder) {
    StatTable events("gEvents", {"Event", "Times"}, ValueSort::Column1);
    for (const char* key :
         {"zoo", "orc pawn", "a bat king", "Gnoll", "{x", "Zed", "_x", "bear", "a bat", "[x", "Apple"})
        IncrementCount(events, key);
    // "_" and "[" lie between "Z" and "a": lower-cased they come before every letter.
    EXPECT_EQ(KeyList(events), "[x|_x|a bat|a bat king|Apple|bear|Gnoll|orc pawn|Zed|zoo|{x");
}

TEST(StatTableInsert, RewrittenKeyKeepsItsRowAndTheExchangeGoesOn) {
    StatTable results("gResults", {"Result", "Times"}, ValueSort::Column1);
    Add(results, "apple/1|bear/2|cat/3");
    results.SetCell(0, 2, "zebra");
    EXPECT_EQ(results.FindRow("ZEBRA"), 2);
    EXPECT_EQ(results.FindRow("bear"), 0);
    // dog displaces zebra, which is carried down to the new row's place; cat is never passed.
    IncrementCount(results, "dog");
    EXPECT_EQ(Dump(results), "apple/1|dog/1|cat/3|zebra/2");
    IncrementCount(results, "Zebra");
    EXPECT_EQ(RowText(results, 4), "zebra/3");
}

TEST(StatTableInsert, RandomKeysEndInLowerCasedByteOrder) {
    std::mt19937 rng(20261207);
    const std::string alphabet = "abcxyzABCXYZ [_`'{09\xE9\xC9\xFF";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 6);
    std::set<std::string> seen;
    std::vector<std::string> keys;
    while (keys.size() < 300) {
        std::string key;
        for (int n = length(rng); n > 0; --n)
            key += alphabet[pick(rng)];
        if (seen.insert(Lowered(key)).second) keys.push_back(key);
    }
    StatTable events("gEvents", {"Event", "Times"}, ValueSort::Column1);
    for (std::size_t i = 0; i < keys.size(); ++i)
        events.NewRow({keys[i], std::to_string(i)});

    std::vector<std::string> expected = keys;
    std::sort(expected.begin(), expected.end(),
              [](const std::string& a, const std::string& b) { return Lowered(a) < Lowered(b); });
    ASSERT_EQ(events.RowCount(), 301);
    for (int r = 1; r <= 300; ++r)
        EXPECT_EQ(events.Cell(0, r), expected[r - 1]) << r;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const int row = events.FindRow(keys[i]);
        ASSERT_GT(row, 0) << keys[i];
        EXPECT_EQ(events.Cell(1, row), std::to_string(i)) << "row not moved whole: " << keys[i];
    }
}

// ---------------------------------------------------------------------------------------------------------
// Counting operations

TEST(StatTableCount, IncrementCountReadsNonNumbersAsOne) {
    StatTable actions("gActions", {"Action", "Times"}, ValueSort::Column1);
    Add(actions, "a/?|b/ |c/abc|d/41|e/ 7|f/-1|g/7 ");
    for (const char* key : {"A", "b", "c", "d", "e", "f", "g", "new"})
        IncrementCount(actions, key);
    EXPECT_EQ(Dump(actions), "a/2|b/2|c/2|d/42|e/8|f/0|g/2|new/1");
}

TEST(StatTableCount, IncrementCountSecondCountsEntered) {
    StatTables t;
    IncrementCountSecond(t.gZones, "Qeynos");
    EXPECT_EQ(Dump(t.gZones), "Qeynos/ /1");
    t.gZones.SetCell(1, 1, "Q");
    IncrementCountSecond(t.gZones, "qeynos");
    Add(t.gZones, "Halas/7/?");
    IncrementCountSecond(t.gZones, "Halas");
    EXPECT_EQ(Dump(t.gZones), "Halas/7/2|Qeynos/Q/2");
}

TEST(StatTableCount, AttemptsOnNewAndExistingRows) {
    StatTables t;
    StatTable& a = t.gAttempts;
    CountAttemptSuccess(a, "Taunt");
    CountAttemptFailure(a, "Kick");
    CountAttemptFailureUnknownSuccess(a, "Bash");
    EXPECT_EQ(Dump(a), "Bash/1/?|Kick/1/0|Taunt/0/1");
    CountAttemptSuccess(a, "bash");  // "?" counts as 1
    CountAttemptFailure(a, "TAUNT");
    CountAttemptFailureUnknownSuccess(a, "Kick");  // leaves the successes alone
    CountAttemptSuccess(a, "Kick");
    EXPECT_EQ(Dump(a), "Bash/1/2|Kick/2/1|Taunt/1/1");
}

// Counting on in place must write what Increased writes, for plain numbers and for everything else a cell
// may hold.
TEST(StatTableCount, IncreaseCellWritesWhatIncreasedWrites) {
    const std::vector<std::string> cells = {"0",
                                            "1",
                                            "9",
                                            "10",
                                            "19",
                                            "99",
                                            "109",
                                            "999",
                                            "123456789",
                                            "9999999999999999",
                                            "99999999999999999",
                                            "999999999999999999",
                                            "9223372036854775806",
                                            kMax,
                                            "007",
                                            "00",
                                            "-1",
                                            "-10",
                                            "+5",
                                            " 5",
                                            "5 ",
                                            "",
                                            "?",
                                            " ",
                                            "abc",
                                            "1a",
                                            "-9223372036854775808"};
    StatTable table("gFocus", {"Focus", "Times"}, ValueSort::Column1);
    for (const std::string& cell : cells) {
        table.SetCell(1, 1, cell);
        table.IncreaseCell(1, 1);
        EXPECT_EQ(table.Cell(1, 1), Increased(cell)) << "cell '" << cell << "'";
    }
    // Many steps in a row carry through every digit.
    table.SetCell(1, 1, "0");
    for (int i = 0; i < 12345; ++i)
        table.IncreaseCell(1, 1);
    EXPECT_EQ(table.Cell(1, 1), "12345");
}

TEST(StatTableCount, HugeCountsNeverOverflow) {
    EXPECT_EQ(Increased(kMax), kMax);
    EXPECT_EQ(Increased("99999999999999999999"), kMax);
    EXPECT_EQ(Increased(kMin), "-9223372036854775807");
    EXPECT_EQ(Increased("?", 3), "4");
    EXPECT_EQ(Increased("5", 3), "8");
    StatTables t;
    Add(t.gFocus, "Fury/" + kMax);
    IncrementCount(t.gFocus, "Fury");
    EXPECT_EQ(Dump(t.gFocus), "Fury/" + kMax);
    Add(t.gLoot, "Gem/" + kMax + "/0/0/" + kMax + "/");
    IncrementLooted(t.gLoot, "Gem", "");
    IncrementDropped(t.gLoot, "Gem", "");
    EXPECT_EQ(Dump(t.gLoot), "Gem/" + kMax + "/0/0/" + kMax + "/");
}

// ---------------------------------------------------------------------------------------------------------
// Loot and drops

TEST(StatTableLoot, LootedAndDroppedOnNewAndExistingRows) {
    StatTables t;
    StatTable& loot = t.gLoot;
    IncrementLooted(loot, "Gem", "Erudin");
    IncrementDropped(loot, "Bone", "unknown");
    EXPECT_EQ(Dump(loot), "Bone/0/0/0/1/|Gem/1/0/0/?/Erudin");

    Add(loot, "Cloth Cap/?/ /abc/?/Qeynos");
    IncrementLooted(loot, "cloth cap", "Halas");
    EXPECT_EQ(RowText(loot, 2), "Cloth Cap/1/0/0/?/Qeynos, Halas");
    IncrementDropped(loot, "Cloth Cap", "qeynos");
    EXPECT_EQ(RowText(loot, 2), "Cloth Cap/1/0/0/1/Qeynos, Halas");
}

TEST(StatTableLoot, DroppedStaysUnknownUntilTheFirstDrop) {
    StatTable loot("gLoot", {"Item", "Looted", "Bought", "Sold", "Dropped", "Zones"}, ValueSort::SumOfThree);
    Add(loot, "a/2/+7/ 3/abc/|b/0/0/0/00/|c/0/0/0/0/|d/0/0/0/ 4/|e/0/0/0/-1/|f/0/0/0/5/");
    for (const char* key : {"a", "b", "c", "d"})
        IncrementLooted(loot, key, "");
    IncrementDropped(loot, "e", "");
    IncrementDropped(loot, "f", "");
    EXPECT_EQ(Dump(loot), "a/3/7/3/abc/|b/1/0/0/00/|c/1/0/0/0/|d/1/0/0/4/|e/0/0/0/0/|f/0/0/0/6/");
    IncrementDropped(loot, "a", "");
    IncrementDropped(loot, "b", "");
    EXPECT_EQ(loot.Cell(4, 1), "1");
    EXPECT_EQ(loot.Cell(4, 2), "1");
}

TEST(StatTableLoot, SeventhZoneSetsTheMarker) {
    StatTables t;
    for (const char* zone : {"Qeynos", "Freeport", "Kelethin", "Felwithe", "Halas", "Rivervale"})
        IncrementLooted(t.gLoot, "Gem", zone);
    IncrementLooted(t.gLoot, "Gem", "halas");
    IncrementDropped(t.gLoot, "Gem", "");
    EXPECT_EQ(t.gLoot.Cell(5, 1), "Qeynos, Freeport, Kelethin, Felwithe, Halas, Rivervale");
    IncrementDropped(t.gLoot, "Gem", "Erudin");
    EXPECT_EQ(t.gLoot.Cell(5, 1), "* Qeynos, Freeport, Kelethin, Felwithe, Halas, Rivervale");
    IncrementLooted(t.gLoot, "Gem", "Neriak");
    EXPECT_EQ(t.gLoot.Cell(5, 1), "* Qeynos, Freeport, Kelethin, Felwithe, Halas, Rivervale, Neriak");
    EXPECT_EQ(t.gLoot.Cell(1, 1), "8");
    EXPECT_EQ(t.gLoot.Cell(4, 1), "2");
}

// ---------------------------------------------------------------------------------------------------------
// Set operations

TEST(StatTableSet, SetTextAndSetTwoKeepCellsForUnknownValues) {
    StatTables t;
    SetText(t.gEvents, "Rain", "?");
    EXPECT_EQ(Dump(t.gEvents), "Rain/?");
    SetText(t.gEvents, "RAIN", "5");
    SetText(t.gEvents, "rain", "?");
    EXPECT_EQ(Dump(t.gEvents), "Rain/5");

    SetTwo(t.gZones, "Qeynos", "?", "3");
    EXPECT_EQ(Dump(t.gZones), "Qeynos/?/3");
    SetTwo(t.gZones, "qeynos", "Q", "?");
    EXPECT_EQ(Dump(t.gZones), "Qeynos/Q/3");
    SetTwo(t.gZones, "QEYNOS", "?", "7");
    EXPECT_EQ(Dump(t.gZones), "Qeynos/Q/7");
}

TEST(StatTableSet, SetThreeWritesColumnThreeOnlyWhenItExists) {
    StatTables t;
    t.ResetTables(true);
    SetThree(t.gSkills, "Bash", "?", "?", "?");
    EXPECT_EQ(Dump(t.gSkills), "Bash/?/?/?");
    SetThree(t.gSkills, "bash", "10", "?", "200");
    EXPECT_EQ(Dump(t.gSkills), "Bash/10/?/200");

    t.ResetTables(false);
    SetThree(t.gSkills, "Bash", "10", "Awful", "200");
    EXPECT_EQ(CellsOf(t.gSkills, 1), (Row{"Bash", "10", "Awful"}));
    SetThree(t.gSkills, "BASH", "12", "?", "300");
    EXPECT_EQ(CellsOf(t.gSkills, 1), (Row{"Bash", "12", "Awful"}));
}

TEST(StatTableSet, ZoneListsMergedOnNewAndExistingRows) {
    StatTables t;
    SetTwoAndZones(t.gMobs, "orc", "?", "2", "unknown");
    EXPECT_EQ(Dump(t.gMobs), "orc/?/2/");
    SetTwoAndZones(t.gMobs, "Orc", "1", "?", "Qeynos");
    SetTwoAndZones(t.gMobs, "ORC", "?", "?", "north qeynos");
    SetTwoAndZones(t.gMobs, "orc", "?", "?", "QEYNOS");
    SetTwoAndZones(t.gMobs, "orc", "?", "?", "");
    EXPECT_EQ(Dump(t.gMobs), "orc/1/2/Qeynos, north qeynos");

    SetThreeAndZones(t.gFactions, "Guards", "?", "3", "?", "Qeynos");
    EXPECT_EQ(Dump(t.gFactions), "Guards/?/3/?/Qeynos");
    SetThreeAndZones(t.gFactions, "guards", "1", "?", "100", "Halas");
    SetThreeAndZones(t.gFactions, "GUARDS", "?", "?", "?", "halas");
    EXPECT_EQ(Dump(t.gFactions), "Guards/1/3/100/Qeynos, Halas");

    SetFourAndZones(t.gLoot, "Gem", "?", "1", "?", "2", "Erudin");
    EXPECT_EQ(Dump(t.gLoot), "Gem/?/1/?/2/Erudin");
    SetFourAndZones(t.gLoot, "gem", "4", "?", "?", "?", "Neriak");
    SetFourAndZones(t.gLoot, "GEM", "?", "?", "6", "?", "");
    EXPECT_EQ(Dump(t.gLoot), "Gem/4/1/6/2/Erudin, Neriak");
}

// ---------------------------------------------------------------------------------------------------------
// Reset

TEST(StatTableReset, ResetTablesRestoresTitlesAndOneEmptyRow) {
    const std::vector<std::string> titles = {"Skill/Value/Rank/Max",
                                             "Skill Attempt/Failures/Successes",
                                             "Zone/Event/Alias/Entered",
                                             "Faction/Decreases/Increases/Limit/Zones",
                                             "NPC/Considers you/Zone",
                                             "Name/Killed by/Killed/Zones",
                                             "Name/Bought from/Sold to/Zones",
                                             "Item/Looted/Bought/Sold/Dropped/Zones",
                                             "Effect/Times",
                                             "Your Attack/Misses/Hits/Max Damage",
                                             "Mob's Attack/Misses/Hits/Max Damage",
                                             "Spell/Effect/Cast/Resisted",
                                             "Result/Times",
                                             "Action/Times",
                                             "Event/Times",
                                             "Name/Level/Class/Rank/Last on"};
    const std::vector<int> widths = {4, 3, 3, 5, 3, 4, 4, 6, 2, 4, 4, 3, 2, 2, 2, 5};
    StatTables t;
    for (StatTable* table : t.All()) {
        Add(*table, "b/1/2/3/4/5|a/6");
        table->SetCell(0, 0, "scribbled");
    }
    t.ResetTables(true);
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const StatTable& table = *t.All()[i];
        EXPECT_EQ(RowText(table, 0), titles[i]) << i;
        EXPECT_EQ(table.ColCount(), widths[i]) << i;
        EXPECT_EQ(table.RowCount(), 2) << i;
        EXPECT_EQ(CellsOf(table, 1), Row(widths[i])) << i;
        EXPECT_FALSE(table.HasRows) << i;
    }
    IncrementCount(t.gEvents, "Rain");
    EXPECT_EQ(Dump(t.gEvents), "Rain/1");
}

TEST(StatTableReset, MissingSkillMaximumsDropMaxForGood) {
    StatTables t;
    t.ResetTables(false);
    EXPECT_EQ(t.gSkills.ColCount(), 3);
    EXPECT_EQ(CellsOf(t.gSkills, 0), (Row{"Skill", "Value", "Rank"}));
    t.ResetTables(false);
    t.ResetTables(true);
    EXPECT_EQ(CellsOf(t.gSkills, 0), (Row{"Skill", "Value", "Rank"}));
    EXPECT_EQ(CellsOf(t.gSkills, 1), (Row{"", "", ""}));
    EXPECT_EQ(t.gYAttacks.ColCount(), 4);  // no other table loses a column
    Add(t.gSkills, "Bash/7/Awful|Archery/120/Master");
    t.gSkills.Sort(true);
    EXPECT_EQ(KeyList(t.gSkills), "Archery|Bash");
}

// ---------------------------------------------------------------------------------------------------------
// Sorting

TEST(StatTableSort, TextSortIgnoresCaseAndPutsAKeyBeforeItsExtensions) {
    StatTable events("gEvents", {"Event", "Times"}, ValueSort::Column1);
    Place(events, "Zebra/1|Bat/2|a bat king/3|apple/4|bat/1|a bat/5");
    events.Sort(false);
    // "Bat" and "bat" tie on the key: the other cells decide.
    EXPECT_EQ(Dump(events), "a bat/5|a bat king/3|apple/4|bat/1|Bat/2|Zebra/1");
    EXPECT_EQ(RowText(events, 0), "Event/Times");

    std::mt19937 rng(4131);
    std::uniform_int_distribution<int> letter(0, 52);
    std::set<std::string> seen;
    Rows rows;
    while (rows.size() < 200) {
        std::string key;
        for (int n = 0; n < 5; ++n) {
            const int c = letter(rng);
            key += c == 52 ? ' ' : static_cast<char>(c < 26 ? 'a' + c : 'A' + c - 26);
        }
        if (seen.insert(Lowered(key)).second) rows.push_back({key, "1"});
    }
    StatTable many("gEvents", {"Event", "Times"}, ValueSort::Column1);
    Place(many, rows);
    many.Sort(false);
    std::vector<std::string> expected(seen.begin(), seen.end());  // ascending, lower-cased
    for (int r = 1; r < many.RowCount(); ++r)
        EXPECT_EQ(Lowered(many.Cell(0, r)), expected[r - 1]) << r;
    // Equal values: the value sort gives the descending key order.
    many.Sort(true);
    for (int r = 1; r < many.RowCount(); ++r)
        EXPECT_EQ(Lowered(many.Cell(0, r)), expected[200 - r]) << r;
}

TEST(StatTableSort, ValueSortByOneColumn) {
    StatTables t;
    Place(t.gFocus, "a/3|b/10|c/?");
    Place(t.gSkills, "Swimming/45/Below Average/200|Archery/120/Master/?|Bash/7/Awful/900");
    Place(t.gGuild, "Cy/abc/Wizard/99/x|Al/5/Cleric/Member/y|Bob/60/Warrior/Officer/z");
    Place(t.gSpells, "Fire/3/50|Ice/10/0");
    Place(t.gZones, "Qeynos/ /3|Halas/99/1|Erudin/x/10");
    t.SortTables(true);
    EXPECT_EQ(KeyList(t.gFocus), "b|a|c");
    EXPECT_EQ(KeyList(t.gSkills), "Archery|Swimming|Bash");
    EXPECT_EQ(KeyList(t.gGuild), "Bob|Al|Cy");
    EXPECT_EQ(KeyList(t.gSpells), "Ice|Fire");
    EXPECT_EQ(KeyList(t.gZones), "Erudin|Qeynos|Halas");
    t.SortTables(false);
    EXPECT_EQ(KeyList(t.gZones), "Erudin|Halas|Qeynos");
    EXPECT_EQ(Dump(t.gSpells), "Fire/3/50|Ice/10/0");
}

TEST(StatTableSort, ValueSortByDifferenceAndSums) {
    StatTables t;
    Place(t.gMobs, "an orc/1/1/Qeynos|a rat/2/3/|a bat/0/5/");
    Place(t.gAttempts, "Bash/5/1|Kick/0/0|Taunt/?/3");
    Place(t.gFactions, "Orcs/10/2/100/|Guards/2/10/x/Qeynos");
    Place(t.gYAttacks, "slash/1/4/500|kick/0/9/1");
    Place(t.gMAttacks, "bite/3/1/90|claw/1/2/2");
    Place(t.gVendors, "Bob/3/4/Qeynos|Al/10/0/|Cy/?/5/100");
    Place(t.gLoot, "Cap/1/1/1/50/|Bone/0/0/2/0/|Gem/0/5/0/?/");
    t.SortTables(true);
    EXPECT_EQ(KeyList(t.gMobs), "a bat|a rat|an orc");
    EXPECT_EQ(KeyList(t.gAttempts), "Taunt|Kick|Bash");
    EXPECT_EQ(KeyList(t.gFactions), "Guards|Orcs");
    EXPECT_EQ(KeyList(t.gYAttacks), "kick|slash");
    EXPECT_EQ(KeyList(t.gMAttacks), "claw|bite");
    EXPECT_EQ(KeyList(t.gVendors), "Al|Bob|Cy");
    EXPECT_EQ(KeyList(t.gLoot), "Gem|Cap|Bone");
}

TEST(StatTableSort, ValueSortByAttitudeRanksUnknownLast) {
    StatTables t;
    Place(t.gCons,
          "orc/ready to attack/|zebra/Ally/|gnoll/threateningly/|bat/dubiously/|ant/scowls at you/|"
          "rat/apprehensively/|elf/indifferently/|dwarf/amiably/|yak//|gnome/kindly/|halfling/warmly/|"
          "guard/ally/Qeynos");
    t.gCons.Sort(true);
    EXPECT_EQ(KeyList(t.gCons), "guard|halfling|gnome|dwarf|elf|rat|bat|gnoll|orc|zebra|yak|ant");
    EXPECT_EQ(RowText(t.gCons, 1), "guard/ally/Qeynos");
}

TEST(StatTableSort, ValueTiesInDescendingKeyOrderAndClampedKeys) {
    StatTable focus("gFocus", {"Effect", "Times"}, ValueSort::Column1);
    Place(focus, "d/-3|a/2500000|g/-5000000|c/0|Bat/1000000|e/999999|f/abc|apple/5|Cat/5|bob/5");
    focus.Sort(true);
    EXPECT_EQ(KeyList(focus), "Bat|a|e|Cat|bob|apple|f|c|d|g");

    // Differences and sums beyond the 64-bit range clamp like any other large value.
    StatTable mobs("gMobs", {"Name", "Killed by", "Killed", "Zones"}, ValueSort::Difference);
    Place(mobs, "b/0/5/|c/" + kMax + "/0/|a/" + kMin + "/0/");
    mobs.Sort(true);
    EXPECT_EQ(KeyList(mobs), "a|b|c");
    StatTable loot("gLoot", {"Item", "Looted", "Bought", "Sold", "Dropped", "Zones"}, ValueSort::SumOfThree);
    Place(loot, "b/1/0/0//|a/" + kMax + "/" + kMax + "/" + kMax + "//");
    loot.Sort(true);
    EXPECT_EQ(KeyList(loot), "a|b");
}

TEST(StatTableSort, ValueModeFollowsTableWidth) {
    // Sum of two over more than four columns sums three.
    StatTable wide("w", {"K", "A", "B", "C", "D"}, ValueSort::SumOfTwo);
    Place(wide, "y/3/3/0/0|x/1/1/5/0");
    wide.Sort(true);
    EXPECT_EQ(KeyList(wide), "x|y");
    // Below three columns every two-column mode reads column 1.
    for (ValueSort mode :
         {ValueSort::Column2, ValueSort::Difference, ValueSort::SumOfTwo, ValueSort::SumOfThree}) {
        StatTable narrow("n", {"K", "V"}, mode);
        Place(narrow, "a/5|c/-2|b/7");
        narrow.Sort(true);
        EXPECT_EQ(KeyList(narrow), "b|a|c");
    }
    // One column: the value sort is the text sort.
    StatTable single("s", {"K"}, ValueSort::Column1);
    Place(single, "b|C|a");
    single.Sort(true);
    EXPECT_EQ(KeyList(single), "a|b|C");
}

TEST(StatTableSort, EmptyAndSingleRowTablesStayAsTheyAre) {
    StatTables t;
    t.SortTables(true);
    t.SortTables(false);
    for (const StatTable* table : t.All()) {
        EXPECT_EQ(table->RowCount(), 2) << table->Name();
        EXPECT_EQ(CellsOf(*table, 1), Row(table->ColCount())) << table->Name();
        EXPECT_FALSE(table->HasRows);
    }
    Add(t.gCons, "bat/ally/Qeynos");
    for (bool byValue : {true, false}) {
        t.gCons.Sort(byValue);
        EXPECT_EQ(Dump(t.gCons), "bat/ally/Qeynos");
        EXPECT_EQ(RowText(t.gCons, 0), "NPC/Considers you/Zone");
    }
}

TEST(StatTableSort, RowsSurviveWholeWithQuotesAndSeparatorBytes) {
    const Rows rows = {{"b\xFEx", "\xFE", "5", "Ne\xFEriak"},
                       {"an orc", "a ' mark", "1", "Qeynos, Halas"},
                       {"a bat", "2", "0", "z ' q"},
                       {"a ' cat", "", "", " '"}};
    StatTable mobs("gMobs", {"Name", "Killed by", "Killed", "Zones"}, ValueSort::Difference);
    Place(mobs, rows);
    mobs.Sort(false);
    EXPECT_EQ(DataRows(mobs), (Rows{rows[3], rows[2], rows[1], rows[0]}));
    mobs.Sort(true);  // 5, 1, 0, -2
    EXPECT_EQ(DataRows(mobs), (Rows{rows[0], rows[1], rows[3], rows[2]}));
    EXPECT_EQ(RowText(mobs, 0), "Name/Killed by/Killed/Zones");
}

}  // namespace
}  // namespace krav
