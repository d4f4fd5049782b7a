// loggen: writes a synthetic EverQuest log of a chosen size, for timing KRAV on logs far larger than any
// sample we ship.
//
//   loggen --size BYTES [--seed N] [--players N] [--names N] [--who PERMILLE] OUTPUT
//
// BYTES may end in K, M or G (binary multiples). The log reads like a long stretch of play by one
// character, Bench on tunare: fights make up most of it, with spells, loot, coin, chat on every channel,
// zoning, who lists, vendors, considers, skill-ups and the game's other chatter in between, and about one
// line in eight is of a kind KRAV does not count. Names, zones, items and spells come from small pools, so
// the statistics tables grow to the hundreds of rows a real log gives and no further; a benchmark that
// filled them with millions of unique keys would time the tables, not the reading.
//
// --players N has the who lists name players drawn at random from N made-up names instead of the small pool
// (drawn at random, so a log names fewer than N: 100 MB with --who 500 and N = 300,000 names 203,000 of
// them), and --names N gives N different mobs (with their considers and kills), N different items to loot,
// N different NPCs to consider and merchants to trade with, and N different spells, each a pool name with a
// made-up word after it. Long-played characters' logs name tens of thousands of players and thousands of
// mobs and items; these options give a benchmark of that size, or one that stresses distinct keys.
// --who PERMILLE makes that many episodes in a thousand who lists, on top of the usual mix, so that a
// small log can name many players.
//
// The same size and seed always give the same bytes. Lines are built straight into one large buffer and
// written in blocks, with a splitmix64 generator and no allocation per line, so a gigabyte takes seconds.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

using std::string_view;

// splitmix64: tiny, fast, and good enough that no pattern shows in the counts a log yields.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Multiplying the high half avoids a division; the bias is far below anything a log could show.
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(((Next() >> 32) * n) >> 32); }
    std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) { return lo + Below(hi - lo + 1); }
    bool PerCent(std::uint32_t p) { return Below(100) < p; }
    bool PerMille(std::uint32_t p) { return Below(1000) < p; }

    template <typename T>
    const T& Pick(std::span<const T> pool) {
        return pool[Below(static_cast<std::uint32_t>(pool.size()))];
    }
    template <typename T, std::size_t N>
    const T& Pick(const T (&pool)[N]) {
        return pool[Below(static_cast<std::uint32_t>(N))];
    }

private:
    std::uint64_t state_;
};

// ---------------------------------------------------------------------------------------------------------
// Game clock. The timestamp is rebuilt only when the second changes, and its date part only when the day
// does; weekdays are computed from the date, so the log passes any check a reader might make of them.

struct CivilDate {
    int year;
    unsigned month;  // 1..12
    unsigned day;    // 1..31
};

// Proleptic Gregorian calendar, days counted from 1970-01-01 (Howard Hinnant's well-known algorithms).
constexpr long DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

constexpr CivilDate CivilFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(yoe) + static_cast<int>(era * 400) + (m <= 2), m, d};
}

static_assert(DaysFromCivil(1970, 1, 1) == 0);
static_assert(CivilFromDays(DaysFromCivil(2004, 12, 7)).day == 7);

class GameClock {
public:
    GameClock(int year, unsigned month, unsigned day, unsigned secondOfDay)
        : days_(DaysFromCivil(year, month, day)), second_(secondOfDay) {
        std::memcpy(stamp_, "[Www Mmm DD hh:mm:ss YYYY]", kStampLength);
        FormatDate();
        FormatTime();
    }

    static constexpr std::size_t kStampLength = 26;

    void Advance(unsigned seconds) {
        if (seconds == 0) return;
        second_ += seconds;
        if (second_ >= 86400) {
            days_ += second_ / 86400;
            second_ %= 86400;
            FormatDate();
        }
        FormatTime();
    }

    const char* Stamp() const { return stamp_; }

private:
    void FormatDate() {
        static constexpr char kWeekdays[] = "SunMonTueWedThuFriSat";
        static constexpr char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
        // 1970-01-01 was a Thursday; the days here never go before it.
        const long weekday = (days_ + 4) % 7;
        const CivilDate date = CivilFromDays(days_);
        std::memcpy(stamp_ + 1, kWeekdays + weekday * 3, 3);
        std::memcpy(stamp_ + 5, kMonths + (date.month - 1) * 3, 3);
        Two(stamp_ + 9, date.day);
        Two(stamp_ + 21, static_cast<unsigned>(date.year) / 100);
        Two(stamp_ + 23, static_cast<unsigned>(date.year) % 100);
    }

    void FormatTime() {
        Two(stamp_ + 12, second_ / 3600);
        Two(stamp_ + 15, second_ / 60 % 60);
        Two(stamp_ + 18, second_ % 60);
    }

    static void Two(char* at, unsigned value) {
        at[0] = static_cast<char>('0' + value / 10);
        at[1] = static_cast<char>('0' + value % 10);
    }

    long days_;
    unsigned second_;
    char stamp_[kStampLength + 1] = {};
};

// ---------------------------------------------------------------------------------------------------------
// Output. Text goes straight into a fixed buffer that is handed to the file whenever it fills, so a line
// costs a few memcpy calls and nothing else.

class LogWriter {
public:
    explicit LogWriter(std::FILE* file) : file_(file), buffer_(kBufferSize) {
        pos_ = buffer_.data();
        end_ = pos_ + buffer_.size();
    }

    void Begin(const char* stamp) {
        Put(string_view(stamp, GameClock::kStampLength));
        Put(' ');
    }
    void End() {
        Put('\r');
        Put('\n');
        ++lines_;
    }

