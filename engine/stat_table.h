// The statistics tables: grids of texts with a title row and a key column, kept in key order while a run
// fills them, and the operations through which every recogniser and the record reader change them.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/table_writer.h"
#include "platform/large_pages.h"

namespace krav {

// How the value sort ranks a table's rows.
enum class ValueSort { Column1, Column2, Difference, SumOfTwo, SumOfThree, Attitude };

class StatTable {
public:
    StatTable(std::string name, std::vector<std::string> titles, ValueSort valueSort);

    const std::string& Name() const { return name_; }
    ValueSort ValueSortMode() const { return valueSort_; }
    int ColCount() const { return colCount_; }
    int RowCount() const {
        Sync();
        return ordered_ ? 1 + placed_ + (staged_ != 0) : stored_;
    }
    // Cells are addressed as the grid addresses them: column, then row; row 0 holds the titles.
    const std::string& Cell(int col, int row) const {
        Sync();
        return CellsOf(IdAt(row))[col];
    }
    void SetCell(int col, int row, std::string_view text);
    // SetCell(col, row, Increased(Cell(col, row))), counting on in place when the cell is a plain number.
    void IncreaseCell(int col, int row);
    std::span<const std::string> Row(int row) const {
        Sync();
        return {CellsOf(IdAt(row)), static_cast<std::size_t>(colCount_)};
    }

    // Set once the first key of the run is written: until then row 1 is the empty placeholder. A plain field,
    // which waits for no writer: read while one is attached, it may lag behind the operations given. The
    // readers of whole tables (the report, the end records, the JSON dump) come after the run's writer is
    // detached.
    bool HasRows = false;

    // The writer whose thread does this table's counting operations during a run, or null (TableWriter).
    // While there is one, every other use of the table first waits for the operations given so far.
    TableWriter* Writer() const { return writer_.writer; }
    void SetWriter(TableWriter* writer) { writer_.writer = writer; }

    // Back to the title row and one empty row. The skill table loses its last column for good when the
    // reference data is missing.
    void Reset();
    void DropLastColumn();

    // Primitives. FindRow gives the first data row whose key equals `key` without regard to case, or 0.
    int FindRow(std::string_view key) const;
    void AppendRow();
    void SetNewCell(int col, std::string_view text);
    void InsertInOrder(std::string_view key);
    // AppendRow, every cell, InsertInOrder, HasRows: the one way a row is made. Missing cells stay empty,
    // cells beyond the table's columns are dropped.
    void NewRow(const std::vector<std::string_view>& cells);

    // The first of the ColCount() cells of the row FindRow would give, null when there is none: for the
    // operations that change a row's counts and lists without needing its place (which a table of many new
    // keys works out only when asked). The key cell may be given only another spelling of the same key (its
    // letter case).
    std::string* FindCells(std::string_view key);

    void Sort(bool byValue);

    // Works out every row's place now, so that reading the table (its cells, rows and counts) changes
    // nothing in it: until the next change, any number of threads may read it at once, as long as no writer
    // is attached (whose operations only the thread that gives them may wait for).
    void Settle() const;

private:
    // Brings the table up to date with its writer's operations, unless called on the writer's own thread.
    void Sync() const {
        if (writer_.writer != nullptr && !TableWriter::OnWriterThread()) writer_.writer->Drain();
    }

