// INI files: lookups without regard to case, trimming, creation on write and whole-file replacement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <random>
#include <string_view>

#include "platform/profile.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

using platform::Profile;
using Keys = std::vector<std::string>;

TEST(Profile, ReadsSectionsAndKeysWithoutRegardToCase) {
    TempFolder folder;
    const auto path = folder.path() / "KRAV.ini";
    WriteFile(path,
              "; reference data\r\n[Languages]\r\nElvish=1\r\n  Dwarvish  =  x  \r\n; Troll=1\r\n\r\n"
              "[Classes]\nDruid = \"Class.Druid\"\nShadow Knight=Class.ShadowKnight\n[languages]\nLate=1\n");
    Profile ini(path.string());
    EXPECT_EQ(ini.KeyNames("LANGUAGES"), (Keys{"Elvish", "Dwarvish"}));  // the first section of a name
    EXPECT_EQ(ini.ReadString("languages", "dwarvish", "none"), "x");
    EXPECT_EQ(ini.ReadString("Classes", "druid", ""), "Class.Druid");
    EXPECT_EQ(ini.ReadString("Classes", "Shadow Knight", ""), "Class.ShadowKnight");
    EXPECT_EQ(ini.ReadString("Classes", "Troll", "none"), "none");
    EXPECT_EQ(ini.ReadString("Missing", "Elvish", "none"), "none");
    EXPECT_EQ(Profile((folder.path() / "absent.ini").string()).ReadString("a", "b", "def"), "def");
    EXPECT_TRUE(Profile((folder.path() / "absent.ini").string()).KeyNames("a").empty());
}

TEST(Profile, WritesCreateTheFileAndSectionAndReplaceKeysInPlace) {
    TempFolder folder;
    const auto path = folder.path() / "PRAL_tunare.lst";
    Profile ini(path.string());
    ASSERT_TRUE(ini.WriteString("PlayersKnownTo.Bob", "Ann", ""));
    ASSERT_TRUE(ini.WriteString("PlayerInfo.Ann", "Class", "Druid"));
    ASSERT_TRUE(ini.WriteString("playerinfo.ann", "LEVEL", "12"));
    ASSERT_TRUE(ini.WriteString("PlayerInfo.Ann", "class", "Warrior"));
    ASSERT_TRUE(ini.WriteString("PlayersKnownTo.Bob", "Kel", ""));
    EXPECT_EQ(
        ReadFile(path),
        "[PlayersKnownTo.Bob]\r\nAnn=\r\nKel=\r\n\r\n[PlayerInfo.Ann]\r\nClass=Warrior\r\nLEVEL=12\r\n");
    EXPECT_EQ(ini.ReadString("PlayerInfo.Ann", "Level", ""), "12");
    EXPECT_EQ(FileNames(folder.path()).size(), 1u);  // no temporary file left

    // A key set to another value and back within one write ends with the value it had.
    WriteFile(path, "[A]\r\nk=3\r\nj = 1\r\n");
    ASSERT_TRUE(ini.WriteStrings({{"A", "k", "5"}, {"A", "k", "3"}, {"A", "J", "1"}}));
    EXPECT_EQ(ReadFile(path), "[A]\r\nk=3\r\nj=1\r\n");
}

// SetKeysIn sets only the keys its mask names, and every key after the 32nd.
TEST(Profile, SetKeysInSetsTheKeysItsMaskNames) {
    TempFolder folder;
    const std::string path = (folder.path() / "p.ini").string();
    std::vector<std::string> names;
    for (int i = 0; i < 34; ++i)
        names.push_back("K" + std::to_string(i));
    const std::vector<std::string_view> keys(names.begin(), names.end()), zeros(34, "0"), ones(34, "1");
    platform::ProfileEdit edit(path);
    ASSERT_TRUE(edit.Open());
    edit.SetKeysIn(edit.SetKeys("S", keys, zeros), keys, ones, (1u << 1) | (1u << 31));
    ASSERT_TRUE(edit.Commit());
    const platform::ProfileData data(path);
    for (int i = 0; i < 34; ++i)
        EXPECT_EQ(data.ReadString("S", names[i], ""), i == 1 || i >= 31 ? "1" : "0") << names[i];
}