    void Put(char c) {
        if (pos_ == end_) Flush();
        *pos_++ = c;
    }
    void Put(string_view text) {
        if (static_cast<std::size_t>(end_ - pos_) < text.size()) {
            Flush();
            if (text.size() > buffer_.size()) {
                if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
                written_ += text.size();
                return;
            }
        }
        std::memcpy(pos_, text.data(), text.size());
        pos_ += text.size();
    }
    void Put(std::uint64_t number) {
        char digits[24];
        auto result = std::to_chars(digits, digits + sizeof digits, number);
        Put(string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
    }
    void Put(int number) { Put(static_cast<std::uint64_t>(number < 0 ? 0 : number)); }
    void Put(unsigned number) { Put(static_cast<std::uint64_t>(number)); }
    // A name that starts a sentence: "a gnoll pup" becomes "A gnoll pup".
    void PutCapitalised(string_view text) {
        if (text.empty()) return;
        char first = text[0];
        Put(first >= 'a' && first <= 'z' ? static_cast<char>(first - 'a' + 'A') : first);
        Put(text.substr(1));
    }

    bool Flush() {
        const std::size_t n = static_cast<std::size_t>(pos_ - buffer_.data());
        if (n != 0 && std::fwrite(buffer_.data(), 1, n, file_) != n) failed_ = true;
        written_ += n;
        pos_ = buffer_.data();
        return !failed_;
    }

    std::uint64_t Bytes() const { return written_ + static_cast<std::uint64_t>(pos_ - buffer_.data()); }
    std::uint64_t Lines() const { return lines_; }
    bool Failed() const { return failed_; }

private:
    static constexpr std::size_t kBufferSize = 8u << 20;

    std::FILE* file_;
    std::vector<char> buffer_;
    char* pos_;
    char* end_;
    std::uint64_t written_ = 0;
    std::uint64_t lines_ = 0;
    bool failed_ = false;
};

// ---------------------------------------------------------------------------------------------------------
// The world: small fixed pools, so every key repeats many times over a long log.

constexpr string_view kCharacter = "Bench";

// Attack words as the game pairs them: "You try to bite", "A rat bites YOU".
struct AttackWord {
    string_view base;
    string_view third;
};
constexpr AttackWord kAttacks[] = {
    {"hit", "hits"},      {"bite", "bites"},   {"claw", "claws"},    {"slash", "slashes"},
    {"crush", "crushes"}, {"bash", "bashes"},  {"kick", "kicks"},    {"pierce", "pierces"},
    {"maul", "mauls"},    {"sting", "stings"}, {"punch", "punches"}, {"gore", "gores"},
    {"smash", "smashes"},
};
enum Attack : std::uint8_t {
    Hit,
    Bite,
    Claw,
    Slash,
    Crush,
    Bash,
    Kick,
    Pierce,
    Maul,
    Sting,
    Punch,
    Gore,
    Smash
};

struct Mob {
    string_view name;
    std::uint8_t level;
    Attack first;
    Attack second;
};

struct Vendor {
    string_view name;
    std::span<const string_view> wares;
};

struct Zone {
    string_view name;
    std::span<const Mob> mobs;
    std::span<const string_view> npcs;  // named citizens, who answer a consider with a proper name
    std::span<const string_view> factions;
    std::span<const string_view> loot;
    Vendor vendor;
};

constexpr Mob kQeynosHillsMobs[] = {
    {"a gnoll pup", 3, Bite, Claw},       {"a young kodiak", 4, Claw, Maul}, {"a large rat", 2, Bite, Bite},
    {"a decaying skeleton", 2, Hit, Hit}, {"a rabid wolf", 6, Bite, Claw},   {"a fire beetle", 3, Bite, Bite},
    {"Fippy Darkpaw", 6, Hit, Bite},      {"a black bear", 7, Claw, Maul},
};
constexpr Mob kWestKaranaMobs[] = {
    {"a grizzly bear", 14, Claw, Maul}, {"a lion", 13, Claw, Bite},        {"a scarecrow", 12, Hit, Hit},
    {"a hill giant", 22, Crush, Smash}, {"a giant bat", 10, Bite, Bite},   {"a brigand", 11, Slash, Kick},
    {"Lord Grimrot", 18, Slash, Bash},  {"a gnoll sentry", 13, Hit, Bite},
};
constexpr Mob kBlackburrowMobs[] = {
    {"a gnoll", 6, Hit, Bite},         {"a gnoll watcher", 8, Hit, Kick},
    {"a gnoll guard", 9, Slash, Bash}, {"a Blackburrow gnoll", 7, Hit, Bite},
    {"a gnoll brewer", 8, Crush, Hit}, {"Lord Elgnub", 12, Crush, Bash},
    {"Master Brewer", 11, Hit, Kick},
};
constexpr Mob kCrushboneMobs[] = {
    {"an orc pawn", 5, Hit, Kick},          {"an orc centurion", 9, Slash, Bash},
    {"an orc legionnaire", 8, Slash, Kick}, {"an orc oracle", 9, Hit, Hit},
    {"Ambassador D`Vinn", 18, Slash, Kick}, {"an orc taskmaster", 10, Crush, Bash},
};
constexpr Mob kFaydarkMobs[] = {
    {"a wisp", 4, Hit, Hit},          {"a pixie", 5, Hit, Hit},
    {"a brownie", 3, Punch, Kick},    {"a giant wasp drone", 6, Sting, Sting},
    {"an orc scout", 7, Slash, Kick}, {"a young kodiak", 4, Claw, Maul},
    {"a shadowed man", 10, Hit, Hit},
};
constexpr Mob kUnrestMobs[] = {
    {"a ghoul", 20, Claw, Bite},        {"a skeleton", 18, Hit, Bash},
    {"a dwarf zombie", 19, Crush, Hit}, {"a ghoul executioner", 24, Slash, Bash},
    {"a haunted chair", 17, Bash, Hit}, {"a shade", 26, Hit, Hit},
};
constexpr Mob kGukMobs[] = {
    {"a froglok ghoul", 28, Hit, Claw}, {"a ghoul knight", 30, Slash, Bash},
    {"a burynai", 27, Claw, Bite},      {"a froglok ghoul shaman", 29, Hit, Hit},
    {"a ghoul sage", 31, Hit, Hit},     {"the ghoul lord", 35, Crush, Bash},
};
constexpr Mob kCommonsMobs[] = {
    {"a black wolf", 8, Bite, Claw}, {"a dervish cutthroat", 12, Slash, Kick},
    {"an orc runner", 9, Hit, Kick}, {"a giant spider", 11, Bite, Sting},
    {"a griffawn", 15, Claw, Bite},  {"a desert madman", 14, Hit, Punch},
};
constexpr Mob kRatheMobs[] = {
    {"a hill giant", 22, Crush, Smash}, {"a rhino beetle", 21, Gore, Bite},
    {"a cyclops", 30, Crush, Smash},    {"a lizard man", 20, Slash, Bite},
    {"a gorilla", 18, Punch, Maul},     {"an ogre guard", 25, Bash, Crush},
};
constexpr Mob kKithicorMobs[] = {
    {"a zombie", 23, Hit, Bite},          {"a bloodsaber", 26, Slash, Pierce},
    {"a skeletal monk", 24, Punch, Kick}, {"an undead knight", 29, Slash, Bash},
    {"a grizzly bear", 14, Claw, Maul},   {"a forest giant", 32, Crush, Smash},
};
constexpr Mob kEverfrostMobs[] = {
    {"an ice giant", 28, Crush, Smash}, {"a snow orc", 14, Slash, Kick},     {"a polar bear", 16, Claw, Maul},
    {"an ice goblin", 12, Hit, Kick},   {"a snowfang gnoll", 17, Bite, Hit}, {"Lodizal", 50, Bite, Smash},
};
constexpr Mob kSurefallMobs[] = {
    {"a young grizzly", 5, Claw, Bite},   {"a cougar", 7, Claw, Bite},   {"a moss snake", 3, Bite, Bite},
    {"a decaying skeleton", 2, Hit, Hit}, {"a poacher", 8, Slash, Kick},
};

constexpr string_view kQeynosNpcs[] = {"Guard Arlen", "Guard Weleth", "Sergeant Caelin", "Tamar Sugarbush"};
constexpr string_view kKaranaNpcs[] = {"Guard Tenbo", "Farmer Brownie", "Tiny Brinkby"};
constexpr string_view kGnollNpcs[] = {"Captain Ghalt", "Brewmaster Gnerd"};
constexpr string_view kOrcNpcs[] = {"Emissary Kraugh", "Orc Warlord Ghraz"};
constexpr string_view kElfNpcs[] = {"Guard Elwen", "Ranger Nythallis", "Lieutenant Shiley"};
constexpr string_view kUndeadNpcs[] = {"Priest of Najena", "Warden Klorg"};
constexpr string_view kCommonsNpcs[] = {"Merchant Jorin", "Guard Bellane", "Trader Dulsa"};
constexpr string_view kFrostNpcs[] = {"Warden Icepaw", "Merchant Wulf"};

constexpr string_view kQeynosFactions[] = {"Guards of Qeynos", "Sabertooths of Blackburrow",
                                           "Merchants of Qeynos", "Antonius Bayle"};
constexpr string_view kKaranaFactions[] = {"Karana Residents", "Guards of Qeynos", "Gnoll Raiders"};
constexpr string_view kGnollFactions[] = {"Sabertooths of Blackburrow", "Guards of Qeynos",
                                          "Corrupt Qeynos Guards"};
constexpr string_view kOrcFactions[] = {"Crushbone Orcs", "Kelethin Defenders", "Faydarks Champions"};
constexpr string_view kElfFactions[] = {"Faydarks Champions", "Emerald Warriors", "Crushbone Orcs"};
constexpr string_view kUndeadFactions[] = {"Unrest Dead", "Keepers of the Art", "Guktan Frogloks"};
constexpr string_view kCommonsFactions[] = {"Freeport Militia", "Knights of Truth", "Dervish Cutthroats"};
constexpr string_view kFrostFactions[] = {"Snowfang Gnolls", "Halas Guards", "Ice Goblins"};

constexpr string_view kBeastLoot[] = {"Bone Chip",  "Gnoll Fang",      "Bear Pelt",    "Rat Ear",
                                      "Wolf Pelt",  "Fire Beetle Eye", "Bat Wing",     "Lion Mane",
                                      "Giant Toes", "Spider Silk",     "Snake Scales", "Rough Bear Pelt"};
constexpr string_view kGnollLoot[] = {
    "Bone Chip",         "Gnoll Fang",   "Gnoll Pup Scalp", "Rusty Short Sword", "Tattered Cloth Sandal",
    "Blackburrow Stout", "Cracked Staff"};
constexpr string_view kOrcLoot[] = {"Orc Scalp",         "Crushbone Belt", "Orc Fibula",      "Rusty Axe",
                                    "Bronze Long Sword", "Cloth Cap",      "Tarnished Dagger"};
constexpr string_view kUndeadLoot[] = {
    "Bone Chip",     "Zombie Skin",        "Ghoul Carrion",           "Froglok Tongue",
    "Rotting Flesh", "Rusty Morning Star", "Lantern of Ghostly Light"};
constexpr string_view kFrostLoot[] = {"Ice Giant Toe", "Snow Orc Ear", "Polar Bear Pelt", "Frosty Gnoll Paw",
                                      "Crystallized Sulfur"};

constexpr string_view kFoodWares[] = {"Bread", "Water Flask", "Rations", "Bandages", "Fishing Bait", "Torch"};
constexpr string_view kGearWares[] = {
    "Cloth Cap",   "Small Cloth Cap", "Leather Gloves",        "Bronze Long Sword",
    "Hunting Bow", "Arrow",           "Studded Leather Tunic", "Chain Coif"};
constexpr string_view kMagicWares[] = {"Spell: Flame Lick", "Spell: Snare",     "Spell: Minor Healing",
                                       "Gem of Tunare",     "Bat Wing Essence", "Peridot"};

constexpr Zone kZones[] = {
    {"Qeynos Hills",
     kQeynosHillsMobs,
     kQeynosNpcs,
     kQeynosFactions,
     kBeastLoot,
     {"Tamar Sugarbush", kFoodWares}},
    {"West Karana", kWestKaranaMobs, kKaranaNpcs, kKaranaFactions, kBeastLoot, {"Tiny Brinkby", kGearWares}},
    {"Blackburrow",
     kBlackburrowMobs,
     kGnollNpcs,
     kGnollFactions,
     kGnollLoot,
     {"Brewmaster Gnerd", kFoodWares}},
    {"Crushbone", kCrushboneMobs, kOrcNpcs, kOrcFactions, kOrcLoot, {"Emissary Kraugh", kGearWares}},
    {"Greater Faydark", kFaydarkMobs, kElfNpcs, kElfFactions, kBeastLoot, {"Ranger Nythallis", kMagicWares}},
    {"Estate of Unrest",
     kUnrestMobs,
     kUndeadNpcs,
     kUndeadFactions,
     kUndeadLoot,
     {"Priest of Najena", kMagicWares}},
    {"Lower Guk", kGukMobs, kUndeadNpcs, kUndeadFactions, kUndeadLoot, {"Warden Klorg", kFoodWares}},
    {"East Commonlands",
     kCommonsMobs,
     kCommonsNpcs,
     kCommonsFactions,
     kBeastLoot,
     {"Merchant Jorin", kGearWares}},
    {"The Rathe Mountains",
     kRatheMobs,
     kCommonsNpcs,
     kCommonsFactions,
     kBeastLoot,
     {"Trader Dulsa", kFoodWares}},
    {"Kithicor Forest",
     kKithicorMobs,
     kUndeadNpcs,
     kUndeadFactions,
     kUndeadLoot,
     {"Warden Klorg", kMagicWares}},
    {"Everfrost Peaks",
     kEverfrostMobs,
     kFrostNpcs,
     kFrostFactions,
     kFrostLoot,
     {"Merchant Wulf", kFoodWares}},
    {"Surefall Glade",
     kSurefallMobs,
     kQeynosNpcs,
     kQeynosFactions,
     kBeastLoot,
     {"Tamar Sugarbush", kGearWares}},
};
constexpr unsigned kZoneCount = sizeof kZones / sizeof kZones[0];

struct Player {
    string_view name;
    unsigned level;
    string_view cls;
    string_view race;
    string_view guild;  // empty for none
};
constexpr Player kPlayers[] = {
    {"Bob", 50, "Warrior", "Human", "Tunare's Chosen"},
    {"Ann", 34, "Cleric", "Dwarf", "Tunare's Chosen"},
    {"Kel", 27, "Wizard", "High Elf", "Tunare's Chosen"},
    {"Joe", 12, "Rogue", "Halfling", ""},
    {"Sue", 41, "Enchanter", "Erudite", "Keepers of the Glade"},
    {"Tim", 60, "Paladin", "Human", "Order of Marr"},
    {"Arwen", 22, "Druid", "Wood Elf", "Keepers of the Glade"},
    {"Brakka", 18, "Shaman", "Ogre", ""},
    {"Cyrilla", 55, "Necromancer", "Dark Elf", "Order of Marr"},
    {"Dorn", 45, "Monk", "Human", "Tunare's Chosen"},
    {"Elandra", 38, "Bard", "Half Elf", "Keepers of the Glade"},
    {"Fizzlenut", 9, "Magician", "Gnome", ""},
    {"Grusk", 31, "Shadow Knight", "Troll", "Order of Marr"},
    {"Hallea", 14, "Ranger", "Wood Elf", ""},
    {"Ivo", 51, "Beastlord", "Vah Shir", "Tunare's Chosen"},
    {"Jessa", 26, "Cleric", "Human", ""},
    {"Korrin", 48, "Warrior", "Barbarian", "Keepers of the Glade"},
    {"Lyssa", 7, "Druid", "Halfling", ""},
    {"Morvain", 33, "Necromancer", "Erudite", "Order of Marr"},
    {"Nessa", 19, "Enchanter", "High Elf", ""},
    {"Orvak", 58, "Shaman", "Iksar", "Tunare's Chosen"},
    {"Pell", 3, "Rogue", "Gnome", ""},
    {"Quilla", 44, "Wizard", "Dark Elf", "Order of Marr"},
    {"Rand", 29, "Paladin", "Dwarf", "Keepers of the Glade"},
    {"Sorrel", 16, "Ranger", "Half Elf", ""},
    {"Thane", 61, "Warrior", "Ogre", "Order of Marr"},
    {"Ulla", 23, "Bard", "Human", "Tunare's Chosen"},
    {"Varek", 37, "Monk", "Iksar", ""},
    {"Wren", 11, "Cleric", "Wood Elf", "Keepers of the Glade"},
    {"Xan", 52, "Magician", "Erudite", "Order of Marr"},
    {"Yorla", 20, "Beastlord", "Barbarian", ""},
    {"Zeph", 46, "Rogue", "Dark Elf", "Tunare's Chosen"},
};

constexpr string_view kChatter[] = {
    "hi",
    "hail",
    "inc",
    "grats",
    "lfg",
    "train!",
    "brb",
    "omw",
    "lol",
    "ty!",
    "np",
    "anyone have a port to West Karana?",
    "need a rez in Lower Guk, will pay",
    "oom, give me a minute",
    "pulling a gnoll pup, get ready",
    "don't pull yet, mana is low",
    "where is the bank in Qeynos?",
    "is the ghoul lord up?",
    "can someone buff me please",
    "LFG 27 wizard, anywhere",
    "grats on the level!",
    "camping in five, thanks for the group",
    "who has the Lantern of Ghostly Light?",
    "ok heading to the zone line now",
    "raid tonight at 8, be on time and bring reagents",
    "he glares at you threateningly, lol",
    "add! add! add!",
    "sorry, linkdead for a sec",
    "anyone selling Bone Chips? paying 2pp each",
    "gate gate gate",
};
constexpr string_view kAuctions[] = {
    "WTS Cloth Cap 5pp",
    "WTB Bone Chips, paying well",
    "WTS Rusty Axe, Bronze Long Sword, offers",
    "WTS Spell: Flame Lick 2pp",
    "WTB Lantern of Ghostly Light 300pp",
    "WTS Crystallized Sulfur x10",
    "WTB Polar Bear Pelt",
};
constexpr string_view kChannels[] = {"general:1", "newplayers:2", "trade:3", "raid:4"};
// What creatures cast at the character, for "You resist the ... spell!".
constexpr string_view kMobSpells[] = {"Lightning Bolt", "Root",        "Fear",   "Engulfing Darkness",
                                      "Disease Cloud",  "Poison Bolt", "Tashan", "Shock of Frost"};
constexpr string_view kLanguages[] = {"Elvish", "Dwarvish", "Gnomish", "Common Tongue", "Ogre", "Halfling"};

struct Spell {
    string_view name;
    bool onTarget;  // cast on the enemy, and so may be resisted
};
constexpr Spell kSpells[] = {
    {"Flame Lick", true},      {"Snare", true},           {"Ensnare", true},        {"Lull", true},
    {"Stinging Swarm", true},  {"Harmony", true},         {"Minor Healing", false}, {"Light Healing", false},
    {"Spirit of Wolf", false}, {"Skin like Wood", false}, {"Camouflage", false},    {"Bind Affinity", false},
    {"Feet like Cat", false},  {"Endure Fire", false},
};

struct Skill {
    string_view name;
    unsigned start;
};
constexpr Skill kSkills[] = {
    {"Offense", 40},    {"Defense", 40},   {"1H Slashing", 38},   {"2H Slashing", 10}, {"Archery", 25},
    {"Dodge", 30},      {"Parry", 12},     {"Double Attack", 5},  {"Dual Wield", 20},  {"Kick", 30},
    {"Tracking", 35},   {"Swimming", 15},  {"Sense Heading", 22}, {"Forage", 30},      {"Fishing", 5},
    {"Channeling", 20}, {"Evocation", 18}, {"Alteration", 22},    {"Abjuration", 15},  {"Conjuration", 12},
    {"Divination", 9},  {"Meditate", 25},  {"Bind Wound", 30},    {"Taunt", 20},
};
constexpr unsigned kSkillCount = sizeof kSkills / sizeof kSkills[0];
enum SkillIndex : unsigned {
    Offense,
    Defense,
    Slashing1H,
    Slashing2H,
    Archery,
    Dodge,
    Parry,
    DoubleAttack,
    DualWield,
    KickSkill,
    Tracking,
    Swimming,
    SenseHeading,
    Forage,
    Fishing,
    Channeling
};

// Friendliest first; the last four are what a creature about to attack says.
constexpr string_view kConsiders[] = {
    "regards you as an ally",   "looks upon you warmly",       "kindly considers you",
    "judges you amiably",       "regards you indifferently",   "looks your way apprehensively",
    "glowers at you dubiously", "glares at you threateningly", "scowls at you, ready to attack",
};
constexpr string_view kConsiderTails[] = {
    " -- what would you like your tombstone to say?",
    " -- You could probably win this fight.",
    " -- looks like a reasonably safe opponent.",
    " -- looks kind of dangerous.",
    " -- You would probably win this fight..it's not certain though.",
};

constexpr string_view kDefences[] = {"parry", "block", "dodge", "riposte", "dodge", "block"};
constexpr string_view kDirections[] = {"North", "NorthEast", "East", "SouthEast",
                                       "South", "SouthWest", "West", "NorthWest"};
constexpr string_view kForaged[] = {"Roots", "Berries", "Vegetables", "Pod of Water", "Fruit", "Rabbit Meat"};
constexpr string_view kCaught[] = {"a Fresh Fish", "a Tattered Cloth Sandal", "a Fish Scale"};

// Lines of the kinds KRAV does not count; several carry bytes 0x80-0xFF as the game's Windows code page
// writes them, which a reader must pass through untouched.
constexpr string_view kNoise[] = {
    "You have been given a task.",
    "It will take about 5 more seconds to prepare your camp.",
    "Auto attack is on.",
    "Targeted (NPC): %m",
    "Channels: 1=General(52), 2=Newplayers(12), 3=Trade(87)",
    "It begins to rain.",
    "The sky clears as the rain ceases.",
    "%m has been mesmerized.",
    "%m begins to cast a spell.",
    "Your target is too far away, get closer!",
    "%p has joined the group.",
    "%p has left the group.",
    "%p has gone Linkdead.",
    "Server message: the world will be brought down for maintenance in 15 minutes.",
    "[Quest] The gnoll pups have been growing bolder near the Qeynos gates.",
    "Maximum number of Find Path points reached.",
    "Gr\xFC\xDF"
    "e an alle aus D\xE4nemark \x96 \xBFQu\xE9 tal? \xA9 \xAE \x80 5pp",
    "\x93Sm\xF8rrebr\xF8"
    "d\x94 \xE0 la carte \x85 r\xE9serv\xE9 pour l\x92\xE9quipe",
};
constexpr string_view kMotd[] = {
    "GUILD MOTD: Bob - Raid tonight at 8 in Lower Guk, meet at the zone line with full mana and reagents. "
    "Bring Bone Chips for the necromancers, Peridots for the enchanters and be on voice chat; loot is by "
    "rolls for everyone who stays until the end. Anyone late waits at the entrance until the next break. "
    "Remember the guild bank is for guild members only and donations are always welcome. Thank you all!",
    "GUILD MOTD: Ann - Congratulations to Kel and Dorn on their levels! Our new members are Wren, Lyssa and "
    "Pell; please help them with buffs and ports. The guild hall rent is due on Sunday, 5pp each please.",
    "GUILD MOTD: Sue - F\xFCr unsere Freunde aus \xD6sterreich: Treffpunkt vor der Bank, \xE0 bient\xF4t! "
    "\xAB Ne pas oublier les r\xE9"
    "actifs \xBB \x96 merci \xE0 tous \x85",
};

// ---------------------------------------------------------------------------------------------------------

class LogGenerator {
public:
    LogGenerator(LogWriter& out, std::uint64_t seed, std::uint32_t players, std::uint32_t names,
                 std::uint32_t extraWho)
        // A Tuesday evening in December 2004, when logs of this shape were common.
        : out_(out), random_(seed), clock_(2004, 12, 7, 18 * 3600 + 30 * 60 + 12), players_(players),
          names_(names), extraWho_(extraWho) {
        for (unsigned i = 0; i < kSkillCount; ++i)
            skills_[i] = kSkills[i].start;
    }