    // Two ways of keeping the rows. While the keys stand in strictly ascending order (lower-cased byte order,
    // no two equal without regard to case), as every run keeps them, the rows are "ordered": cells_ holds
    // them in the order they were made (their id), a hash index finds a key and a search tree over the ids
    // gives each row's place, so finding and placing a key cost O(log n). A new key only joins the index
    // and waits; the tree takes in the waiting keys when a row's place is next asked for, one by one when
    // they are few, else by sorting them and building the tree again from the merged order. A run that
    // only counts never asks, so its keys are sorted once, at the end. The last row, while it is not put in
    // its place yet, is "staged" outside both. Whatever breaks that order (a value sort, a key rewritten to
    // another text, two equal keys) turns the table "plain": cells_ in row order, searched and exchanged row
    // by row. Reset makes it ordered again.
    int IdAt(int row) const;  // the row's id: the index of its cells in cells_, counted in rows
    std::string* CellsOf(int id) { return cells_.data() + Offset(id); }
    const std::string* CellsOf(int id) const { return cells_.data() + Offset(id); }
    std::size_t Offset(int id) const { return static_cast<std::size_t>(id) * colCount_; }
    const std::string& KeyOf(int id) const { return *CellsOf(id); }
    void AddStoredRow();  // an empty row after the last one stored

    // Plain rows.
    // A number worked out from a key with its letters folded: keys that are equal without regard to case
    // have the same print, so FindRow compares texts only where the prints agree.
    static std::uint64_t KeyPrint(std::string_view key);
    static constexpr std::size_t kExactPrint = 8;  // keys shorter than this are their own print
    void ReprintAll();
    int FindPlain(std::string_view key) const;
    void InsertPlain(std::string_view key);

    // Ordered rows.
    struct Node {
        int left = 0, right = 0, up = 0, size = 0;
        // The key's first eight bytes folded, the first one highest: most comparisons end here.
        std::uint64_t prefix = 0;
    };
    struct Slot {
        int id = 0;               // 0 for an empty slot
        std::uint32_t check = 0;  // the top half of the id's hash: most other keys are passed by without a look
    };
    void MakePlain();          // cells_ put in row order, the tree and the index dropped
    void TryOrdered();         // ordered again when the plain rows allow it
    void ClearOrdered();
    int FindId(std::string_view key, std::uint64_t hash) const;  // the placed row of `key`, 0 when none
    int FindId(std::string_view key) const;
    void Place(int id, std::uint64_t hash);  // gives row `id` its place: the index, and the tree in time
    void SettleStaged();       // a staged row that is no longer the last is placed, or the table turns plain
    bool Less(int a, int b) const;
    void Pull(int t) const { nodes_[t].size = 1 + nodes_[nodes_[t].left].size + nodes_[nodes_[t].right].size; }
    void Split(int t, int id, int& lower, int& upper) const;
    void TreeInsert(int& t, int parent, int id) const;
    void Flush() const;        // the waiting rows into the tree
    template <typename Visit>
    void InOrder(Visit&& visit) const;  // visit(id) for each row of the tree, in key order
    void Rebuild() const;      // the tree built again from the sorted rows, the row list with it
    int Rank(int id) const;    // 1-based place of a row in the tree
    int Select(int rank) const;
    int Position(int id) const;
    void FillOrder() const;
    void IndexAdd(int id);

    std::string name_;
    std::vector<std::string> titles_;
    ValueSort valueSort_;
    int colCount_;
    // Large pages for what a lookup reaches in no order: a table may hold a row for each of 100,000 names.
    // The rows' cells lie one row after another, by id, without an allocation per row: a lookup goes from
    // the index's slot straight to the cells.
    platform::LargeVector<std::string> cells_;
    int stored_ = 0;  // the rows in cells_
    std::vector<std::uint64_t> keyPrints_;  // plain rows: KeyPrint of each row's key, row by row