// Lines around the size of the block the file is written in, and one far longer, come out whole and in order.
TEST(Profile, LinesOfEveryLengthComeOutWhole) {
    TempFolder folder;
    const std::string path = (folder.path() / "p.ini").string();
    const std::string nearly(std::size_t{1} << 20, 'n'), huge(std::size_t{3} << 20, 'h');
    platform::ProfileEdit edit(path);
    ASSERT_TRUE(edit.Open());
    edit.Set("A", "a", nearly.substr(4));  // with "a=" and CR LF, one block exactly
    edit.Set("A", "b", "1");
    edit.Set("A", "c", huge);
    edit.Set("A", "d", nearly);
    // Short keys and values are copied a word at a time: every length up to past two words.
    std::string expected =
        "[A]\r\na=" + nearly.substr(4) + "\r\nb=1\r\nc=" + huge + "\r\nd=" + nearly + "\r\n";
    const std::string letters = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (std::size_t length = 0; length <= 34; ++length) {
        const std::string key = "k" + letters.substr(0, length),
                          value = letters.substr(letters.size() - length);
        edit.Set("A", key, value);
        expected += key + "=" + value + "\r\n";
    }
    ASSERT_TRUE(edit.Commit());
    EXPECT_TRUE(ReadFile(path) == expected);
}

TEST(Profile, AFailedWriteLeavesTheFileAsItWas) {
    TempFolder folder;
    // A name so long that no longer name fits beside it: the temporary file cannot be made.
    const auto path = folder.path() / (std::string(246, 'e') + ".ini");
    WriteFile(path, "[Defaults]\r\nLog=FALSE\r\n");
    EXPECT_FALSE(Profile(path.string()).WriteString("Defaults", "Log", "TRUE"));
    EXPECT_EQ(ReadFile(path), "[Defaults]\r\nLog=FALSE\r\n");
    EXPECT_FALSE(Profile((folder.path() / "no-folder" / "x.ini").string()).WriteString("a", "b", "c"));

    // An edit that cannot write keeps its keys and the old file; one that cannot read never writes.
    platform::ProfileEdit edit(path.string());
    ASSERT_TRUE(edit.Open());
    edit.Set("Defaults", "Log", "TRUE");
    EXPECT_FALSE(edit.Commit());
    EXPECT_EQ(ReadFile(path), "[Defaults]\r\nLog=FALSE\r\n");
    platform::ProfileEdit folderEdit(folder.path().string());
    EXPECT_FALSE(folderEdit.Open());
    EXPECT_FALSE(folderEdit.Commit());
}

// One key set the plain way, searching the lines for its section and its key.
void SetOneKey(std::vector<std::string>& lines, const std::string& section, const std::string& key,
               const std::string& value) {
    auto trim = [](std::string_view t) {
        const std::size_t first = t.find_first_not_of(" \t\r\n\f\v");
        if (first == std::string_view::npos) return std::string_view();
        return t.substr(first, t.find_last_not_of(" \t\r\n\f\v") - first + 1);
    };
    auto lower = [](std::string_view t) {
        std::string l(t);
        for (char& c : l)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        return l;
    };
    auto sectionName = [&](std::string_view line) -> std::optional<std::string> {
        const std::string_view t = trim(line);
        if (t.size() < 2 || t[0] != '[' || t.find(']') == std::string_view::npos) return std::nullopt;
        return lower(trim(t.substr(1, t.find(']') - 1)));
    };
    auto keyOf = [&](std::string_view line) { return trim(line.substr(0, line.find('='))); };
    std::size_t begin = 0;
    while (begin < lines.size() && sectionName(lines[begin]) != lower(section))
        ++begin;
    if (begin == lines.size()) {
        if (!lines.empty() && !trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + value);
        return;
    }
    std::size_t end = ++begin;
    while (end < lines.size() && !sectionName(lines[end]))
        ++end;
    for (std::size_t i = begin; i < end; ++i) {
        const std::string_view t = trim(lines[i]);
        if (!t.empty() && t[0] != ';' && lines[i].find('=') != std::string::npos &&
            lower(keyOf(lines[i])) == lower(key)) {
            lines[i] = std::string(keyOf(lines[i])) + "=" + value;
            return;
        }
    }
    while (end > begin && trim(lines[end - 1]).empty())
        --end;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), key + "=" + value);
}