    void Run(std::uint64_t targetBytes) {
        Login();
        while (out_.Bytes() < targetBytes && !out_.Failed()) {
            if (extraWho_ > 0 && random_.Below(1000) < extraWho_) {
                WhoList();
                continue;
            }
            std::uint32_t roll = random_.Below(1000);
            if (roll < 380) {
                Fight();
            } else if (roll < 630) {
                ChatBurst();
            } else if (roll < 690) {
                CastOutOfCombat();
            } else if (roll < 750) {
                SkillAttempt();
            } else if (roll < 790) {
                ConsiderSomeone();
            } else if (roll < 815) {
                Shop();
            } else if (roll < 845) {
                Needs();
            } else if (roll < 865) {
                ChangeZone();
            } else if (roll < 873) {
                WhoList();
            } else if (roll < 888) {
                Saved();
            } else if (roll < 898) {
                Played();
            } else if (roll < 918) {
                Language();
            } else if (roll < 923) {
                CampAndReturn();
            } else {
                Miscellany();
            }
        }
    }

private:
    const Zone& Here() const { return kZones[zone_]; }

    // Starts a line at the current game time, after the pause the episode in progress allows.
    LogWriter& Open() {
        unsigned pause = random_.Between(pauseMin_, pauseMax_);
        clock_.Advance(pause);
        played_ += pause;
        out_.Begin(clock_.Stamp());
        return out_;
    }