    bool ordered_ = true;
    int placed_ = 0;  // rows with a place, in the tree or waiting: rows 1 to placed_
    int staged_ = 0;  // id of the last row while it stands outside the tree, 0 when none
    int maxId_ = 0;   // the placed row of the greatest key, 0 when none
    // The folded hash of each placed row's key, for growing the index, and open addressing over the rows.
    platform::LargeVector<std::uint64_t> hashes_;
    platform::LargeVector<Slot> slots_;
    // The tree and the rows waiting for it, and the row-by-row ids and each id's row, kept while keys are
    // added in ascending order and filled again from the tree once enough lookups have missed them. Const
    // reads bring them up to date: one thread uses a table at a time.
    mutable int root_ = 0;  // id 0 is the title row, never in the tree: 0 means none
    mutable platform::LargeVector<Node> nodes_;
    mutable std::vector<int> waiting_;
    mutable std::vector<int> order_, place_;
    mutable bool orderValid_ = true;
    mutable int misses_ = 0;
    // The row and id of the last place worked out through the tree: a lookup is mostly followed by reads and
    // writes of the same row.
    mutable int lastRow_ = 0, lastId_ = 0;
    std::array<int, 4> found_{};  // placed rows FindCells found lately, 0 for none; the next replaced:
    unsigned nextFound_ = 0;
    // A table copied or assigned keeps the writer it has (none for a new one): the writer holds operations
    // for the table it was attached to, not for its copies.
    struct WriterLink {
        TableWriter* writer = nullptr;
        WriterLink() = default;
        WriterLink(const WriterLink&) {}
        WriterLink& operator=(const WriterLink&) { return *this; }
    } writer_;
};

// A count cell increased by one; a cell that is not a number counts as 1, so it becomes "2".
std::string Increased(std::string_view cell, std::int64_t by = 1);
// cell = Increased(cell), counting on in place when the cell is a plain number.
void IncreaseText(std::string& cell);

// Counting operations.
void IncrementCount(StatTable& table, std::string_view key);
void IncrementCountSecond(StatTable& table, std::string_view key);
void IncrementLooted(StatTable& loot, std::string_view key, std::string_view zone);
void IncrementDropped(StatTable& loot, std::string_view key, std::string_view zone);
// A sale to a merchant: one more in "Sold" (a new row: "0", "0", "1", "?" and no zones).
void IncrementSold(StatTable& loot, std::string_view key);
// A purchase of `quantity`: added to "Bought", the zone merged into the row's list.
void AddBought(StatTable& loot, std::string_view key, std::int64_t quantity, std::string_view zone);
void CountAttemptSuccess(StatTable& attempts, std::string_view key);
void CountAttemptFailure(StatTable& attempts, std::string_view key);
void CountAttemptFailureUnknownSuccess(StatTable& attempts, std::string_view key);

// Tables of two counts and a zone list (gMobs, gVendors): one more in column `col` (1 or 2) and the zone
// merged into the list; a new row gets "1" there, "0" in the other count and the zone as its list.
void IncrementWithZone(StatTable& table, std::string_view key, int col, std::string_view zone);

// Set operations: on an existing row every value but "?" replaces its cell; a zone is merged into the row's
// zone list.
void SetText(StatTable& table, std::string_view key, std::string_view first);
void SetTwo(StatTable& table, std::string_view key, std::string_view first, std::string_view second);
void SetThree(StatTable& table, std::string_view key, std::string_view first, std::string_view second,
              std::string_view third);
void SetTwoAndZones(StatTable& table, std::string_view key, std::string_view first, std::string_view second,
                    std::string_view zone);
void SetThreeAndZones(StatTable& table, std::string_view key, std::string_view first, std::string_view second,
                      std::string_view third, std::string_view zone);
void SetFourAndZones(StatTable& table, std::string_view key, std::string_view first, std::string_view second,
                     std::string_view third, std::string_view fourth, std::string_view zone);

// The sixteen tables, in the order every operation over all of them visits them.
struct StatTables {
    StatTables();

    StatTable gSkills, gAttempts, gZones, gFactions, gCons, gMobs, gVendors, gLoot, gFocus, gYAttacks,
        gMAttacks, gSpells, gResults, gActions, gEvents, gGuild;

    std::array<StatTable*, 16> All();
    std::array<const StatTable*, 16> All() const;

    // Every table back to its titles and one empty row, HasRows cleared; without the reference data the
    // skill table has no "Max" column.
    void ResetTables(bool haveSkillMaximums);
    void SortTables(bool byValue);
};

}  // namespace krav
