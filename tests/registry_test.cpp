// The registry store: where it lives, the .reg text it writes, hand-edited files, and that no write ever
// leaves a store file lost or half-written.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/registry.h"
#include "platform/replace_file.h"
#include "tests/isolated_home.h"
#include "tests/test_support.h"

namespace krav::test {
namespace {

namespace fs = std::filesystem;
using platform::Registry;
using platform::RootKey;

constexpr const char* kSettings = "Software\\Halcyra\\Vantrix\\KRAV\\Settings";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(RegistryLocation, FollowsTheEnvironmentInOrder) {
    IsolatedHome env;
    EXPECT_EQ(platform::RegistryFolder(), env.registry().string());
    EXPECT_EQ(platform::RegistryFile(RootKey::LocalMachine),
              (env.registry() / "HKEY_LOCAL_MACHINE.reg").string());

    env.Unset("KRAV_REGISTRY_DIR");
    const fs::path config = env.root().path() / "config";
    EXPECT_EQ(platform::RegistryFolder(), (config / "krav" / "registry").string());
    Registry viaConfig(RootKey::CurrentUser);
    ASSERT_TRUE(viaConfig.OpenKey(kSettings, true));
    EXPECT_TRUE(fs::is_regular_file(config / "krav" / "registry" / "HKEY_CURRENT_USER.reg"));

    env.Set("XDG_CONFIG_HOME", "relative/config");  // not a valid base folder: ignored
    EXPECT_EQ(platform::RegistryFolder(), (env.home() / ".config" / "krav" / "registry").string());
    env.Unset("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::RegistryFolder(), (env.home() / ".config" / "krav" / "registry").string());

    env.Unset("HOME");
    EXPECT_EQ(platform::RegistryFolder(), "");
    Registry nowhere(RootKey::CurrentUser);
    EXPECT_FALSE(nowhere.OpenKey(kSettings, true));
    EXPECT_FALSE(nowhere.WriteString("LogFile", "x"));
}

TEST(Registry, WritesTheExportFormatAndReadsItBack) {
    IsolatedHome env;
    Registry settings(RootKey::CurrentUser);
    EXPECT_FALSE(settings.OpenKey(kSettings, false));
    EXPECT_FALSE(fs::exists(env.registry()));            // looking does not create anything
    EXPECT_FALSE(settings.WriteString("LogFile", "x"));  // no key open

    ASSERT_TRUE(settings.OpenKey(kSettings, true));
    EXPECT_TRUE(settings.WriteString("LogFile", "tunare_Bob"));
    EXPECT_TRUE(settings.WriteString("Folder", "C:\\Games\\\"EQ\"\\"));
    EXPECT_TRUE(settings.WriteString("", "default"));
    EXPECT_TRUE(settings.WriteString("logfile", "bristle_Al"));  // same value, other spelling
    settings.CloseKey();
    EXPECT_EQ(ReadFile(env.registry() / "HKEY_CURRENT_USER.reg"),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Halcyra\\Vantrix\\KRAV\\Settings]\r\n"
              "\"LogFile\"=\"bristle_Al\"\r\n"
              "\"Folder\"=\"C:\\\\Games\\\\\\\"EQ\\\"\\\\\"\r\n"
              "@=\"default\"\r\n");
    EXPECT_FALSE(fs::exists(env.registry() / "HKEY_LOCAL_MACHINE.reg"));

    Registry again(RootKey::CurrentUser);
    ASSERT_TRUE(again.OpenKey("SOFTWARE\\halcyra\\Vantrix\\krav\\settings\\", false));
    EXPECT_EQ(again.ReadString("Folder"), "C:\\Games\\\"EQ\"\\");
    EXPECT_EQ(again.ReadString("LOGFILE"), "bristle_Al");
    EXPECT_EQ(again.ReadString(""), "default");
    EXPECT_TRUE(again.ValueExists("folder"));
    EXPECT_FALSE(again.ValueExists("Missing"));
    EXPECT_EQ(again.ReadString("Missing"), "");

    // A key exists when it or a key below it has a section, as parents do in the system's registry.
    EXPECT_TRUE(again.KeyExists("Software\\Halcyra"));
    EXPECT_FALSE(again.KeyExists("Software\\Halcyra\\Vantrix\\KRAV\\Sett"));
    EXPECT_FALSE(Registry(RootKey::LocalMachine).KeyExists("Software\\Halcyra"));
}

TEST(Registry, AValueWithALineBreakIsRefusedAndChangesNothing) {
    IsolatedHome env;
    Registry key(RootKey::LocalMachine);
    ASSERT_TRUE(key.OpenKey("Software\\Halcyra\\Vantrix", true));
    ASSERT_TRUE(key.WriteString("EverQuestPath", "/games/eq/"));
    const std::string before = ReadFile(env.registry() / "HKEY_LOCAL_MACHINE.reg");
    EXPECT_FALSE(key.WriteString("EverQuestPath", "/x\n[HKEY_LOCAL_MACHINE\\Injected]"));
    EXPECT_FALSE(key.WriteString("Name\r", "x"));
    EXPECT_FALSE(key.WriteString("Nul", std::string("a\0b", 3)));
    EXPECT_EQ(ReadFile(env.registry() / "HKEY_LOCAL_MACHINE.reg"), before);
    EXPECT_EQ(key.ReadString("EverQuestPath"), "/games/eq/");
}

TEST(Registry, HandEditedFilesKeepEveryLineTheStoreDoesNotChange) {
    IsolatedHome env;
    const fs::path file = env.registry() / "HKEY_CURRENT_USER.reg";
    const std::string original =
        "REGEDIT4\n"
        "\n"
        "; kept by hand\n"
        "[HKEY_CURRENT_USER\\Software\\Test]\n"
        "\"Count\"=dword:00000010\n"
        "\"Blob\"=hex:01,02,\\\n"
        "  03,04\n"
        "\"Broken\"=\"no end\n"
        "garbage line\n"
        "@=\"def\"\n"
        "\"Path\"=\"C:\\\\EQ\\\\\"\n"
        "\"Odd\"=\"a\\q\"\n"
        "\n"
        "[-HKEY_CURRENT_USER\\Software\\Gone]\n"
        "\"Path\"=\"deleted\"\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Test]\n"
        "\"Path\"=\"other root\"\n"
        "[HKEY_CURRENT_USER\\Software\\Test]\n"
        "\"Late\"=\"yes\"\n";
    WriteFile(file, original);

    Registry key(RootKey::CurrentUser);
    EXPECT_FALSE(key.OpenKey("Software\\Gone", false));
    ASSERT_TRUE(key.OpenKey("Software\\Test", false));
    EXPECT_EQ(key.ReadString("Count"), "");  // other types read as missing
    EXPECT_FALSE(key.ValueExists("Count"));
    EXPECT_EQ(key.ReadString("Blob"), "");
    EXPECT_EQ(key.ReadString("Broken"), "");
    EXPECT_EQ(key.ReadString(""), "def");
    EXPECT_EQ(key.ReadString("Path"), "C:\\EQ\\");
    EXPECT_EQ(key.ReadString("Odd"), "a\\q");
    EXPECT_EQ(key.ReadString("Late"), "yes");

    ASSERT_TRUE(key.WriteString("New", "n"));
    std::string expected = Replaced(original, "\"Late\"=\"yes\"\n", "\"Late\"=\"yes\"\n\"New\"=\"n\"\n");
    EXPECT_EQ(ReadFile(file), expected);  // no header added, line ends as the file had them

    // A string written over a value of another type replaces all of its lines and nothing else.
    ASSERT_TRUE(key.WriteString("count", "16"));
    ASSERT_TRUE(key.WriteString("Blob", "b"));
    ASSERT_TRUE(key.WriteString("PATH", "D:\\"));
    expected = Replaced(expected, "\"Count\"=dword:00000010\n", "\"Count\"=\"16\"\n");
    expected = Replaced(expected, "\"Blob\"=hex:01,02,\\\n  03,04\n", "\"Blob\"=\"b\"\n");
    expected = Replaced(expected, "\"Path\"=\"C:\\\\EQ\\\\\"\n", "\"Path\"=\"D:\\\\\"\n");
    EXPECT_EQ(ReadFile(file), expected);
    EXPECT_EQ(key.ReadString("count"), "16");
    EXPECT_EQ(key.ReadString("Path"), "D:\\");
}

TEST(Registry, AFileWithoutHeaderOrWithWindowsLineEndsIsKeptThatWay) {
    IsolatedHome env;
    const fs::path file = env.registry() / "HKEY_LOCAL_MACHINE.reg";
    const std::string original = "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n\"X\"=\"1\"\r\n";
    WriteFile(file, original);
    Registry key(RootKey::LocalMachine);
    ASSERT_TRUE(key.OpenKey("Software\\A", false));
    ASSERT_TRUE(key.WriteString("Y", "2"));
    EXPECT_EQ(ReadFile(file), "Windows Registry Editor Version 5.00\r\n\r\n" + original + "\"Y\"=\"2\"\r\n");

    // A key whose section was deleted by hand while open comes back with the value.
    WriteFile(file, "Windows Registry Editor Version 5.00\r\n");
    ASSERT_TRUE(key.WriteString("Z", "3"));
    EXPECT_EQ(ReadFile(file),
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\A]\r\n"
              "\"Z\"=\"3\"\r\n");
}

TEST(Registry, AStoreThatCannotBeReadOrWrittenIsLeftAlone) {
    IsolatedHome env;
    // The store's file is a folder.
    fs::create_directories(env.registry() / "HKEY_CURRENT_USER.reg");
    Registry user(RootKey::CurrentUser);
    EXPECT_FALSE(user.OpenKey(kSettings, true));
    EXPECT_EQ(user.ReadString("LogFile"), "");
    EXPECT_TRUE(fs::is_directory(env.registry() / "HKEY_CURRENT_USER.reg"));

    // Not text: an export in UTF-16 holds NUL bytes.
    const fs::path machine = env.registry() / "HKEY_LOCAL_MACHINE.reg";
    const std::string wide("\xFF\xFEW\0i\0n\0", 8);
    WriteFile(machine, wide);
    Registry local(RootKey::LocalMachine);
    EXPECT_FALSE(local.OpenKey("Software", true));
    EXPECT_EQ(ReadFile(machine), wide);

    // The store's folder is a file.
    const fs::path notAFolder = env.root().path() / "plain-file";
    WriteFile(notAFolder, "data");
    env.Set("KRAV_REGISTRY_DIR", notAFolder.string());
    EXPECT_FALSE(Registry(RootKey::CurrentUser).OpenKey(kSettings, true));
    EXPECT_EQ(ReadFile(notAFolder), "data");
}

TEST(Registry, AWriteCutShortBeforeTheRenameLeavesTheOldFileWhole) {
    IsolatedHome env;
    const fs::path file = env.registry() / "HKEY_LOCAL_MACHINE.reg";
    Registry family(RootKey::LocalMachine);
    ASSERT_TRUE(family.OpenKey("Software\\Halcyra\\Vantrix", true));
    ASSERT_TRUE(family.WriteString("EverQuestPath", "/old/"));
    const std::string before = ReadFile(file);

    std::fflush(nullptr);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The process dies with the new file complete beside the old one, not yet renamed.
        platform::testing::SetBeforeRenameHook([](const std::string&) { _exit(42); });
        Registry doomed(RootKey::LocalMachine);
        if (doomed.OpenKey("Software\\Halcyra\\Vantrix", false)) doomed.WriteString("EverQuestPath", "/new/");
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 42);

    EXPECT_EQ(ReadFile(file), before);
    int leftovers = 0;
    for (const std::string& name : FileNames(env.registry())) {
        if (name == "HKEY_LOCAL_MACHINE.reg") continue;
        ++leftovers;
        EXPECT_EQ(ReadFile(env.registry() / name), Replaced(before, "/old/", "/new/"));
    }
    EXPECT_EQ(leftovers, 1);

    EXPECT_EQ(family.ReadString("EverQuestPath"), "/old/");
    ASSERT_TRUE(family.WriteString("EverQuestPath", "/newer/"));
    EXPECT_TRUE(Registry(RootKey::LocalMachine).OpenKey("Software\\Halcyra\\Vantrix", false));
    EXPECT_EQ(family.ReadString("EverQuestPath"), "/newer/");
}

}  // namespace
}  // namespace krav::test