    // Ends a line and, now and then, lets through one of the lines KRAV does not count.
    void Close() {
        out_.End();
        if (noiseAllowed_ && random_.Below(1000) < 140) Noise();
    }

    template <typename... Parts>
    void Line(const Parts&... parts) {
        LogWriter& out = Open();
        (out.Put(parts), ...);
        Close();
    }

    void Pace(unsigned lo, unsigned hi) {
        pauseMin_ = lo;
        pauseMax_ = hi;
    }

    void Noise() {
        if (random_.PerCent(4)) {
            out_.Begin(clock_.Stamp());
            out_.Put(random_.Pick(kMotd));
            out_.End();
            return;
        }
        if (random_.PerCent(25)) {
            // "/loc": three coordinates with two decimals, as the client prints them.
            out_.Begin(clock_.Stamp());
            out_.Put(string_view("Your Location is "));
            for (int i = 0; i < 3; ++i) {
                if (i) out_.Put(string_view(", "));
                if (random_.PerCent(50)) out_.Put('-');
                out_.Put(random_.Below(3000));
                out_.Put('.');
                unsigned hundredths = random_.Below(100);
                out_.Put(static_cast<char>('0' + hundredths / 10));
                out_.Put(static_cast<char>('0' + hundredths % 10));
            }
            out_.End();
            return;
        }
        string_view text = random_.Pick(kNoise);
        out_.Begin(clock_.Stamp());
        // %m and %p stand for a creature and a player, so the same noise line is not repeated word for word.
        for (std::size_t at = text.find('%'); at != string_view::npos; at = text.find('%')) {
            out_.Put(text.substr(0, at));
            if (text[at + 1] == 'm')
                out_.PutCapitalised(random_.Pick(Here().mobs).name);
            else
                out_.Put(random_.Pick(kPlayers).name);
            text.remove_prefix(at + 2);
        }
        out_.Put(text);
        out_.End();
    }

