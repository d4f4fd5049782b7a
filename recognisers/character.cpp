// Character and session information.
#include "recognisers/character.h"

#include <array>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "engine/new_friends.h"
#include "engine/text.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/native_path.h"

namespace krav {

namespace {

constexpr std::string_view kUnknownTongueText = "an unknown tongue";

std::string WholeLine(const LogLine& line) {
    std::string text(line.Timestamp);
    text += ' ';
    text += line.Message;
    return text;
}

// Player names become INI section names: a name that would break the file's structure is not written.
bool FitsIniName(std::string_view name) {
    for (char c : name) {
        if (c == '[' || c == ']' || c == '=' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    return true;
}

// The text between `open` (searched from `from`) and the first `close` after it; empty when either is
// missing.
std::string_view Between(std::string_view text, std::size_t openAt, std::size_t openLength, char close) {
    if (openAt == 0) return {};
    std::string_view rest = text.substr(openAt - 1 + openLength);
    return rest.substr(0, rest.find(close));
}

void AddLanguageRow(RunContext& run, std::string_view language) {
    if (language == kUnknownTongueText) return;
    StatTable& skills = run.session.Tables.gSkills;
    const std::string key = LanguageSkillName(run.session, language);
    if (skills.FindRow(key) == 0) skills.NewRow({key, "?", "unknown", "?"});
}

constexpr std::array<std::string_view, FriendStore::kValueCount> kFriendKeys = {"Class", "Level", "Race", "Guild", "GM", "LogDate"};

// The friends file as the run's who lists leave it: read when the first player of a batch arrives, written at
// the end. Works on the friends worker's thread, from copies of the run's inputs.
//
// The file must read as if each batch were written at its end, each player once in the order first seen,
// with its latest values: its PlayersKnownTo key, then its own section. Most of that is done as the players
// come, so that little is left for the end of the log: a player is written when first seen, and at the
// batch's end written again, into the section it went to (no lookup), only when its values changed since.
// When two names of a batch are one section of the file (they differ only in letter case), every player is
// written again, in order, so that the last of them decides the section as it would have. A name whose
// section might not read back as its own (blanks at either end) stops the early writing for the rest of the
// batch; those players wait for the end. A file that cannot be read loses the batch, and the next batch
// tries it again.
//
// A player the file does not know yet is not set in the edit at all: its PlayersKnownTo line and its section
// are held by NewFriends, as numbers, and written with the file. A name whose lines would not read back as
// its own (blanks at either end, ";" first, or what FitsIniName keeps out of the file) takes the edit's way,
// after every player held so far has been set in the edit, in order, as it would have been.
class FriendsFile final : public FriendsWorker::Target {
public:
    explicit FriendsFile(const RunInputs& inputs)
        : folder_(inputs.GameFolder),
          name_("PRAL_" + inputs.EntryServer + ".lst"),
          knownTo_("PlayersKnownTo." + inputs.EntryCharacter),
          new_(std::string(kInfoPrefix), kFriendKeys) {}

    void Seen(std::string_view player, std::uint32_t hash, const FriendStore::Values& values,
              const FriendStore::ValueIds& ids) override {
        if (!Open() || written_ < seen_++) return;
        if (player.empty() || IsBlank(player.front()) || IsBlank(player.back())) return;  // from here on, too
        sections_.push_back(Write(player, hash, values, ids));
        ++written_;
    }

    void Ahead(std::string_view player, std::uint32_t hash) override {
        if (!file_ || !opened_ || !open_ || written_ < seen_) return;  // or the batch waits for its end
        if (knownToMark_ != platform::ProfileEdit::kNoSection) file_->AskKey(knownToMark_, player);
        file_->AskSection(InfoSection(player));
        new_.Ask(hash);
    }

    std::string Take(FriendStore& friends) override {
        if (friends.empty()) return {};
        std::string warning;
        if (Open()) {
            const bool again = friends.NamesCollide();
            // A player written as it came is written again where it changed: its section's lines are asked
            // for some players ahead.
            constexpr std::size_t kAhead = 4;
            auto ahead = [&](std::size_t i) {
                if (i >= written_ || sections_[i] == platform::ProfileEdit::kNoSection) return;
                if (IsNew(sections_[i])) {
                    new_.AskValues(sections_[i] & ~kNewMark);
                } else {
                    file_->AskKeysIn(sections_[i]);
                }
            };
            for (std::size_t i = 0; i < kAhead; ++i)
                ahead(i);
            std::size_t index = 0;
            friends.ForEach([&](std::string_view player, const FriendStore::Values& values,
                                FriendStore::Changes changed, const FriendStore::ValueIds& ids) {
                ahead(index + kAhead);
                if (index++ >= written_) {
                    Write(player, FriendStore::HashOf(player), values, ids);
                } else if (changed != 0 || again) {
                    const platform::ProfileEdit::SectionMark section = sections_[index - 1];
                    // A player written as it came holds its first values in its section, where nothing else
                    // writes unless two names are taken for one: only the values changed since are written
                    // again.
                    const std::uint32_t which = again ? ~std::uint32_t{0} : changed;
                    if (IsNew(section)) {
                        new_.SetValues(section & ~kNewMark, values, which, ids);
                    } else if (section != platform::ProfileEdit::kNoSection) {
                        file_->SetKeysIn(section, kFriendKeys, values, which);
                    } else {
                        SetNewInEdit();  // the edit may add a section: after those held
                        file_->SetKeys(InfoSection(player), kFriendKeys, values);
                    }
                }
            });
        } else {
            warning = Warning(*file_);
            file_.reset();
            knownToMark_ = platform::ProfileEdit::kNoSection;
            new_.clear();
        }
        friends.clear();
        new_.EndBatch();  // the store's numbers go with it
        sections_.clear();
        seen_ = written_ = 0;
        opened_ = false;
        return warning;
    }

    std::string Write() override {
        std::unique_ptr<platform::ProfileEdit> file = std::move(file_);
        if (file && !file->Commit(&new_)) return Warning(*file);
        return {};
    }

private:
    static bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    static std::string Warning(const platform::ProfileEdit& file) {
        return "WARNING: Unable to update friends file (" + file.path() + ")!";
    }

    // Whether the edit is open: tried once a batch, when its first player arrives.
    bool Open() {
        if (!opened_) {
            opened_ = true;
            if (!file_) {
                const std::optional<std::string> onDisk =
                    platform::FindNameNoCase(folder_, name_, platform::EntryKind::File);
                file_ = std::make_unique<platform::ProfileEdit>(folder_ + onDisk.value_or(name_));
            }
            open_ = file_->Open();
        }
        return open_;
    }

    // A player's keys in the order of a who entry: PlayersKnownTo, then its own section, whose mark is
    // returned (kNewMark and its number among the new players, for one of those). `hash` is
    // FriendStore::HashOf(player).
    platform::ProfileEdit::SectionMark Write(std::string_view player, std::uint32_t hash,
                                             const FriendStore::Values& values,
                                             const FriendStore::ValueIds& ids) {
        constexpr std::string_view kNoValue;
        const bool plain = !player.empty() && FitsIniName(player) && !IsBlank(player.front()) &&
                           !IsBlank(player.back()) && player.front() != ';';
        if (!plain || knownToMark_ == platform::ProfileEdit::kNoSection) {
            SetNewInEdit();
            knownToMark_ = file_->SetKeys(knownTo_, {&player, 1}, {&kNoValue, 1});
            new_.SetLineMark(knownToMark_);
            return file_->SetKeys(InfoSection(player), kFriendKeys, values);
        }
        std::uint32_t held = new_.Find(player, hash);
        // Its PlayersKnownTo line: one held already reads as it would be written again.
        if (held == NewFriends::kNone || !new_.HasLine(held)) {
            if (file_->HasKey(knownToMark_, player)) {
                file_->SetKeysIn(knownToMark_, {&player, 1}, {&kNoValue, 1});
            } else {
                if (held == NewFriends::kNone) held = new_.Add(player, hash);
                new_.AddLine(held);
            }
        }
        // Its section.
        if (held != NewFriends::kNone && new_.HasSection(held)) {
            new_.SetValues(held, values, ~std::uint32_t{0}, ids);
            return held | kNewMark;
        }
        if (const platform::ProfileEdit::SectionMark section = file_->FindSection(InfoSection(player));
            section != platform::ProfileEdit::kNoSection) {
            file_->SetKeysIn(section, kFriendKeys, values);
            return section;
        }
        if (held == NewFriends::kNone) held = new_.Add(player, hash);
        if (new_.SectionCount() == 0) file_->EndSections();
        new_.AddSection(held, values, ids);
        return held | kNewMark;
    }

    // Every player held as new set in the edit, as Write would have set it, and the marks of the batch's
    // players moved to their sections there.
    void SetNewInEdit() {
        if (new_.empty()) return;
        constexpr std::string_view kNoValue;
        std::vector<platform::ProfileEdit::SectionMark> byPlayer(new_.size(), platform::ProfileEdit::kNoSection);
        new_.ForEach(
            [&](std::string_view player) { file_->SetKeysIn(knownToMark_, {&player, 1}, {&kNoValue, 1}); },
            [&](std::uint32_t held, std::string_view player, const FriendStore::Values& values) {
                byPlayer[held] = file_->SetKeys(InfoSection(player), kFriendKeys, values);
            });
        for (platform::ProfileEdit::SectionMark& mark : sections_)
            if (IsNew(mark)) mark = byPlayer[mark & ~kNewMark];
        new_.clear();
    }

    // The player's own section, "PlayerInfo." and its name.
    static constexpr std::string_view kInfoPrefix = "PlayerInfo.";
    const std::string& InfoSection(std::string_view player) {
        return info_.assign(kInfoPrefix).append(player);
    }
    // The marks of players held by NewFriends. The edit's own marks are places among its sections, far
    // below this bit: a section takes tens of bytes of memory.
    static constexpr platform::ProfileEdit::SectionMark kNewMark = platform::ProfileEdit::SectionMark{1} << 31;
    static bool IsNew(platform::ProfileEdit::SectionMark mark) {
        return mark != platform::ProfileEdit::kNoSection && (mark & kNewMark) != 0;  // kNoSection has the bit
    }

    const std::string folder_, name_, knownTo_;
    std::unique_ptr<platform::ProfileEdit> file_;
    std::string info_;
    platform::ProfileEdit::SectionMark knownToMark_ = platform::ProfileEdit::kNoSection;  // as last written
    bool opened_ = false, open_ = false;
    std::size_t seen_ = 0, written_ = 0;  // players of the batch seen, and written as they came
    std::vector<platform::ProfileEdit::SectionMark> sections_;  // the sections of those written
    NewFriends new_;  // players new to the file, as they will be written
};

void WriteFriend(RunContext& run, const WhoEntry& who, std::string_view timestamp) {
    if (who.name.empty() || !FitsIniName(who.name)) return;
    RecogniserState& state = run.State;
    if (timestamp != state.WhoTimestamp || state.WhoDate.empty()) {
        state.WhoTimestamp = timestamp;
        state.WhoDate = ShortDate(timestamp);
    }
    if (!state.Friends.Started()) run.StartFriends(FriendsFileTarget(run.inputs));
    const FriendStore::Values values{who.className, who.level, who.race, who.guild, who.title, state.WhoDate};
    if (!state.Friends.Add(who.name, values)) run.SettleFriends();
}

}  // namespace

std::unique_ptr<FriendsWorker::Target> FriendsFileTarget(const RunInputs& inputs) {
    return std::make_unique<FriendsFile>(inputs);
}

void SaveFriends(RunContext& run) {
    // The rest goes to the file on the worker's thread, while the run writes its report; the run settles
    // before its next status line.
    run.State.Friends.End();
}

namespace {

void TakeOwnEntry(Session& session, const WhoEntry& who) {
    if (who.className != "ANONYMOUS") {
        session.Info.eClass = who.className;
        session.Character.CharacterLevel = who.level;
        if (session.Info.eRace == kUnknown) session.Info.eRace = who.race;
        session.Info.eGuild = who.guild;
    } else if (!Trim(who.guild).empty()) {
        session.Info.eGuild = who.guild;
    }
}

// Whether the message before its quoted speech holds "saved.", in any case: checked at each ".", which most
// lines have once, on the few lines whose pairs do not rule it out.
bool HasSavedDot(const LogLine& line) {
    if (!MayHold("saved.", line)) return false;
    const std::string_view text = line.Unquoted;
    for (std::size_t dot = text.find('.'); dot != std::string_view::npos; dot = text.find('.', dot + 1)) {
        if (dot >= 5 && EqualsNoCase(text.substr(dot - 5, 5), "saved")) return true;
    }
    return false;
}

// The closing line "There are N players in Zone." names the zone as the who list knows it.
void TakeZoneAlias(Session& session, std::string_view closing) {
    if (!MessageStartsWith("There are ", closing)) return;
    std::size_t p = FindInMessage(" players in ", closing);
    if (p == 0) return;
    std::string_view zone = CutBefore(CutBefore(RestFrom(closing, p + 12), " that match those"), ".");
    const std::string& current = session.Character.CurrentZone;
    if (EqualsNoCase(zone, "everquest") || EqualsNoCase(zone, current)) return;
    StatTable& zones = session.Tables.gZones;
    if (int row = zones.FindRow(current); row > 0) zones.SetCell(1, row, zone);
}

}  // namespace

void LoadLanguages(Session& session, const std::string& programFolder) {
    session.Languages = platform::Profile(programFolder + kReferenceDataFile).KeyNames("Languages");
}

std::string GetLanguage(const Session& session, std::string_view name) {
    for (const std::string& language : session.Languages) {
        if (EqualsNoCase(language, name)) return std::string(name);
    }
    return {};
}

std::string LanguageSkillName(const Session& session, std::string_view name) {
    if (!GetLanguage(session, name).empty()) return "Language : " + std::string(name);
    return std::string(name);
}

bool ParseWhoEntry(std::string_view message, WhoEntry& who) {
    // Emptied, not made anew: a who list reuses one entry, and its texts keep their room.
    for (std::string* field :
         {&who.title, &who.level, &who.className, &who.race, &who.guild, &who.cutName, &who.name}) {
        field->clear();
    }
    if (!MessageStartsWith("[", message) && !MessageStartsWith("AFK [", message) &&
        !MessageStartsWith("LD [", message) && !MessageStartsWith("* ", message)) {
        return false;
    }
    if (MessageStartsWith("* ", message)) {
        std::size_t end = FindCase(" *[", message);
        if (end == 0) end = FindCase(" *", message);
        if (end == 0) end = FindCase("[", message);
        if (end == 0) return false;
        // "* * [" has an empty title: its closing " *" overlaps the opening "* ".
        if (end > 3) who.title = Mid(message, 3, end - 3);
    }
    std::string_view m = Mid(message, FindCase("[", message), std::string_view::npos);

    const std::size_t y = FindCase("] ", m);
    std::int64_t nameLength = 0;
    if (Mid(m, 2, 9) == "ANONYMOUS") {
        who.className = "ANONYMOUS";
        who.level = who.race = " ";
        const std::size_t b = FindCase(" <", m);
        if (b > 0) {
            who.guild = Between(m, b, 2, '>');
            nameLength = static_cast<std::int64_t>(b) - static_cast<std::int64_t>(y) - 2;
        } else {
            who.guild = " ";
            nameLength = static_cast<std::int64_t>(kMaxCut);
        }
    } else {
        who.level = Trim(Mid(m, 2, 2));
        const std::size_t blank = FindCase(" ", m);
        if (blank > 0 && y > blank) who.className = Mid(m, blank + 1, y - blank - 1);
        const std::size_t b = FindCase(" (", m);
        who.race = Between(m, b, 2, ')');
        nameLength = static_cast<std::int64_t>(b) - static_cast<std::int64_t>(y) - 2;
        const std::size_t g = FindCase(" <", m);
        if (g > 0) {
            who.guild = Between(m, g, 2, '>');
        } else {
            who.guild = " ";
        }
    }
    if (nameLength > 0) who.name = Trim(Mid(m, y + 2, static_cast<std::size_t>(nameLength)));
    who.cutName = who.name;

    if (who.name.starts_with("* ")) {
        if (std::size_t q = FindCase(" *", who.name); q > 0) {
            who.title = q > 3 ? Mid(who.name, 3, q - 3) : std::string_view();
            who.name = RestFrom(who.name, q + 3);
        } else {
            // A title without its closing mark: no title, and the name stays whole.
            who.title.clear();
        }
    }
    return true;
}

bool ReadWhoList(RunContext& run, const LogLine& line) {
    if (!LineStartsWith("Players in EverQuest:", line) && !LineStartsWith("Players on EverQuest:", line) &&
        !LineStartsWith("Friends currently on EverQuest:", line)) {
        return false;
    }
    run.KeepLineCompatible(line);
    // The timestamp part stays the header's while the list's own lines are read.
    const std::string header(line.Timestamp);
    std::string_view raw;
    if (!run.ReadExtraLine(raw) && run.session.StopRequested) return true;  // the dashes line, unexamined
    run.KeepLineCompatible(header + " ---------------------------");

    std::string closing;
    bool closed = false;
    WhoEntry who;
    while (run.ReadExtraLine(raw)) {
        run.KeepLineCompatible(raw);
        const std::string_view timestamp = raw.substr(0, kTimestampLength);
        const std::string_view message = RestFrom(raw, kTimestampLength + 2);
        // The classic-era client leaves an empty line under the dashes, and writes some entries after more
        // than one blank: neither ends the list.
        const std::size_t entryStart = message.find_first_not_of(' ');
        if (entryStart == std::string_view::npos) continue;
        if (!ParseWhoEntry(message.substr(entryStart), who)) {
            closing = message;
            closed = true;
            break;
        }
        if (who.cutName == run.session.Character.CharacterName) TakeOwnEntry(run.session, who);
        WriteFriend(run, who, timestamp);
    }
    if (closed) TakeZoneAlias(run.session, closing);
    return true;
}

constexpr YouGate kLanguageSkillsGate{
    {"Your language skills have improved.", "You have learned basic language skills. ("}};
constexpr YouGate kZoneAndPlayedTimeGate{{"You have entered "}};

bool LanguageSkills(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou) return false;  // every form of this step starts with "You"
    const std::string_view m = line.Message;
    if (LineStartsWith("Your language skills have improved. (", line)) {
        std::string_view rest = RestFrom(m, 38);
        std::size_t close = FindInMessage(")", rest);
        AddLanguageRow(run, close == 0 ? std::string_view() : rest.substr(0, close - 1));
        run.KeepLineCompatible(line);
        return true;
    }
    if (LineStartsWith("Your language skills have improved.", line)) {
        AddLanguageRow(run, run.CurrentLanguage);
        run.KeepLineCompatible(WholeLine(line) + " (" + run.CurrentLanguage + ")");
        return true;
    }
    if (LineStartsWith("You have learned basic language skills. (", line)) {
        std::string_view language = CutBefore(RestFrom(m, 42), ")");
        if (language != kUnknownTongueText) {
            SetThree(run.session.Tables.gSkills, LanguageSkillName(run.session, language), "?", "unknown",
                     "?");
        }
        run.KeepLineCompatible(line);
        return true;
    }
    return false;
}

bool ZoneAndPlayedTime(RunContext& run, const LogLine& line) {
    if (!line.StartsWithYou && FoldCase(line.Message.empty() ? '\0' : line.Message[0]) != 't') return false;
    const std::string_view m = line.Message;
    CharacterState& c = run.session.Character;
    // "You have entered an area where levitation effects do not function." names no zone.
    if (LineStartsWith("You have entered ", line) &&
        !LineStartsWith("You have entered an area where", line)) {
        std::string_view zone = CutBefore(RestFrom(m, 18), ".");
        if (zone.empty()) return true;
        c.CurrentZone = zone;
        IncrementCountSecond(run.session.Tables.gZones, zone);
        run.KeepLineCompatible(line);
        return true;
    }
    if (LineStartsWith("Total time playing ", line)) {
        std::string_view played = RestFrom(m, 20);
        if (std::size_t p = FindInMessage(": ", played); p > 0) played = RestFrom(played, p + 2);
        c.TimePlayed = CutBefore(played, ".");
        c.PlayedAsOf = ShortDate(line.Timestamp);
        run.KeepLineCompatible(line);
        return true;
    }
    if (LineStartsWith("This session: ", line)) {
        std::string_view session = CutBefore(RestFrom(m, 15), ".");
        if (DurationLonger(session, c.SessionTime)) {
            c.SessionTime = session;
            c.SessionAsOf = ShortDate(line.Timestamp);
        }
        run.KeepLineCompatible(line);
        return true;
    }
    return false;
}

bool SavedAndBindPoint(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    CharacterState& c = run.session.Character;
    if (HasSavedDot(line) && FindInLine("spell set", line) == 0) {
        // The name stands before "saved." and its blank; a differently cased "saved." still marks the place.
        std::size_t at = FindCase("saved.", m);
        if (at == 0) at = FindInLine("saved.", line);
        const std::string_view name = at >= 2 ? m.substr(0, at - 2) : std::string_view();
        if (c.CharacterName == kUnknown) {
            c.CharacterName = name;
            run.session.RefreshName();
        } else if (name != c.CharacterName) {
            run.session.AddWarning("WARNING: Log file may contain multiple characters! (" +
                                   std::string(name) + ")");
        }
        if (c.SavedSeen) {
            run.KeepLineCompatible(line);
        } else {
            run.KeepLine(line);
        }
        c.SavedSeen = true;
        return true;
    }
    if (LineStartsWith("You are currently bound in:", line)) {
        c.BindPoint = RestFrom(m, 29);
        return true;
    }
    if (LineStartsWith("You feel yourself bind to the area.", line)) {
        c.BindPoint = c.CurrentZone;
        return true;
    }
    return false;
}

bool SurnameApproved(RunContext& run, const LogLine& line) {
    const std::string_view m = line.Message;
    if (!LineStartsWith("Congratulations, ", line) || FindInLine(", your surname was approved.", line) == 0) {
        return false;
    }
    CharacterState& c = run.session.Character;
    std::string_view surname = CutBefore(RestFrom(m, 18), ",");
    if (std::size_t q = FindInMessage(c.CharacterName, surname); q > 0) {
        surname = RestFrom(surname, q + c.CharacterName.size() + 1);
    }
    c.Surname = surname;
    run.session.RefreshName();
    run.KeepLineCompatible(line);
    return true;
}

void ReadGuildRoster(Session& session, const std::string& gameFolder, const std::string& guild) {
    if (guild.empty()) return;
    // The game names the file; on a file system that minds case it is found whatever case it has.
    const std::string name = BlanksToUnderlines(guild) + ".txt";
    const std::string path = gameFolder + name;
    // The guild's name comes from the log: one holding a path separator names no file of the game folder.
    const bool plainName = name.find_first_of("/\\:") == std::string::npos;
    const std::optional<std::string> onDisk =
        plainName ? platform::FindNameNoCase(gameFolder, name, platform::EntryKind::File) : std::nullopt;
    std::ifstream in;
    if (plainName) in.open(platform::NativePath(onDisk ? gameFolder + *onDisk : path), std::ios::binary);
    if (!in.is_open()) {
        session.AddWarning("WARNING: " + path + " not found! Dump guild list in game to log guild info.");
        return;
    }
    StatTable& roster = session.Tables.gGuild;
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // CR LF, LF and CR alone each end a line.
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        std::string fields[5];
        std::string_view rest = line;
        for (std::string& field : fields) {
            std::size_t tab = rest.find('\t');
            field = rest.substr(0, tab);
            rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
            if (tab == std::string_view::npos) break;
        }
        std::string& rank = fields[3];
        if (EqualsNoCase(rank, "L")) {
            rank = "Leader";
        } else if (EqualsNoCase(rank, "O")) {
            rank = "Officer";
        } else if (EqualsNoCase(rank, "M")) {
            rank = "Member";
        }
        fields[4] = SlashDateToText(fields[4]);
        if (fields[0].empty()) continue;
        if (int row = roster.FindRow(fields[0]); row > 0) {
            for (int col = 1; col < 5; ++col)
                roster.SetCell(col, row, fields[col]);
        } else {
            roster.NewRow({fields[0], fields[1], fields[2], fields[3], fields[4]});
        }
    }
}

void LoadGuildRoster(RunContext& run) {
    ReadGuildRoster(run.session, run.inputs.GameFolder, run.session.Info.eGuild);
}

}  // namespace krav
