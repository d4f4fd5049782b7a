// Environment swapping for IsolatedHome.
#include "tests/isolated_home.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/native_path.h"
#endif

namespace krav::test {

namespace {

#ifdef _WIN32
int setenv(const char* name, const char* value, int) {
    return _putenv_s(name, value);
}
int unsetenv(const char* name) {
    return _putenv_s(name, "");  // an empty value removes the variable
}

// Points the predefined key at a fresh key below the scratch key for this process.
void Redirect(HKEY predefined, const std::string& scratchKey, const wchar_t* name) {
    HKEY target = nullptr;
    const std::wstring path = platform::WideText(scratchKey) + L"\\" + name;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &target, nullptr) == ERROR_SUCCESS) {
        RegOverridePredefKey(predefined, target);
        RegCloseKey(target);
    }
}
#endif

}  // namespace

IsolatedHome::IsolatedHome() {
#ifdef _WIN32
    static std::atomic<int> counter{0};
    scratchKey_ = "Software\\KRAV tests\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    Redirect(HKEY_LOCAL_MACHINE, scratchKey_, L"machine");
    Redirect(HKEY_CURRENT_USER, scratchKey_, L"user");
#endif
    std::filesystem::create_directories(home());
    std::filesystem::create_directories(wine());
    Set("KRAV_REGISTRY_DIR", registry().string());
    Set("HOME", home().string());
    Set("XDG_CONFIG_HOME", (root_.path() / "config").string());
    Set("WINEPREFIX", wine().string());
}

IsolatedHome::~IsolatedHome() {
#ifdef _WIN32
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, platform::WideText(scratchKey_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\KRAV tests");  // only once it is empty
#endif
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (it->second) {
            setenv(it->first.c_str(), it->second->c_str(), 1);
        } else {
            unsetenv(it->first.c_str());
        }
    }
}

void IsolatedHome::Remember(const char* name) {
    if (std::any_of(saved_.begin(), saved_.end(), [name](const auto& s) { return s.first == name; })) return;
    const char* value = std::getenv(name);
    saved_.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
}

void IsolatedHome::Set(const char* name, const std::string& value) {
    Remember(name);
    setenv(name, value.c_str(), 1);
}

void IsolatedHome::Unset(const char* name) {
    Remember(name);
    unsetenv(name);
}

#ifdef _WIN32
void RestrictKey(bool localMachine, const std::string& key, unsigned long access) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(localMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, platform::WideText(key).c_str(),
                              0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    alignas(DWORD) char aclBuffer[256];
    PACL acl = reinterpret_cast<PACL>(aclBuffer);
    InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    if (access != 0) AddAccessAllowedAce(acl, ACL_REVISION, access, everyone);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    EXPECT_EQ(RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
    FreeSid(everyone);
    RegCloseKey(handle);
}
#endif

}  // namespace krav::test