    // --- Sessions and zones ---------------------------------------------------------------------------

    void Login() {
        Pace(0, 1);
        Line(string_view("Welcome to EverQuest!"));
        Line(string_view("You have entered "), Here().name, '.');
        out_.Begin(clock_.Stamp());
        out_.Put(random_.Pick(kMotd));
        Close();
        if (random_.PerCent(50)) Played();
    }

    void ChangeZone() {
        Pace(1, 4);
        unsigned next = random_.Below(kZoneCount);
        if (next == zone_) next = (next + 1) % kZoneCount;
        zone_ = next;
        Line(string_view("LOADING, PLEASE WAIT..."));
        clock_.Advance(random_.Between(5, 40));
        Line(string_view("You have entered "), Here().name, '.');
    }

    void CampAndReturn() {
        Pace(1, 5);
        Saved();
        Line(string_view("It will take about 5 more seconds to prepare your camp."));
        Line(kCharacter, string_view(" saved."));
        // Offline for a few hours, sometimes a night.
        clock_.Advance(random_.Between(1800, 14 * 3600));
        Login();
    }

    void Saved() {
        Pace(1, 30);
        Line(kCharacter, string_view(" saved."));
    }

    void Played() {
        Pace(1, 3);
        // Play time in this log plus what the character had before it began.
        std::uint64_t minutes = (played_ + 3 * 86400 + 5 * 3600) / 60;
        Line(string_view("Total time playing on this character: "), minutes / 1440, string_view(" days, "),
             minutes / 60 % 24, string_view(" hours and "), minutes % 60, string_view(" minutes."));
    }

    // --- Fighting -------------------------------------------------------------------------------------

    void Fight() {
        const Mob& mob = PickMob();
        Pace(0, 2);
        if (random_.PerCent(30)) ConsiderMob(mob);
        if (random_.PerCent(15)) Line(string_view("You begin tracking "), mob.name, '.');
        const Attack weapon = random_.PerCent(75) ? Slash : random_.PerCent(50) ? Pierce : Crush;
        unsigned rounds = random_.Between(3, 12);
        for (unsigned round = 0; round < rounds; ++round) {
            PlayerSwing(mob, weapon);
            if (random_.PerCent(40)) PlayerSwing(mob, weapon);  // double attack or dual wield
            if (random_.PerCent(20)) PlayerSwing(mob, Kick);
            MobSwing(mob);
            if (random_.PerCent(25)) MobSwing(mob);
            if (random_.PerCent(4)) CastSpell(true);
            if (random_.PerCent(6)) Chat();
            if (random_.PerCent(2)) {
                Line(string_view("You are stunned!"));
                Line(string_view("You are unstunned."));
            }
            if (random_.PerMille(15))
                Line(string_view("You were hit by non-melee for "), random_.Between(3, 40),
                     string_view(" damage."));
            if (random_.PerMille(8))
                Line(string_view("You taunt "), mob.name, string_view(" to ignore others and attack you!"));
            if (random_.PerMille(5))
                Line(string_view("You resist the "), random_.Pick(kMobSpells), string_view(" spell!"));
            if (random_.PerMille(4)) Line(string_view("You have been knocked unconscious!"));
        }
        if (random_.PerMille(15)) {
            Die(mob);
            return;
        }
        if (random_.PerCent(5)) {
            Line(string_view("Auto attack is off."));
            return;  // it fled, or we did
        }
        Line(string_view("You have slain "), mob.name, '!');
        Reward(mob);
    }

    void PlayerSwing(const Mob& mob, Attack attack) {
        const AttackWord& word = kAttacks[attack];
        if (random_.PerCent(38)) {
            Line(string_view("You try to "), word.base, ' ', mob.name, string_view(", but miss!"));
            return;
        }
        unsigned damage = random_.Between(1, level_ * 2 + 8);
        if (random_.PerCent(3)) {
            damage *= 2;
            Line(string_view("You score a critical hit! ("), damage, ')');
        } else if (random_.PerMille(4)) {
            damage *= 3;
            Line(string_view("You land a Crippling Blow! ("), damage, ')');
        } else if (random_.PerMille(3)) {
            Line(kCharacter, string_view(" Scores a critical hit! ("), damage * 2, ')');
            damage *= 2;
        }
        Line(string_view("You "), word.base, ' ', mob.name, string_view(" for "), damage,
             damage == 1 ? string_view(" point of damage.") : string_view(" points of damage."));
        if (random_.PerMille(6)) SkillUp(random_.PerCent(50) ? Offense : Slashing1H);
    }

