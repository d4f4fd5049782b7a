// The registry on Windows is the system's own: values land under the real root keys as strings, texts keep
// their Windows-1252 letters, and a key the user may not change or not even read is passed over quietly.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/native_path.h"
#include "platform/registry.h"
#include "tests/isolated_home.h"

namespace krav::test {
namespace {

using platform::Registry;
using platform::RootKey;

constexpr const char* kSettings = "Software\\Halcyra\\Vantrix\\KRAV\\Settings";
constexpr const char* kFamily = "Software\\Halcyra\\Vantrix";

// A value as the system holds it: its type and its data as wide text (empty for other types).
struct Stored {
    DWORD type = REG_NONE;
    std::wstring text;
};

Stored ReadRaw(HKEY root, const std::wstring& key, const std::wstring& name) {
    Stored stored;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &handle) != ERROR_SUCCESS) return stored;
    wchar_t data[512] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegQueryValueExW(handle, name.c_str(), nullptr, &stored.type, reinterpret_cast<BYTE*>(data), &size) ==
            ERROR_SUCCESS &&
        stored.type == REG_SZ)
        stored.text = data;
    RegCloseKey(handle);
    return stored;
}

TEST(WindowsRegistry, ValuesAreStringsUnderTheRealRootKeys) {
    IsolatedHome env;
    Registry settings(RootKey::CurrentUser);
    EXPECT_FALSE(settings.OpenKey(kSettings, false));
    EXPECT_FALSE(settings.KeyExists("Software\\Halcyra"));
    ASSERT_TRUE(settings.OpenKey(kSettings, true));
    EXPECT_TRUE(settings.WriteString("LogFile", "tunare_Bob"));
    EXPECT_TRUE(settings.WriteString("", "default"));
    EXPECT_TRUE(settings.WriteString("logfile", "bristle_Al"));  // the same value, spelt otherwise
    Registry family(RootKey::LocalMachine);
    ASSERT_TRUE(family.OpenKey(std::string(kFamily) + "\\", true));
    // Letters above 127 of Windows-1252 ("é" and the euro sign) are stored as the characters they are.
    EXPECT_TRUE(family.WriteString("EverQuestPath", "D:\\Jeux\\Caf\xE9 \x80\\EverQuest\\"));

    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, L"Software\\Halcyra\\Vantrix\\KRAV\\Settings", L"LogFile").text,
              L"bristle_Al");
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, L"Software\\Halcyra\\Vantrix\\KRAV\\Settings", L"").text, L"default");
    const Stored path = ReadRaw(HKEY_LOCAL_MACHINE, L"Software\\Halcyra\\Vantrix", L"EverQuestPath");
    EXPECT_EQ(path.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(path.text, L"D:\\Jeux\\Caf\u00E9 \u20AC\\EverQuest\\");
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, L"Software\\Halcyra\\Vantrix", L"EverQuestPath").type,
              static_cast<DWORD>(REG_NONE));  // the other root holds nothing

    Registry again(RootKey::LocalMachine);
    ASSERT_TRUE(again.OpenKey("software\\HALCYRA\\vantrix", false));
    EXPECT_EQ(again.ReadString("everquestpath"), "D:\\Jeux\\Caf\xE9 \x80\\EverQuest\\");
    EXPECT_TRUE(again.ValueExists("EverQuestPath"));
    EXPECT_FALSE(again.ValueExists("EverQuestTestPath"));
    EXPECT_TRUE(again.KeyExists("Software\\Halcyra"));
}

TEST(WindowsRegistry, OtherTypesReadAsMissingAndUnstorableTextIsRefused) {
    IsolatedHome env;
    Registry key(RootKey::CurrentUser);
    ASSERT_TRUE(key.OpenKey(kSettings, true));
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Halcyra\\Vantrix\\KRAV\\Settings", 0,
                            KEY_SET_VALUE | KEY_WOW64_32KEY, &raw),
              ERROR_SUCCESS);
    const DWORD number = 16;
    RegSetValueExW(raw, L"AutoLog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(raw);
    EXPECT_EQ(key.ReadString("AutoLog"), "");
    EXPECT_FALSE(key.ValueExists("AutoLog"));
    ASSERT_TRUE(key.WriteString("AutoLog", "0"));  // a string replaces it
    EXPECT_EQ(key.ReadString("AutoLog"), "0");

    EXPECT_FALSE(key.WriteString("AutoLog", "1\r\n"));
    EXPECT_FALSE(key.WriteString("Nul", std::string("a\0b", 3)));
    EXPECT_EQ(key.ReadString("AutoLog"), "0");
    EXPECT_FALSE(key.ValueExists("Nul"));
}

TEST(WindowsRegistry, AKeyWithoutRightsIsPassedOverQuietly) {
    IsolatedHome env;
    {
        Registry family(RootKey::LocalMachine);
        ASSERT_TRUE(family.OpenKey(kFamily, true));
        ASSERT_TRUE(family.WriteString("EverQuestPath", "C:\\EQ\\"));
    }
    // No rights at all: the key cannot be opened, nothing is read.
    RestrictKey(true, "Software\\Halcyra\\Vantrix\\Server Names", 0);
    // Read only, as the local machine's keys are for an ordinary user: reads work, writes fail.
    RestrictKey(true, kFamily, KEY_READ);
    Registry family(RootKey::LocalMachine);
    ASSERT_TRUE(family.OpenKey(kFamily, true));
    EXPECT_EQ(family.ReadString("EverQuestPath"), "C:\\EQ\\");
    EXPECT_FALSE(family.WriteString("EverQuestPath", "D:\\Other\\"));
    EXPECT_EQ(family.ReadString("EverQuestPath"), "C:\\EQ\\");

    Registry servers(RootKey::LocalMachine);
    EXPECT_FALSE(servers.OpenKey("Software\\Halcyra\\Vantrix\\Server Names", true));
    EXPECT_EQ(servers.ReadString(""), "");
    EXPECT_FALSE(servers.WriteString("tunare", "Tunare"));
}

}  // namespace
}  // namespace krav::test