// The value the plain way: the first section of the name, in it the first line that holds the key.
std::string ReadOneKey(const std::vector<std::string>& lines, const std::string& section, const std::string& key) {
    auto trim = [](std::string_view t) {
        const std::size_t first = t.find_first_not_of(" \t\r\n\f\v");
        if (first == std::string_view::npos) return std::string_view();
        return t.substr(first, t.find_last_not_of(" \t\r\n\f\v") - first + 1);
    };
    auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
               });
    };
    auto header = [&](std::string_view line) -> std::optional<std::string_view> {
        const std::string_view t = trim(line);
        if (t.size() < 2 || t[0] != '[' || t.find(']') == std::string_view::npos) return std::nullopt;
        return trim(t.substr(1, t.find(']') - 1));
    };
    std::size_t i = 0;
    while (i < lines.size() && !(header(lines[i]) && same(*header(lines[i]), section)))
        ++i;
    for (++i; i < lines.size() && !header(lines[i]); ++i) {
        const std::string_view t = trim(lines[i]);
        const std::size_t eq = lines[i].find('=');
        if (t.empty() || t[0] == ';' || eq == std::string::npos || !same(trim(lines[i].substr(0, eq)), key)) continue;
        std::string_view value = trim(std::string_view(lines[i]).substr(eq + 1));
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return "<none>";
}