    void MobSwing(const Mob& mob) {
        const AttackWord& word = kAttacks[random_.PerCent(70) ? mob.first : mob.second];
        std::uint32_t roll = random_.Below(100);
        LogWriter& out = Open();
        out.PutCapitalised(mob.name);
        if (roll < 40) {
            out.Put(' ');
            out.Put(word.third);
            out.Put(string_view(" YOU for "));
            out.Put(random_.Between(1, mob.level * 2 + 2));
            out.Put(string_view(" points of damage."));
        } else if (roll < 75) {
            out.Put(string_view(" tries to "));
            out.Put(word.base);
            out.Put(string_view(" YOU, but misses!"));
        } else if (roll < 99) {
            out.Put(string_view(" tries to "));
            out.Put(word.base);
            out.Put(string_view(" YOU, but YOU "));
            out.Put(random_.Pick(kDefences));
            out.Put('!');
        } else {
            out.Put(string_view(" tries to "));
            out.Put(word.base);
            out.Put(string_view(" YOU, but YOU are invulnerable!"));
        }
        Close();
        if (random_.PerMille(4)) SkillUp(random_.PerCent(50) ? Defense : Dodge);
    }

    void Die(const Mob& mob) {
        Pace(1, 3);
        Line(string_view("You have been slain by "), mob.name, '!');
        Line(string_view("LOADING, PLEASE WAIT..."));
        zone_ = bind_;
        clock_.Advance(random_.Between(10, 60));
        Line(string_view("You have entered "), Here().name, '.');
    }

    void Reward(const Mob& mob) {
        Pace(0, 1);
        if (random_.PerCent(70))
            Line(string_view("You gain experience!!"));
        else if (random_.PerCent(90))
            Line(string_view("You gain party experience!!"));
        else
            Line(string_view("You gain raid experience!"));
        if (random_.Below(10000) < 8 && level_ < 65) {
            ++level_;
            Line(string_view("You have gained a level! Welcome to level "), level_, '!');
        }
        if (random_.PerCent(45)) {
            const string_view* factions = Here().factions.data();
            unsigned n = random_.Between(1, 2);
            for (unsigned i = 0; i < n; ++i) {
                string_view faction =
                    factions[random_.Below(static_cast<std::uint32_t>(Here().factions.size()))];
                string_view change = random_.PerMille(970) ? (i == 0 ? " got worse." : " got better.")
                                     : random_.PerCent(50) ? " could not possibly get any worse."
                                                           : " could not possibly get any better.";
                Line(string_view("Your faction standing with "), faction, change);
            }
        }
        if (random_.PerCent(45)) {
            string_view item = PickLoot();
            if (random_.PerCent(12))
                Line(string_view("--You have looted "), random_.Between(2, 4), ' ', item,
                     string_view("s.--"));
            else
                Line(string_view("--You have looted a "), item, string_view(".--"));
        }
        if (random_.PerCent(50)) {
            LogWriter& out = Open();
            out.Put(string_view("You receive "));
            PutCoins(out, random_.Between(1, mob.level * 40u + 10), true);
            out.Put(random_.PerCent(85) ? string_view(" from the corpse.") : string_view(" as your split."));
            Close();
        }
        if (random_.PerCent(6)) SkillUp(random_.Below(kSkillCount));
    }

    void ConsiderMob(const Mob& mob) {
        Line(mob.name, ' ', kConsiders[random_.Between(5, 8)], random_.Pick(kConsiderTails));
    }

    // --- Spells ---------------------------------------------------------------------------------------

    void CastOutOfCombat() {
        Pace(1, 6);
        CastSpell(false);
        if (random_.PerCent(10)) {
            const Spell& spell = random_.Pick(kSpells);
            Line(string_view("You have finished memorizing "), SpellName(spell), '.');
        }
    }

    void CastSpell(bool inCombat) {
        const Spell* spell;
        do {
            spell = &random_.Pick(kSpells);
        } while (spell->onTarget != inCombat && random_.PerCent(80));
        const string_view name = SpellName(*spell);
        Line(string_view("You begin casting "), name, '.');
        std::uint32_t roll = random_.Below(100);
        if (roll < 5) {
            Line(string_view("Your spell fizzles!"));
        } else if (roll < 11) {
            Line(string_view("Your spell is interrupted."));
            if (random_.PerCent(50)) {
                Line(string_view("You regain your concentration and continue your casting."));
                SkillUp(Channeling);
            }
        } else if (roll < 19 && spell->onTarget) {
            Line(string_view("Your target resisted the "), name, string_view(" spell."));
        } else if (roll < 22) {
            Line(string_view("Your spell did not take hold."));
        } else if (roll < 23) {
            Line(string_view("You are too distracted to cast a spell now!"));
        } else if (spell->name == "Bind Affinity") {
            Line(string_view("You feel yourself bind to the area."));
            bind_ = zone_;
        } else if (random_.PerCent(30)) {
            Line(string_view("Your Cloak of Flames feels warm."));
        }
    }

    // --- Other players ----------------------------------------------------------------------------------

    void ChatBurst() {
        Pace(1, 20);
        unsigned n = random_.Between(1, 8);
        for (unsigned i = 0; i < n; ++i)
            Chat();
    }

    void Chat() {
        const Player& who = random_.Pick(kPlayers);
        string_view text = random_.Pick(kChatter);
        LogWriter& out = Open();
        std::uint32_t roll = random_.Below(100);
        if (roll < 70) {
            out.Put(who.name);
            if (roll < 12) {
                out.Put(string_view(" tells you, '"));
            } else if (roll < 24) {
                out.Put(string_view(" says, '"));
            } else if (roll < 38) {
                out.Put(string_view(" tells the group, '"));
            } else if (roll < 50) {
                out.Put(string_view(" tells the guild, '"));
            } else if (roll < 54) {
                out.Put(string_view(" shouts, '"));
            } else if (roll < 58) {
                out.Put(string_view(" says out of character, '"));
            } else if (roll < 64) {
                out.Put(string_view(" auctions, '"));
                text = random_.Pick(kAuctions);
            } else {
                out.Put(string_view(" tells "));
                out.Put(random_.Pick(kChannels));
                out.Put(string_view(", '"));
            }
        } else if (roll < 72) {
            // The other form a tell may take, between the character and another player.
            if (random_.PerCent(50)) {
                out.Put(who.name);
                out.Put(string_view(" -> "));
                out.Put(kCharacter);
            } else {
                out.Put(kCharacter);
                out.Put(string_view(" -> "));
                out.Put(who.name);
            }
            out.Put(string_view(": "));
            out.Put(text);
            Close();
            return;
        } else {
            if (roll < 79) {
                out.Put(string_view("You told "));
                out.Put(who.name);
                out.Put(string_view(", '"));
            } else if (roll < 84) {
                out.Put(string_view("You say, '"));
            } else if (roll < 89) {
                out.Put(string_view("You tell your party, '"));
            } else if (roll < 93) {
                out.Put(string_view("You say to your guild, '"));
            } else if (roll < 94) {
                out.Put(string_view("You shout, '"));
            } else if (roll < 95) {
                out.Put(string_view("You say out of character, '"));
            } else if (roll < 97) {
                out.Put(string_view("You auction, '"));
                text = random_.Pick(kAuctions);
            } else {
                out.Put(string_view("You tell "));
                out.Put(random_.Pick(kChannels));
                out.Put(string_view(", '"));
            }
        }
        out.Put(text);
        out.Put('\'');
        Close();
    }

