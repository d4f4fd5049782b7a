// INI files: lookups without regard to case, trimming, creation on write and whole-file replacement.
#include <gtest/gtest.h>

#include <filesystem>

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
}

TEST(Profile, AFailedWriteLeavesTheFileAsItWas) {
    TempFolder folder;
    // A name so long that no longer name fits beside it: the temporary file cannot be made.
    const auto path = folder.path() / (std::string(246, 'e') + ".ini");
    WriteFile(path, "[Defaults]\r\nLog=FALSE\r\n");
    EXPECT_FALSE(Profile(path.string()).WriteString("Defaults", "Log", "TRUE"));
    EXPECT_EQ(ReadFile(path), "[Defaults]\r\nLog=FALSE\r\n");
    EXPECT_FALSE(Profile((folder.path() / "no-folder" / "x.ini").string()).WriteString("a", "b", "c"));
}

}  // namespace
}  // namespace krav::test
