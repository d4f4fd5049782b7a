// Statistics tables and their operations.
#include "engine/stat_table.h"

#include <algorithm>
#include <bit>
#include <initializer_list>
#include <iterator>
#include <optional>

#include "engine/text.h"

namespace krav {

namespace {

// Eight bytes as LoadEight read them, turned so that the first byte is the highest: such numbers compare as
// the bytes do.
std::uint64_t FirstHighest(std::uint64_t x) {
    if constexpr (std::endian::native == std::endian::little) return __builtin_bswap64(x);
    return x;
}

// Compares texts byte by byte with the letters A-Z folded to lower case.
int CompareFolded(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {  // eight bytes at a time, the first one highest
        const std::uint64_t x = FoldEight(LoadEight(a.data() + i));
        const std::uint64_t y = FoldEight(LoadEight(b.data() + i));
        if (x != y) return FirstHighest(x) < FirstHighest(y) ? -1 : 1;
    }
    for (; i < n; ++i) {
        auto x = static_cast<unsigned char>(FoldCase(a[i]));
        auto y = static_cast<unsigned char>(FoldCase(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::int64_t CellNumber(std::string_view cell) {
    return ReadInteger(cell, 0);
}

int AttitudeRank(std::string_view text) {
    static constexpr std::string_view kAttitudes[] = {"ready to attack", "threateningly", "dubiously",
                                                      "apprehensively",  "indifferently", "amiably",
                                                      "kindly",          "warmly",        "ally"};
    for (int i = 0; i < 9; ++i) {
        if (text == kAttitudes[i]) return i + 1;
    }
    return 0;
}

// The value sort's mode as the table's width allows it; nothing means the text sort.
std::optional<ValueSort> EffectiveMode(ValueSort mode, int cols) {
    if (cols < 2) return std::nullopt;
    if (mode == ValueSort::SumOfTwo && cols > 4) mode = ValueSort::SumOfThree;
    if (cols < 3 && mode != ValueSort::Column1 && mode != ValueSort::Attitude) mode = ValueSort::Column1;
    return mode;
}

std::int64_t RowValue(std::span<const std::string> row, ValueSort mode) {
    auto at = [&row](std::size_t col) { return col < row.size() ? CellNumber(row[col]) : 0; };
    switch (mode) {
        case ValueSort::Column1:
            return at(1);
        case ValueSort::Column2:
            return at(2);
        case ValueSort::Difference:
            return SaturatingSub(at(2), at(1));
        case ValueSort::SumOfTwo:
            return SaturatingAdd(at(1), at(2));
        case ValueSort::SumOfThree:
            return SaturatingAdd(SaturatingAdd(at(1), at(2)), at(3));
        case ValueSort::Attitude:
            return AttitudeRank(row.size() > 1 ? std::string_view(row[1]) : std::string_view());
    }
    return 0;
}

// A counting operation: given to the table's writer when it has one (and this is not the writer's thread),
// done at once otherwise. Either way `apply` is what does it.
void DoOrGive(StatTable& table, const TableOp& op, ApplyTableOp apply) {
    if (TableWriter* writer = table.Writer(); writer != nullptr && !TableWriter::OnWriterThread()) {
        writer->Post(table, apply, op);
    } else {
        apply(table, op);
    }
}

// Set operations on columns 1..n, with an optional zone list column after them.
void SetCells(StatTable& table, std::string_view key, std::initializer_list<std::string_view> values,
              const std::string_view* zone) {
    const int zoneCol = static_cast<int>(values.size()) + 1;
    if (std::string* cells = table.FindCells(key)) {
        int col = 1;
        for (std::string_view value : values) {
            if (col < table.ColCount() && value != "?") cells[col] = value;
            ++col;
        }
        if (zone != nullptr && zoneCol < table.ColCount()) ListAddTo(cells[zoneCol], *zone);
        return;
    }
    std::vector<std::string_view> cells{key};
    cells.insert(cells.end(), values.begin(), values.end());
    std::string zoneList;
    if (zone != nullptr) {
        zoneList = ListAdd("", *zone);
        cells.push_back(zoneList);
    }
    table.NewRow(cells);
}

void AddLootOrDrop(StatTable& loot, std::string_view key, std::string_view zone, std::int64_t looted,
                   std::int64_t dropped) {
    std::string* cells = loot.FindCells(key);
    if (cells == nullptr) {
        const std::string zones = ListAdd("", zone);
        loot.NewRow({key, looted ? "1" : "0", "0", "0", dropped ? "1" : "?", zones});
        return;
    }
    cells[1] = std::to_string(SaturatingAdd(CellNumber(cells[1]), looted));
    cells[2] = std::to_string(CellNumber(cells[2]));
    cells[3] = std::to_string(CellNumber(cells[3]));
    // "?" in Dropped means never counted: it stays until the first drop.
    if (!(NumberOrUnknown(cells[4]) == "?" && dropped == 0))
        cells[4] = NumberOrUnknown(std::to_string(SaturatingAdd(CellNumber(cells[4]), dropped)));
    ListAddTo(cells[5], zone);
}

}  // namespace

StatTable::StatTable(std::string name, std::vector<std::string> titles, ValueSort valueSort)
    : name_(std::move(name)),
      titles_(std::move(titles)),
      valueSort_(valueSort),
      colCount_(static_cast<int>(titles_.size())) {
    Reset();
}

std::uint64_t StatTable::KeyPrint(std::string_view key) {
    const std::size_t n = key.size();
    if (n < kExactPrint) {
        // The folded bytes themselves, with the length in the top byte: two short keys have the same print
        // exactly when they are equal without regard to case.
        std::uint64_t bytes = 0;  // byte by byte: a copy of a varying length would be a library call
        for (std::size_t i = 0; i < n; ++i)
            bytes |= std::uint64_t{static_cast<unsigned char>(key[i])} << (8 * i);
        return FoldEight(bytes) | std::uint64_t{n} << 56;
    }
    // The length with the first and the last eight bytes, folded, and the top bit set, so that no longer key
    // shares a short key's print.
    constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15ULL;
    const std::uint64_t hash =
        (FoldEight(LoadEight(key.data())) * kMix) ^ FoldEight(LoadEight(key.data() + n - 8)) ^ (n * kMix);
    return hash | std::uint64_t{1} << 63;
}

void StatTable::ReprintAll() {
    keyPrints_.resize(stored_);
    for (int row = 0; row < stored_; ++row)
        keyPrints_[row] = KeyPrint(KeyOf(row));
}

void StatTable::AddStoredRow() {
    cells_.resize(cells_.size() + colCount_);
    ++stored_;
}

void StatTable::Reset() {
    Sync();
    cells_.assign(2 * static_cast<std::size_t>(colCount_), std::string());
    stored_ = 2;
    std::copy_n(titles_.begin(), colCount_, cells_.begin());
    HasRows = false;
    keyPrints_.clear();
    ClearOrdered();
}

void StatTable::DropLastColumn() {
    Sync();
    if (colCount_ <= 1) return;
    platform::LargeVector<std::string> cells;
    cells.reserve(static_cast<std::size_t>(stored_) * (colCount_ - 1));
    for (int id = 0; id < stored_; ++id)
        std::move(CellsOf(id), CellsOf(id) + colCount_ - 1, std::back_inserter(cells));
    --colCount_;
    cells_ = std::move(cells);
}

// ---- Plain rows

int StatTable::FindPlain(std::string_view key) const {
    const std::uint64_t print = KeyPrint(key);
    const std::uint64_t* prints = keyPrints_.data();
    const int rows = RowCount();
    for (int row = 1; row < rows; ++row) {
        if (prints[row] == print && (key.size() < kExactPrint || EqualsNoCase(KeyOf(row), key)))
            return row;
    }
    return 0;
}

void StatTable::InsertPlain(std::string_view key) {
    // The new key stands in the last row; exchange it upwards into place, carrying the displaced keys along.
    const int r = HasRows ? FindPlain(key) : RowCount() - 1;
    if (r < 2) return;
    std::string k(key);
    for (int b = 1; b < r; ++b) {
        if (CompareFolded(k, KeyOf(b)) < 0) {
            k = KeyOf(b);
            std::swap_ranges(CellsOf(r), CellsOf(r) + colCount_, CellsOf(b));
            std::swap(keyPrints_[r], keyPrints_[b]);
        }
    }
}

// ---- Ordered rows

namespace {

// The letters A-Z folded, eight bytes at a time: keys equal without regard to case hash alike.
std::uint64_t FoldedHash(std::string_view key) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ULL;
    const std::size_t n = key.size();
    std::uint64_t h = n * kMul;
    if (n >= 8) {
        for (std::size_t i = 0; i + 8 < n; i += 8) {
            h = (h ^ FoldEight(LoadEight(key.data() + i))) * kMul;
            h ^= h >> 29;
        }
        // The last eight bytes, overlapping the block before when the length is no multiple of eight.
        h = (h ^ FoldEight(LoadEight(key.data() + n - 8))) * kMul;
    } else {
        std::uint64_t tail = 0;
        for (std::size_t i = 0; i < n; ++i)
            tail |= std::uint64_t{static_cast<unsigned char>(FoldCase(key[i]))} << (8 * i);
        h = (h ^ tail) * kMul;
    }
    return h ^ (h >> 32);
}

// Eight bytes of a key from `from` on, folded, the first one highest and missing ones 0: where two keys'
// words differ, the words compare as CompareFolded compares the keys, since a key that ends early is a
// prefix of the other (its missing bytes are lower than any, or equal to real zero bytes, a tie).
std::uint64_t FoldedWord(std::string_view key, std::size_t from) {
    if (key.size() >= from + 8) return FirstHighest(FoldEight(LoadEight(key.data() + from)));
    std::uint64_t word = 0;
    for (std::size_t i = from; i < key.size(); ++i)
        word |= std::uint64_t{static_cast<unsigned char>(FoldCase(key[i]))} << (8 * (7 - (i - from)));
    return word;
}

// Heap priorities of the search tree: fixed per id and spread like random numbers, so that the tree stays
// shallow whatever the order of the keys.
std::uint64_t Priority(int id) {
    std::uint64_t x = static_cast<std::uint64_t>(id) + 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

}  // namespace

void StatTable::ClearOrdered() {
    found_ = {};
    // Row 1 is the empty placeholder, the last row and not yet in its place.
    ordered_ = true;
    placed_ = 0;
    staged_ = 1;
    maxId_ = 0;
    root_ = 0;
    nodes_.assign(stored_, Node{});
    waiting_.clear();
    hashes_.assign(stored_, 0);
    slots_.assign(16, Slot{});
    order_.clear();
    place_.assign(stored_, 0);
    orderValid_ = true;
    misses_ = 0;
    lastRow_ = 0;
}

bool StatTable::Less(int a, int b) const {
    if (nodes_[a].prefix != nodes_[b].prefix) return nodes_[a].prefix < nodes_[b].prefix;
    return CompareFolded(KeyOf(a), KeyOf(b)) < 0;
}

void StatTable::Split(int t, int id, int& lower, int& upper) const {
    if (t == 0) {
        lower = upper = 0;
        return;
    }
    Node& n = nodes_[t];
    if (Less(t, id)) {
        Split(n.right, id, n.right, upper);
        if (n.right != 0) nodes_[n.right].up = t;
        lower = t;
    } else {
        Split(n.left, id, lower, n.left);
        if (n.left != 0) nodes_[n.left].up = t;
        upper = t;
    }
    Pull(t);
}

void StatTable::TreeInsert(int& t, int parent, int id) const {
    if (t == 0 || Priority(id) > Priority(t)) {
        Node& n = nodes_[id];
        Split(t, id, n.left, n.right);
        if (n.left != 0) nodes_[n.left].up = id;
        if (n.right != 0) nodes_[n.right].up = id;
        n.up = parent;
        t = id;
        Pull(id);
        return;
    }
    ++nodes_[t].size;
    TreeInsert(Less(id, t) ? nodes_[t].left : nodes_[t].right, t, id);
}

void StatTable::Flush() const {
    if (waiting_.empty()) return;
    // One by one costs a descent each; sorting and building anew costs the whole tree once.
    const std::size_t inTree = static_cast<std::size_t>(placed_) - waiting_.size();
    if (waiting_.size() * static_cast<std::size_t>(std::bit_width(inTree)) < inTree) {
        for (int id : waiting_) {
            nodes_[id].left = nodes_[id].right = nodes_[id].up = 0;
            TreeInsert(root_, 0, id);
        }
        waiting_.clear();
    } else {
        Rebuild();
    }
    lastRow_ = 0;
}

template <typename Visit>
void StatTable::InOrder(Visit&& visit) const {
    std::vector<int> path;
    for (int t = root_; t != 0 || !path.empty();) {
        if (t != 0) {
            path.push_back(t);
            t = nodes_[t].left;
        } else {
            t = path.back();
            path.pop_back();
            visit(t);
            t = nodes_[t].right;
        }
    }
}

void StatTable::Rebuild() const {
    std::vector<int> inTree;
    inTree.reserve(placed_);
    InOrder([&inTree](int t) { inTree.push_back(t); });
    // The waiting keys sorted on their first sixteen folded bytes, the whole keys only where those agree.
    struct Item {
        std::uint64_t first, second;
        std::string_view key;
        int id;
    };
    std::vector<Item> items;
    items.reserve(waiting_.size());
    // Each row's cells and then its key's text are asked for a few rows ahead: the rows lie in the order
    // they were made, and a long key's text wherever its allocation put it.
    const std::size_t waiting = waiting_.size();
    for (std::size_t i = 0; i < waiting; ++i) {
        if (i + 8 < waiting) platform::Prefetch(CellsOf(waiting_[i + 8]));
        if (i + 4 < waiting) platform::Prefetch(KeyOf(waiting_[i + 4]).data());
        const int id = waiting_[i];
        const std::string& key = KeyOf(id);
        items.push_back({nodes_[id].prefix, FoldedWord(key, 8), key, id});
    }
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        if (a.first != b.first) return a.first < b.first;
        if (a.second != b.second) return a.second < b.second;
        return CompareFolded(a.key, b.key) < 0;
    });
    order_.clear();
    order_.reserve(placed_);
    std::size_t i = 0;
    for (const Item& item : items) {
        while (i < inTree.size() && Less(inTree[i], item.id))
            order_.push_back(inTree[i++]);
        order_.push_back(item.id);
    }
    order_.insert(order_.end(), inTree.begin() + static_cast<std::ptrdiff_t>(i), inTree.end());
    waiting_.clear();

    // The treap of these keys in this order: each key hangs below the nearest earlier key of higher
    // priority and takes the run of lower-priority keys before it as its left side. A key leaves the path
    // once its subtree is complete, so its size is known then.
    std::vector<int> path;
    for (std::size_t k = 0; k < order_.size(); ++k) {
        if (k + 8 < order_.size()) platform::Prefetch(&nodes_[order_[k + 8]]);
        const int id = order_[k];
        Node& n = nodes_[id];
        n.left = n.right = n.up = 0;
        int last = 0;
        while (!path.empty() && Priority(path.back()) < Priority(id)) {
            last = path.back();
            path.pop_back();
            Pull(last);
        }
        n.left = last;
        if (last != 0) nodes_[last].up = id;
        if (!path.empty()) {
            nodes_[path.back()].right = id;
            n.up = path.back();
        }
        path.push_back(id);
    }
    root_ = path.empty() ? 0 : path.front();
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        Pull(*it);
    for (std::size_t k = 0; k < order_.size(); ++k)
        place_[order_[k]] = static_cast<int>(k) + 1;
    orderValid_ = true;
    misses_ = 0;
}

int StatTable::Rank(int id) const {
    int rank = nodes_[nodes_[id].left].size + 1;
    for (int x = id; nodes_[x].up != 0; x = nodes_[x].up) {
        const Node& parent = nodes_[nodes_[x].up];
        if (parent.right == x) rank += nodes_[parent.left].size + 1;
    }
    return rank;
}

int StatTable::Select(int rank) const {
    int t = root_;
    for (;;) {
        const int below = nodes_[nodes_[t].left].size;
        if (rank <= below) {
            t = nodes_[t].left;
        } else if (rank == below + 1) {
            return t;
        } else {
            rank -= below + 1;
            t = nodes_[t].right;
        }
    }
}

void StatTable::FillOrder() const {
    Flush();
    if (orderValid_) return;
    order_.clear();
    InOrder([this](int t) {
        place_[t] = static_cast<int>(order_.size()) + 1;
        order_.push_back(t);
    });
    orderValid_ = true;
    misses_ = 0;
}

void StatTable::Settle() const {
    Sync();
    if (ordered_) FillOrder();
}

int StatTable::IdAt(int row) const {
    if (!ordered_ || row == 0) return row;
    if (row > placed_) return staged_;
    if (orderValid_) return order_[row - 1];
    if (row == lastRow_) return lastId_;
    Flush();
    if (orderValid_) return order_[row - 1];
    // Lookups through the tree until they have paid for a fresh list.
    if (++misses_ > placed_ / 8 + 16) {
        FillOrder();
        return order_[row - 1];
    }
    lastRow_ = row;
    lastId_ = Select(row);
    return lastId_;
}

int StatTable::Position(int id) const {
    if (orderValid_) return place_[id];
    if (lastRow_ != 0 && lastId_ == id) return lastRow_;
    Flush();
    if (orderValid_) return place_[id];
    if (++misses_ > placed_ / 8 + 16) {
        FillOrder();
        return place_[id];
    }
    lastRow_ = Rank(id);
    lastId_ = id;
    return lastRow_;
}

int StatTable::FindId(std::string_view key, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    const auto check = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot& s = slots_[slot];
        if (s.id == 0) return 0;
        if (s.check == check && EqualsNoCase(KeyOf(s.id), key)) return s.id;
    }
}

int StatTable::FindId(std::string_view key) const {
    return FindId(key, FoldedHash(key));
}

void StatTable::IndexAdd(int id) {
    if (2 * (static_cast<std::size_t>(placed_) + 1) > slots_.size()) {
        platform::LargeVector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& s : old) {
            if (s.id == 0) continue;
            std::size_t slot = hashes_[s.id] & mask;
            while (slots_[slot].id != 0)
                slot = (slot + 1) & mask;
            slots_[slot] = s;
        }
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hashes_[id] & mask;
    while (slots_[slot].id != 0)
        slot = (slot + 1) & mask;
    slots_[slot] = {id, static_cast<std::uint32_t>(hashes_[id] >> 32)};
}

void StatTable::Place(int id, std::uint64_t hash) {
    hashes_[id] = hash;
    nodes_[id] = Node{0, 0, 0, 1, FoldedWord(KeyOf(id), 0)};
    IndexAdd(id);
    ++placed_;
    const bool greatest = maxId_ == 0 || Less(maxId_, id);
    if (greatest) maxId_ = id;
    // Keys that come in ascending order keep the row list as it is.
    if (orderValid_ && greatest) {
        place_[id] = placed_;
        order_.push_back(id);
    } else {
        orderValid_ = false;
        misses_ = 0;
    }
    waiting_.push_back(id);
    lastRow_ = 0;
}

void StatTable::SettleStaged() {
    if (staged_ == 0) return;
    const std::string& key = KeyOf(staged_);
    const std::uint64_t hash = FoldedHash(key);
    if (FindId(key, hash) != 0 || (placed_ > 0 && CompareFolded(key, KeyOf(maxId_)) <= 0)) {
        MakePlain();  // a last row out of order or a second equal key: the rows as they stand
        return;
    }
    const int id = staged_;
    staged_ = 0;
    Place(id, hash);
}

void StatTable::MakePlain() {
    if (!ordered_) return;
    FillOrder();
    const int rows = RowCount();
    platform::LargeVector<std::string> cells;
    cells.reserve(static_cast<std::size_t>(rows) * colCount_);
    for (int row = 0; row < rows; ++row) {
        std::string* from = CellsOf(row == 0 ? 0 : IdAt(row));
        std::move(from, from + colCount_, std::back_inserter(cells));
    }
    cells_ = std::move(cells);
    stored_ = rows;
    ordered_ = false;
    found_ = {};
    nodes_.clear();
    waiting_.clear();
    hashes_.clear();
    slots_.clear();
    order_.clear();
    place_.clear();
    lastRow_ = 0;
    ReprintAll();
}

void StatTable::TryOrdered() {
    if (ordered_) return;
    const int rows = RowCount();
    if (!HasRows) {
        if (rows != 2) return;  // rows below the placeholder of a table without data: left plain
    } else {
        for (int row = 2; row < rows; ++row)
            if (CompareFolded(KeyOf(row - 1), KeyOf(row)) >= 0) return;
    }
    keyPrints_.clear();
    ClearOrdered();
    if (!HasRows) return;
    staged_ = 0;
    for (int id = 1; id < rows; ++id)
        Place(id, FoldedHash(KeyOf(id)));
}

// ---- The primitives

void StatTable::SetCell(int col, int row, std::string_view text) {
    Sync();
    if (!ordered_) {
        CellsOf(row)[col] = text;
        if (col == 0) keyPrints_[row] = KeyPrint(text);
        return;
    }
    const int id = IdAt(row);
    // A placed key may change its letter case; another text would leave the order.
    if (col == 0 && id != staged_ && !EqualsNoCase(KeyOf(id), text)) {
        MakePlain();
        SetCell(col, row, text);
        return;
    }
    CellsOf(id)[col] = text;
}

int StatTable::FindRow(std::string_view key) const {
    Sync();
    // The placeholder row is no data: while it is all there is, no key is found.
    if (!HasRows) return 0;
    if (!ordered_) return FindPlain(key);
    if (const int id = FindId(key); id != 0) return Position(id);
    if (staged_ != 0 && EqualsNoCase(KeyOf(staged_), key)) return placed_ + 1;
    return 0;
}

std::string* StatTable::FindCells(std::string_view key) {
    Sync();
    if (!HasRows) return nullptr;
    if (!ordered_) {
        const int row = FindPlain(key);
        return row != 0 ? CellsOf(row) : nullptr;
    }
    // The rows found last first: a run mostly counts the same few keys of a table again and again (the
    // attacks), and a placed key is the only one of its spelling.
    for (const int id : found_)
        if (id != 0 && KeyOf(id).size() == key.size() && EqualsNoCase(KeyOf(id), key)) return CellsOf(id);
    if (const int id = FindId(key); id != 0) {
        found_[nextFound_++ % found_.size()] = id;
        return CellsOf(id);
    }
    if (staged_ != 0 && EqualsNoCase(KeyOf(staged_), key)) return CellsOf(staged_);
    return nullptr;
}

void StatTable::AppendRow() {
    Sync();
    if (!HasRows) return;
    if (!ordered_) {
        AddStoredRow();
        keyPrints_.push_back(KeyPrint({}));
        return;
    }
    SettleStaged();
    if (!ordered_) {
        AppendRow();
        return;
    }
    staged_ = stored_;
    AddStoredRow();
    nodes_.emplace_back();
    hashes_.push_back(0);
    place_.push_back(0);
}

void StatTable::SetNewCell(int col, std::string_view text) {
    Sync();
    if (col < colCount_) SetCell(col, RowCount() - 1, text);
}

void StatTable::InsertInOrder(std::string_view key) {
    Sync();
    if (ordered_ && !HasRows && RowCount() > 2) MakePlain();  // only a table with its flag cleared by hand
    if (!ordered_) {
        InsertPlain(key);
        return;
    }
    // Over rows in strictly ascending order the exchanges shift every row above the new key's place down by
    // one: the new row goes in before the first key it is less than. A key that an upper row holds already
    // is found there and exchanged with nothing; so is a key no row holds.
    if (!HasRows) return;
    const std::uint64_t hash = FoldedHash(key);
    if (FindId(key, hash) != 0) return;
    if (staged_ != 0 && EqualsNoCase(KeyOf(staged_), key)) {
        const int id = staged_;
        staged_ = 0;
        Place(id, hash);
    }
}

void StatTable::NewRow(const std::vector<std::string_view>& cells) {
    Sync();
    AppendRow();
    for (int col = 0; col < colCount_; ++col) {
        SetNewCell(col, col < static_cast<int>(cells.size()) ? cells[col] : std::string_view());
    }
    const std::string key(cells.empty() ? std::string_view() : cells[0]);
    InsertInOrder(key);
    HasRows = true;
}

void StatTable::Sort(bool byValue) {
    Sync();
    MakePlain();
    std::optional<ValueSort> mode = byValue ? EffectiveMode(valueSort_, colCount_) : std::nullopt;
    // Each row travels whole with its sort key, so no cell text can disturb the others.
    struct Item {
        std::string key;
        int row;
    };
    std::vector<Item> items;
    items.reserve(stored_ - 1);
    for (int r = 1; r < stored_; ++r) {
        std::string key = mode ? SortKey(RowValue(Row(r), *mode)) : KeyOf(r);
        items.push_back({std::move(key), r});
    }
    // Ascending by the sort key, then by the cells from the key on, letter case ignored; a text sorts before
    // its own extensions ("a bat" before "a bat king").
    std::stable_sort(items.begin(), items.end(), [this](const Item& a, const Item& b) {
        if (int c = CompareFolded(a.key, b.key); c != 0) return c < 0;
        for (int col = 0; col < colCount_; ++col) {
            if (int c = CompareFolded(CellsOf(a.row)[col], CellsOf(b.row)[col]); c != 0) return c < 0;
        }
        return false;
    });
    // The value sort fills from the bottom: largest values first, ties in descending key order.
    const int n = static_cast<int>(items.size());
    platform::LargeVector<std::string> cells(cells_.size());
    std::move(CellsOf(0), CellsOf(1), cells.begin());
    for (int i = 1; i <= n; ++i) {
        std::string* from = CellsOf(items[i - 1].row);
        std::move(from, from + colCount_, cells.begin() + Offset(mode ? n + 1 - i : i));
    }
    cells_ = std::move(cells);
    ReprintAll();
    TryOrdered();
}

std::string Increased(std::string_view cell, std::int64_t by) {
    std::optional<std::int64_t> value = ReadInteger(cell);
    return std::to_string(SaturatingAdd(value ? *value : 1, by));
}

// A number as std::to_string writes it (digits alone, no leading zero) and far from the limit gets one added
// to its digits, carrying from the last.
void IncreaseText(std::string& cell) {
    const bool plain = !cell.empty() && cell.size() <= 17 && (cell[0] != '0' || cell.size() == 1) &&
                       std::all_of(cell.begin(), cell.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!plain) {
        cell = Increased(cell);
        return;
    }
    for (auto digit = cell.rbegin(); digit != cell.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return;
        }
        *digit = '0';
    }
    cell.insert(cell.begin(), '1');
}

void StatTable::IncreaseCell(int col, int row) {
    Sync();
    if (col == 0) {  // a key is no count; kept for the operation's sake
        SetCell(col, row, Increased(Cell(col, row)));
        return;
    }
    IncreaseText(CellsOf(IdAt(row))[col]);
}

void IncrementCount(StatTable& table, std::string_view key) {
    if (std::string* cells = table.FindCells(key)) {
        IncreaseText(cells[1]);
    } else {
        table.NewRow({key, "1"});
    }
}

void IncrementCountSecond(StatTable& table, std::string_view key) {
    if (std::string* cells = table.FindCells(key)) {
        IncreaseText(cells[2]);
    } else {
        table.NewRow({key, " ", "1"});
    }
}

void IncrementWithZone(StatTable& table, std::string_view key, int col, std::string_view zone) {
    DoOrGive(table, {key, zone, col}, [](StatTable& t, const TableOp& op) {
        if (std::string* cells = t.FindCells(op.key)) {
            IncreaseText(cells[op.col]);
            ListAddTo(cells[3], op.zone);
        } else {
            t.NewRow({op.key, op.col == 1 ? "1" : "0", op.col == 2 ? "1" : "0", ListAdd("", op.zone)});
        }
    });
}

void IncrementLooted(StatTable& loot, std::string_view key, std::string_view zone) {
    DoOrGive(loot, {key, zone},
             [](StatTable& t, const TableOp& op) { AddLootOrDrop(t, op.key, op.zone, 1, 0); });
}

void IncrementDropped(StatTable& loot, std::string_view key, std::string_view zone) {
    DoOrGive(loot, {key, zone},
             [](StatTable& t, const TableOp& op) { AddLootOrDrop(t, op.key, op.zone, 0, 1); });
}

void IncrementSold(StatTable& loot, std::string_view key) {
    DoOrGive(loot, {key, {}}, [](StatTable& t, const TableOp& op) {
        if (std::string* cells = t.FindCells(op.key)) {
            cells[3] = Increased(cells[3]);
        } else {
            t.NewRow({op.key, "0", "0", "1", "?", ""});
        }
    });
}

void AddBought(StatTable& loot, std::string_view key, std::int64_t quantity, std::string_view zone) {
    DoOrGive(loot, {key, zone, 0, quantity}, [](StatTable& t, const TableOp& op) {
        if (std::string* cells = t.FindCells(op.key)) {
            cells[2] = Increased(cells[2], op.number);
            ListAddTo(cells[5], op.zone);
        } else {
            t.NewRow({op.key, "0", std::to_string(op.number), "0", "?", ListAdd("", op.zone)});
        }
    });
}

void CountAttemptSuccess(StatTable& attempts, std::string_view key) {
    if (std::string* cells = attempts.FindCells(key)) {
        IncreaseText(cells[2]);
    } else {
        attempts.NewRow({key, "0", "1"});
    }
}

void CountAttemptFailure(StatTable& attempts, std::string_view key) {
    if (std::string* cells = attempts.FindCells(key)) {
        IncreaseText(cells[1]);
    } else {
        attempts.NewRow({key, "1", "0"});
    }
}

void CountAttemptFailureUnknownSuccess(StatTable& attempts, std::string_view key) {
    if (std::string* cells = attempts.FindCells(key)) {
        IncreaseText(cells[1]);
    } else {
        attempts.NewRow({key, "1", "?"});
    }
}

void SetText(StatTable& table, std::string_view key, std::string_view first) {
    SetCells(table, key, {first}, nullptr);
}

void SetTwo(StatTable& table, std::string_view key, std::string_view first, std::string_view second) {
    SetCells(table, key, {first, second}, nullptr);
}

void SetThree(StatTable& table, std::string_view key, std::string_view first, std::string_view second,
              std::string_view third) {
    SetCells(table, key, {first, second, third}, nullptr);
}

void SetTwoAndZones(StatTable& table, std::string_view key, std::string_view first, std::string_view second,
                    std::string_view zone) {
    SetCells(table, key, {first, second}, &zone);
}

void SetThreeAndZones(StatTable& table, std::string_view key, std::string_view first, std::string_view second,
                      std::string_view third, std::string_view zone) {
    SetCells(table, key, {first, second, third}, &zone);
}

void SetFourAndZones(StatTable& table, std::string_view key, std::string_view first, std::string_view second,
                     std::string_view third, std::string_view fourth, std::string_view zone) {
    SetCells(table, key, {first, second, third, fourth}, &zone);
}

StatTables::StatTables()
    : gSkills("gSkills", {"Skill", "Value", "Rank", "Max"}, ValueSort::Column1),
      gAttempts("gAttempts", {"Skill Attempt", "Failures", "Successes"}, ValueSort::Difference),
      gZones("gZones", {"Zone/Event", "Alias", "Entered"}, ValueSort::Column2),
      gFactions("gFactions", {"Faction", "Decreases", "Increases", "Limit", "Zones"}, ValueSort::Difference),
      gCons("gCons", {"NPC", "Considers you", "Zone"}, ValueSort::Attitude),
      gMobs("gMobs", {"Name", "Killed by", "Killed", "Zones"}, ValueSort::Difference),
      gVendors("gVendors", {"Name", "Bought from", "Sold to", "Zones"}, ValueSort::SumOfTwo),
      gLoot("gLoot", {"Item", "Looted", "Bought", "Sold", "Dropped", "Zones"}, ValueSort::SumOfThree),
      gFocus("gFocus", {"Effect", "Times"}, ValueSort::Column1),
      gYAttacks("gYAttacks", {"Your Attack", "Misses", "Hits", "Max Damage"}, ValueSort::Difference),
      gMAttacks("gMAttacks", {"Mob's Attack", "Misses", "Hits", "Max Damage"}, ValueSort::Difference),
      gSpells("gSpells", {"Spell/Effect", "Cast", "Resisted"}, ValueSort::Column1),
      gResults("gResults", {"Result", "Times"}, ValueSort::Column1),
      gActions("gActions", {"Action", "Times"}, ValueSort::Column1),
      gEvents("gEvents", {"Event", "Times"}, ValueSort::Column1),
      gGuild("gGuild", {"Name", "Level", "Class", "Rank", "Last on"}, ValueSort::Column1) {}

std::array<StatTable*, 16> StatTables::All() {
    return {&gSkills, &gAttempts, &gZones,    &gFactions, &gCons,    &gMobs,    &gVendors, &gLoot,
            &gFocus,  &gYAttacks, &gMAttacks, &gSpells,   &gResults, &gActions, &gEvents,  &gGuild};
}

std::array<const StatTable*, 16> StatTables::All() const {
    return {&gSkills, &gAttempts, &gZones,    &gFactions, &gCons,    &gMobs,    &gVendors, &gLoot,
            &gFocus,  &gYAttacks, &gMAttacks, &gSpells,   &gResults, &gActions, &gEvents,  &gGuild};
}

void StatTables::ResetTables(bool haveSkillMaximums) {
    for (StatTable* table : All())
        table->Reset();
    if (!haveSkillMaximums && gSkills.ColCount() == 4) gSkills.DropLastColumn();
}

void StatTables::SortTables(bool byValue) {
    for (StatTable* table : All())
        table->Sort(byValue);
}

}  // namespace krav