    void Language() {
        Pace(1, 10);
        const Player& who = random_.Pick(kPlayers);
        string_view language = random_.Pick(kLanguages);
        if (random_.PerCent(50))
            Line(who.name, string_view(" says, in "), language, string_view(", '"), random_.Pick(kChatter),
                 '\'');
        else
            Line(who.name, string_view(" tells the group, in "), language, string_view(", '"),
                 random_.Pick(kChatter), '\'');
        if (random_.PerCent(40)) Line(string_view("Your language skills have improved."));
        if (random_.PerCent(10)) Line(string_view("Your language skills have improved. ("), language, ')');
    }

    void WhoList() {
        Pace(0, 0);
        noiseAllowed_ = false;
        const bool everywhere = random_.PerCent(20);
        Line(everywhere ? string_view("Players in EverQuest:") : string_view("Players on EverQuest:"));
        Line(string_view("---------------------------"));
        unsigned count = 0;
        if (random_.PerCent(60)) {
            Line(string_view("[ANONYMOUS] "), kCharacter, string_view(" <Tunare's Chosen>"));
            ++count;
        } else if (random_.PerCent(60)) {
            Line('[', level_, string_view(" Ranger] "), kCharacter,
                 string_view(" (Wood Elf) <Tunare's Chosen>"));
            ++count;
        }
        // Consecutive entries of the pool, so no player is listed twice.
        constexpr unsigned kPlayerCount = sizeof kPlayers / sizeof kPlayers[0];
        unsigned first = random_.Below(kPlayerCount);
        unsigned others = random_.Between(1, 10);
        for (unsigned i = 0; i < others; ++i, ++count) {
            const Player& p = kPlayers[(first + i) % kPlayerCount];
            const string_view name =
                players_ == 0 ? p.name : MadeUpName({}, random_.Below(players_), playerName_);
            LogWriter& out = Open();
            std::uint32_t roll = random_.Below(100);
            if (roll < 10) {
                out.Put(string_view("[ANONYMOUS] "));
                out.Put(name);
            } else {
                if (roll < 16) out.Put(string_view("AFK "));
                if (roll >= 16 && roll < 19) out.Put(string_view("LD "));
                out.Put('[');
                out.Put(p.level);
                out.Put(' ');
                out.Put(p.cls);
                out.Put(string_view("] "));
                out.Put(name);
                out.Put(string_view(" ("));
                out.Put(p.race);
                out.Put(')');
            }
            if (!p.guild.empty()) {
                out.Put(string_view(" <"));
                out.Put(p.guild);
                out.Put('>');
            }
            Close();
        }
        if (everywhere)
            Line(string_view("There are "), count + 200 + random_.Below(400),
                 string_view(" players in EverQuest."));
        else if (count == 1)
            Line(string_view("There is 1 player in "), Here().name, '.');
        else
            Line(string_view("There are "), count, string_view(" players in "), Here().name, '.');
        noiseAllowed_ = true;
    }

    void ConsiderSomeone() {
        Pace(1, 8);
        if (random_.PerCent(40)) {
            ConsiderMob(PickMob());
            return;
        }
        string_view npc = random_.Pick(Here().npcs);
        if (names_ != 0) npc = MadeUpName(npc, nextNpc_++ % names_, npcName_);
        Line(npc, ' ', random_.Pick(kConsiders), random_.Pick(kConsiderTails));
    }

    // --- Merchants --------------------------------------------------------------------------------------

    void Shop() {
        Pace(1, 6);
        Vendor vendor = Here().vendor;
        if (names_ != 0) vendor.name = MadeUpName(vendor.name, nextVendor_++ % names_, vendorName_);
        Line(vendor.name, string_view(" says 'Welcome to my shop, "), kCharacter,
             string_view(". Come back soon!'"));
        unsigned deals = random_.Between(1, 4);
        for (unsigned i = 0; i < deals; ++i) {
            string_view item = random_.Pick(vendor.wares);
            if (random_.PerCent(65)) {
                unsigned price = PriceOf(item);
                unsigned quantity = random_.PerCent(60) ? 1 : random_.Between(2, 20);
                LogWriter& offer = Open();
                offer.Put(vendor.name);
                offer.Put(string_view(" tells you, 'That'll be "));
                PutCoins(offer, price, false);
                offer.Put(random_.PerCent(70) ? string_view(" per ") : string_view(" for the "));
                offer.Put(item);
                offer.Put(string_view("'."));
                Close();
                LogWriter& pay = Open();
                pay.Put(string_view("You give "));
                PutCoins(pay, price * quantity, false);
                pay.Put(string_view(" to "));
                pay.Put(vendor.name);
                pay.Put('.');
                Close();
            } else {
                string_view sold = random_.Pick(Here().loot);
                LogWriter& offer = Open();
                offer.Put(vendor.name);
                offer.Put(string_view(" tells you, I'll give you "));
                unsigned price = PriceOf(sold) / 3 + 1;
                PutCoins(offer, price, false);
                offer.Put(string_view(" for the "));
                offer.Put(sold);
                offer.Put('.');
                Close();
                LogWriter& take = Open();
                take.Put(string_view("You receive "));
                PutCoins(take, price, true);
                take.Put(string_view(" from "));
                take.Put(vendor.name);
                take.Put(string_view(" for the "));
                take.Put(sold);
                take.Put(string_view("(s)."));
                Close();
            }
        }
    }

    // A stable price in copper for an item, so the same item always costs the same.
    static unsigned PriceOf(string_view item) {
        unsigned h = 2166136261u;
        for (char c : item)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return 5 + h % 2500;
    }

    // "1 platinum, 2 gold, 5 silver and 3 copper" (listing) or "1 platinum 2 gold 5 silver 3 copper".
    static void PutCoins(LogWriter& out, unsigned copper, bool listing) {
        const unsigned amounts[] = {copper / 1000, copper / 100 % 10, copper / 10 % 10, copper % 10};
        static constexpr string_view kNames[] = {" platinum", " gold", " silver", " copper"};
        unsigned total = 0;
        for (unsigned a : amounts)
            total += a != 0;
        if (total == 0) {
            out.Put(string_view("0 copper"));
            return;
        }
        unsigned shown = 0;
        for (int i = 0; i < 4; ++i) {
            if (amounts[i] == 0) continue;
            if (shown != 0) {
                if (!listing)
                    out.Put(' ');
                else
                    out.Put(shown + 1 == total ? string_view(" and ") : string_view(", "));
            }
            out.Put(amounts[i]);
            out.Put(kNames[i]);
            ++shown;
        }
    }

    // --- Skills, needs and the rest -----------------------------------------------------------------------

    void SkillUp(unsigned skill) {
        if (skills_[skill] >= 250) return;
        ++skills_[skill];
        Line(string_view("You have become better at "), kSkills[skill].name, string_view("! ("),
             skills_[skill], ')');
    }

