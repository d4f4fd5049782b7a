// Case-blind lookups and wildcard listings, as the game's files are found on a case-sensitive file system.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/isolated_home.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;
using platform::EntryKind;
using Names = std::vector<std::string>;

TEST(Files, WildcardsMatchWholeNamesIgnoringCase) {
    using platform::WildcardMatchNoCase;
    EXPECT_TRUE(WildcardMatchNoCase("eqlog_*_*.txt", "EQLOG_Bob_tunare.TXT"));
    EXPECT_TRUE(WildcardMatchNoCase("eqlog_*_*.txt", "eqlog__.txt"));
    EXPECT_TRUE(WildcardMatchNoCase("eqlog_*_*.txt", "eqlog_a_b_c.txt.txt"));
    EXPECT_FALSE(WildcardMatchNoCase("eqlog_*_*.txt", "eqlog_Bob.txt"));
    EXPECT_FALSE(WildcardMatchNoCase("eqlog_*_*.txt", "eqlog_Bob_tunare.txt.bak"));
    EXPECT_FALSE(WildcardMatchNoCase("eqlog_*_*.txt", "xeqlog_Bob_tunare.txt"));
    EXPECT_TRUE(WildcardMatchNoCase("a?c*", "abc"));
    EXPECT_FALSE(WildcardMatchNoCase("a?c", "ac"));
    EXPECT_TRUE(WildcardMatchNoCase("*", ""));
    EXPECT_FALSE(WildcardMatchNoCase("", "a"));
    EXPECT_TRUE(WildcardMatchNoCase("caf\xC9*", "caf\xC9-log"));  // bytes beyond ASCII compare as they are
    EXPECT_FALSE(WildcardMatchNoCase("caf\xE9", "caf\xC9"));
}

TEST(Files, NamesAreFoundWhateverTheirCaseTheExactOneFirst) {
    TempFolder folder;
    WriteFile(folder.path() / "EQClient.INI", "");
    fs::create_directories(folder.path() / "Logs");
    EXPECT_EQ(platform::FindNameNoCase(folder.text(), "eqclient.ini", EntryKind::File), "EQClient.INI");
    EXPECT_EQ(platform::FindNameNoCase(folder.path().string(), "LOGS", EntryKind::Folder), "Logs");
    EXPECT_FALSE(platform::FindNameNoCase(folder.text(), "logs", EntryKind::File));
    EXPECT_FALSE(platform::FindNameNoCase(folder.text(), "eqclient.ini", EntryKind::Folder));
    EXPECT_FALSE(platform::FindNameNoCase("", "eqclient.ini", EntryKind::File));
#ifndef _WIN32  // Windows keeps no two names differing only in case
    WriteFile(folder.path() / "eqclient.ini", "");
    WriteFile(folder.path() / "EQCLIENT.ini", "");
    EXPECT_EQ(platform::FindNameNoCase(folder.text(), "eqclient.ini", EntryKind::File), "eqclient.ini");
    EXPECT_EQ(platform::FindNameNoCase(folder.text(), "Eqclient.ini", EntryKind::File), "EQCLIENT.ini");
#endif

    WriteFile(folder.path() / "Program Files" / "SONY" / "everquest" / "x", "");
    EXPECT_EQ(
        platform::FindPathNoCase(folder.path().string(), "program files/Sony/EverQuest", EntryKind::Folder),
        (folder.path() / "Program Files" / "SONY" / "everquest").string());
    EXPECT_FALSE(
        platform::FindPathNoCase(folder.path().string(), "Program Files/Sony/Gone", EntryKind::Folder));
}

TEST(Files, ListingsHoldOnlyMatchingPlainFilesInByteOrder) {
    TempFolder folder;
    for (const char* name : {"eqlog_b_x.txt", "eqlog_A_x.TXT", "notes.txt", "eqlog_c_x.log"})
        WriteFile(folder.path() / name, "");
    fs::create_directories(folder.path() / "eqlog_dir_x.txt");
#ifdef _WIN32  // links need rights an ordinary user lacks, and Wine makes none
    EXPECT_EQ(platform::ListFiles(folder.text(), "eqlog_*_*.txt"), (Names{"eqlog_A_x.TXT", "eqlog_b_x.txt"}));
#else
    fs::create_symlink(folder.path() / "eqlog_b_x.txt", folder.path() / "eqlog_link_x.txt");
    fs::create_symlink(folder.path() / "gone", folder.path() / "eqlog_dangling_x.txt");
    EXPECT_EQ(platform::ListFiles(folder.text(), "eqlog_*_*.txt"),
              (Names{"eqlog_A_x.TXT", "eqlog_b_x.txt", "eqlog_link_x.txt"}));
#endif
    EXPECT_TRUE(platform::ListFiles(folder.text() + "missing/", "*").empty());
    EXPECT_TRUE(platform::ListFiles("", "*").empty());
}

TEST(Files, TheWinePrefixComesFromTheEnvironment) {
    IsolatedHome env;
#ifdef _WIN32
    EXPECT_EQ(platform::WinePrefix(), "");  // Windows itself
    return;
#endif
    EXPECT_EQ(platform::WinePrefix(), env.wine().string());
    env.Set("WINEPREFIX", "");
    EXPECT_EQ(platform::WinePrefix(), (env.home() / ".wine").string());
    env.Unset("HOME");
    EXPECT_EQ(platform::WinePrefix(), "");
}

}  // namespace
}  // namespace krav::test
