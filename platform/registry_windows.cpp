// Registry on Windows: the system's registry. Every call opens the key afresh and closes it again, so nothing
// stays open between operations and changes made meanwhile by another program are seen.
#include "platform/registry.h"

#include <windows.h>

#include "platform/native_path.h"

namespace krav::platform {

namespace {

// The family's tools and the game are 32-bit programs; their keys under the local machine live in the
// 32-bit view, which a 64-bit program must ask for.
constexpr REGSAM kView = KEY_WOW64_32KEY;

HKEY RootHandle(RootKey root) {
    return root == RootKey::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// A key path as the system takes it: without blanks around it and without separators at either end.
std::string_view NormalKey(std::string_view key) {
    while (!key.empty() && (key.front() == ' ' || key.front() == '\t' || key.front() == '\\'))
        key.remove_prefix(1);
    while (!key.empty() && (key.back() == ' ' || key.back() == '\t' || key.back() == '\\'))
        key.remove_suffix(1);
    return key;
}

bool Unwritable(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// An open handle that closes itself.
class Key {
public:
    Key() = default;
    ~Key() {
        if (handle_ != nullptr) RegCloseKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Open(RootKey root, std::string_view path, REGSAM access) {
        return RegOpenKeyExW(RootHandle(root), WideText(path).c_str(), 0, access | kView, &handle_) ==
               ERROR_SUCCESS;
    }
    bool Create(RootKey root, std::string_view path, REGSAM access) {
        return RegCreateKeyExW(RootHandle(root), WideText(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               access | kView, nullptr, &handle_, nullptr) == ERROR_SUCCESS;
    }
    HKEY get() const { return handle_; }

private:
    HKEY handle_ = nullptr;
};

// The string value, or nothing when it is missing, not a string or cannot be read.
bool QueryString(HKEY key, std::string_view name, std::string* out) {
    const std::wstring wideName = WideText(name);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
        if (type != REG_SZ) return false;
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        LONG result = RegQueryValueExW(key, wideName.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(data.data()), &got);
        if (result == ERROR_MORE_DATA) continue;  // changed in between: ask again
        if (result != ERROR_SUCCESS || type != REG_SZ) return false;
        data.resize(got / sizeof(wchar_t));
        // The stored text may or may not carry its terminating NUL; it ends at the first one.
        if (std::size_t nul = data.find(L'\0'); nul != std::wstring::npos) data.resize(nul);
        if (out != nullptr) *out = NarrowText(data);
        return true;
    }
    return false;
}

}  // namespace

const char* RootKeyName(RootKey root) {
    return root == RootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

bool Registry::OpenKey(std::string_view key, bool canCreate) {
    open_ = false;
    const std::string_view wanted = NormalKey(key);
    Key handle;
    // A key the user may only read (the game's registration under the local machine, for one) still opens,
    // so its values can be read; writing to it fails and is skipped like any registry failure.
    bool opened = canCreate ? handle.Create(root_, wanted, KEY_READ | KEY_WRITE)
                            : handle.Open(root_, wanted, KEY_READ | KEY_WRITE);
    if (!opened) {
        Key readOnly;
        opened = readOnly.Open(root_, wanted, KEY_READ);
    }
    if (!opened) return false;
    key_ = std::string(wanted);
    open_ = true;
    return true;
}

bool Registry::KeyExists(std::string_view key) const {
    Key handle;
    return handle.Open(root_, NormalKey(key), KEY_READ);
}

std::string Registry::ReadString(std::string_view name) const {
    std::string value;
    Key handle;
    if (!open_ || !handle.Open(root_, key_, KEY_QUERY_VALUE) || !QueryString(handle.get(), name, &value))
        return {};
    return value;
}

bool Registry::ValueExists(std::string_view name) const {
    Key handle;
    return open_ && handle.Open(root_, key_, KEY_QUERY_VALUE) && QueryString(handle.get(), name, nullptr);
}

bool Registry::WriteString(std::string_view name, std::string_view value) {
    // The same texts are refused as where the registry is a text file, so that both systems keep the same.
    if (!open_ || Unwritable(name) || Unwritable(value)) return false;
    Key handle;
    if (!handle.Open(root_, key_, KEY_SET_VALUE)) return false;
    const std::wstring data = WideText(value);
    return RegSetValueExW(handle.get(), WideText(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace krav::platform