    void SkillAttempt() {
        Pace(2, 15);
        std::uint32_t roll = random_.Below(100);
        if (roll < 30) {
            if (random_.PerCent(80))
                Line(string_view("You think you are heading "), random_.Pick(kDirections), '.');
            else
                Line(string_view("You have no idea what direction you are facing."));
            if (random_.PerCent(5)) SkillUp(SenseHeading);
        } else if (roll < 60) {
            if (random_.PerCent(55))
                Line(string_view("You have scrounged up some "), random_.Pick(kForaged), '.');
            else
                Line(string_view("You fail to locate any food nearby."));
            if (random_.PerCent(5)) SkillUp(Forage);
        } else if (roll < 75) {
            if (random_.PerCent(40))
                Line(string_view("You caught "), random_.Pick(kCaught), '!');
            else
                Line(string_view("You didn't catch anything."));
            if (random_.PerCent(5)) SkillUp(Fishing);
        } else if (roll < 85) {
            if (random_.PerCent(70))
                Line(string_view("You have hidden yourself from view."));
            else
                Line(string_view("You failed to hide yourself."));
        } else if (roll < 95) {
            if (random_.PerCent(60))
                Line(string_view("You mend your wounds and heal some damage."));
            else
                Line(string_view("You have failed to mend your wounds."));
        } else {
            Line(string_view("You lacked the skills to fashion the items together."));
        }
    }

    void Needs() {
        Pace(5, 60);
        std::uint32_t roll = random_.Below(100);
        if (roll < 30) {
            Line(string_view("You are hungry."));
            Line(string_view("You take a bite of Rations."));
        } else if (roll < 60) {
            Line(string_view("You are thirsty."));
            Line(random_.PerCent(50) ? string_view("You take a drink from Water Flask.")
                                     : string_view("Glug, glug, glug... Water Flask has been consumed."));
        } else if (roll < 70) {
            Line(string_view("You are out of food and drink."));
        } else if (roll < 85) {
            Line(string_view("You are encumbered!"));
            Line(string_view("You are no longer encumbered."));
        } else {
            Line(string_view("You are too fatigued to continue running."));
        }
    }

    void Miscellany() {
        Pace(2, 30);
        std::uint32_t roll = random_.Below(100);
        if (roll < 40) {
            Line(string_view("You are currently bound in: "), kZones[bind_].name);
        } else if (roll < 55) {
            Line(string_view("You just dropped your "), random_.Pick(Here().loot), '.');
        } else if (roll < 70) {
            Line(string_view("You yell for help!"));
        } else if (roll < 85) {
            Line(string_view("You have been healed for "), random_.Between(10, 200), string_view(" points."));
        } else {
            Line(string_view("You are being resurrected!"));
        }
    }

    LogWriter& out_;
    Random random_;
    // A word made up from a number, different for every number: two letters for each base-16 digit, at
    // least two digits. Written into `buffer` after `base` and a blank (or alone when `base` is empty).
    static string_view MadeUpName(string_view base, std::uint32_t number, char (&buffer)[96]) {
        static constexpr char kSyllables[] = "barokelimasuvodinepatigozufehajy";
        std::size_t n = base.substr(0, 60).copy(buffer, 60);
        if (n > 0) buffer[n++] = ' ';
        char digits[16];
        int count = 0;
        do {
            digits[count++] = static_cast<char>(number % 16);
            number /= 16;
        } while (number > 0 || count < 2);
        while (count > 0) {
            const int d = digits[--count];
            buffer[n++] = kSyllables[2 * d];
            buffer[n++] = kSyllables[2 * d + 1];
        }
        if (base.empty()) buffer[0] = static_cast<char>(buffer[0] - 'a' + 'A');
        return string_view(buffer, n);
    }

    // The mob of a fight: one of the zone's, or with --names the next of that many variants of them, so
    // that every fight meets a new one until all have been met.
    const Mob& PickMob() {
        const Mob& mob = random_.Pick(Here().mobs);
        if (names_ == 0) return mob;
        mob_ = mob;
        mob_.name = MadeUpName(mob.name, nextMob_++ % names_, mobName_);
        return mob_;
    }
    // The name a spell is cast under: with --names, the next of that many variants of it.
    string_view SpellName(const Spell& spell) {
        return names_ == 0 ? spell.name : MadeUpName(spell.name, nextSpell_++ % names_, spellName_);
    }
    string_view PickLoot() {
        string_view item = random_.Pick(Here().loot);
        return names_ == 0 ? item : MadeUpName(item, nextItem_++ % names_, itemName_);
    }

    GameClock clock_;
    std::uint32_t players_;
    std::uint32_t names_;
    std::uint32_t extraWho_;  // per mille of episodes that are who lists on top of the usual mix
    std::uint32_t nextMob_ = 0;
    std::uint32_t nextItem_ = 0;
    std::uint32_t nextNpc_ = 0;
    std::uint32_t nextVendor_ = 0;
    std::uint32_t nextSpell_ = 0;
    Mob mob_{};
    char mobName_[96] = {};
    char itemName_[96] = {};
    char playerName_[96] = {};
    char npcName_[96] = {};
    char vendorName_[96] = {};
    char spellName_[96] = {};
    unsigned pauseMin_ = 0;
    unsigned pauseMax_ = 1;
    bool noiseAllowed_ = true;
    unsigned zone_ = 0;
    unsigned bind_ = 0;
    unsigned level_ = 20;
    std::uint64_t played_ = 0;
    unsigned skills_[kSkillCount] = {};
};

// ---------------------------------------------------------------------------------------------------------

bool ParseSize(string_view text, std::uint64_t& bytes) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return false;
    string_view suffix(end, static_cast<std::size_t>(text.data() + text.size() - end));
    unsigned shift = 0;
    if (suffix == "K" || suffix == "k")
        shift = 10;
    else if (suffix == "M" || suffix == "m")
        shift = 20;
    else if (suffix == "G" || suffix == "g")
        shift = 30;
    else if (!suffix.empty())
        return false;
    bytes = value << shift;
    return true;
}

bool ParseNumber(string_view text, std::uint64_t& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

int Usage() {
    std::fputs("Usage: loggen --size BYTES[K|M|G] [--seed N] [--players N] [--names N] [--who PERMILLE] OUTPUT\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t size = 0;
    std::uint64_t seed = 1;
    std::uint64_t players = 0;
    std::uint64_t names = 0;
    std::uint64_t who = 0;
    bool haveSize = false;
    const char* output = nullptr;
    for (int i = 1; i < argc; ++i) {
        string_view arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            if (!ParseSize(argv[++i], size)) return Usage();
            haveSize = true;
        } else if (arg == "--seed" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], seed)) return Usage();
        } else if (arg == "--players" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], players) || players > 0xFFFFFFFFu) return Usage();
        } else if (arg == "--names" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], names) || names > 0xFFFFFFFFu) return Usage();
        } else if (arg == "--who" && i + 1 < argc) {
            if (!ParseNumber(argv[++i], who) || who > 1000) return Usage();
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && output == nullptr) {
            output = argv[i];
        } else {
            return Usage();
        }
    }
    if (!haveSize || output == nullptr) return Usage();

    std::FILE* file = std::fopen(output, "wb");
    if (file == nullptr) {
        std::perror(output);
        return 1;
    }
    LogWriter out(file);
    LogGenerator(out, seed, static_cast<std::uint32_t>(players), static_cast<std::uint32_t>(names),
                 static_cast<std::uint32_t>(who))
        .Run(size);
    bool ok = out.Flush();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "loggen: writing %s failed\n", output);
        return 1;
    }
    std::fprintf(stderr, "loggen: %llu lines, %llu bytes\n", static_cast<unsigned long long>(out.Lines()),
                 static_cast<unsigned long long>(out.Bytes()));
    return 0;
}