// Many keys written at once give the file that setting them one after another gives, whatever the file
// holds: sections and keys twice or in other letters, comments, lines without "=", blank runs, sections of
// hundreds of keys, stray CRs, very long lines, no line end at the end. The file written reads back as the
// plain search reads it.
TEST(Profile, ManyKeysAtOnceAsIfSetOneAfterAnother) {
    TempFolder folder;
    std::mt19937 random(12);
    const std::vector<std::string> sectionNames = {"Known", "KNOWN", "Info.Ann", "info.ann", "Info.Bo",
                                                   " Info.Bo ", "a]b", "", "New", "new", "x y"};
    const std::vector<std::string> keyNames = {"Ann", "ann", "Class", "CLASS", " Level ", "", "Bo", ";c",
                                               "k=v", "Guild", "GM", "LogDate", "q", std::string(300, 'K')};
    auto pick = [&random](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 80; ++round) {
        std::vector<std::string> lines;
        for (int n = static_cast<int>(random() % 40); n > 0; --n) {
            switch (random() % 10) {
                case 0: lines.push_back("[" + pick(sectionNames) + "]"); break;
                case 1: lines.push_back(""); break;
                case 2: lines.push_back("  \t"); break;
                case 3: lines.push_back("; " + pick(keyNames) + "=old"); break;
                case 4: lines.push_back("no equals " + pick(keyNames)); break;
                case 5: lines.push_back(" [" + pick(sectionNames) + "] tail\r"); break;
                case 6: lines.push_back(pick(keyNames) + "=" + std::string(random() % 3 ? 3 : 70000, 'v')); break;
                case 7: lines.push_back(pick(keyNames) + "\r=\"q\"\r"); break;
                default: lines.push_back(pick(keyNames) + (random() % 2 ? " = " : "=") + std::to_string(random() % 9)); break;
            }
        }
        if (round % 4 == 0) {  // a section far longer than a short scan
            lines.push_back("[Known]");
            for (int n = 0; n < 300; ++n)
                lines.push_back("Player" + std::to_string(random() % 200) + "=");
        }
        std::string text;
        for (std::string& line : lines) {
            const bool lf = random() % 5 == 0;
            text += line + (lf ? "\n" : "\r\n");
            if (lf && !line.empty() && line.back() == '\r') line.pop_back();  // as it reads
        }
        if (!lines.empty() && !lines.back().empty() && !text.ends_with("\r\r\n") && random() % 3 == 0)
            text.resize(text.size() - (text.ends_with("\r\n") ? 2 : 1));  // no line end at the end
        std::vector<Profile::Entry> entries;
        for (int n = static_cast<int>(random() % 300); n > 0; --n) {
            const std::string key = random() % 3 == 0 ? "player" + std::to_string(random() % 260) : pick(keyNames);
            // Few values in some rounds, so that keys are set back to what they held.
            entries.push_back({pick(sectionNames), key, std::to_string(random() % (round % 2 ? 100 : 9))});
            // Runs of keys in one section, often a new one, which an edit sets together.
            if (random() % 8 == 0) {
                const std::string section = random() % 2 ? "Info.P" + std::to_string(random() % 40) : pick(sectionNames);
                if (random() % 2) {
                    // A who entry's keys, in one case or another, now and then one more: a section they make
                    // whole is written again without a search.
                    for (std::string key : {"Class", "Level", "Race", "Guild", "GM", "LogDate"}) {
                        if (random() % 6 == 0) key[0] = static_cast<char>(key[0] - 'A' + 'a');
                        entries.push_back({section, key, std::to_string(random() % 9)});
                    }
                    if (random() % 5 == 0) entries.push_back({section, pick(keyNames), "1"});
                } else {
                    for (int k = static_cast<int>(random() % 40); k > 0; --k)
                        entries.push_back({section, pick(keyNames), std::to_string(random() % 9)});
                }
            }
        }
        const auto path = folder.path() / ("f" + std::to_string(round) + ".ini");
        if (round % 10 != 9) WriteFile(path, text);  // now and then no file at all
        if (round % 3 == 1) {
            // The same keys through one edit, written once part way and again at the end.
            // Keys of one section in a row go in together.
            platform::ProfileEdit edit(path.string());
            ASSERT_TRUE(edit.Open());
            bool committed = false;
            for (std::size_t n = 0, next = 0; n < entries.size(); n = next) {
                if (!committed && n >= entries.size() / 2) {
                    ASSERT_TRUE(edit.Commit());
                    committed = true;
                }
                std::vector<std::string_view> keys, values;
                for (next = n; next < entries.size() && entries[next].section == entries[n].section; ++next) {
                    keys.push_back(entries[next].key);
                    values.push_back(entries[next].value);
                }
                edit.SetKeys(entries[n].section, keys, values);
            }
            ASSERT_TRUE(edit.Commit());
        } else {
            ASSERT_TRUE(Profile(path.string()).WriteStrings(entries));
        }
        if (round % 10 == 9) lines.clear();
        for (const Profile::Entry& e : entries)
            SetOneKey(lines, e.section, e.key, e.value);
        std::string expected;
        for (const std::string& line : lines)
            expected += line + "\r\n";
        const std::string written = ReadFile(path);
        const auto differ = std::mismatch(written.begin(), written.end(), expected.begin(), expected.end());
        ASSERT_EQ(written.size(), expected.size()) << "round " << round;
        ASSERT_TRUE(differ.first == written.end())
            << "round " << round << " at " << (differ.first - written.begin()) << ": "
            << std::string(differ.first, written.begin() + std::min<std::ptrdiff_t>(differ.first - written.begin() + 60, static_cast<std::ptrdiff_t>(written.size())));
        const platform::ProfileData data(path.string());
        for (int n = 0; n < 40; ++n) {
            const std::string section = pick(sectionNames);
            const std::string key = n % 2 ? "player" + std::to_string(random() % 260) : pick(keyNames);
            ASSERT_EQ(data.ReadString(section, key, "<none>"), ReadOneKey(lines, section, key))
                << "round " << round << " [" << section << "] " << key;
        }
    }
}

}  // namespace
}  // namespace krav::test
