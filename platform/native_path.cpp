// Path texts to the system's paths: the bytes themselves on POSIX systems, UTF-16 from Windows-1252 on Windows.
#include "platform/native_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace krav::platform {

#ifdef _WIN32

namespace {

constexpr UINT kCodePage = 1252;

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// A path at or beyond the old limit gets the prefix that lifts it: only a whole path from a drive letter or a
// share can have one, and with it the system takes the path literally, so separators are made backslashes
// and "." and ".." resolved first.
std::wstring LongPathForm(std::wstring path) {
    constexpr std::size_t kLimit = 248;  // CreateDirectory's, the smallest of them
    if (path.size() < kLimit || path.starts_with(L"\\\\?\\")) return path;
    const bool drive = path.size() > 2 && path[1] == L':' && IsSeparator(path[2]);
    const bool share = path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    if (!drive && !share) return path;
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    size = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (size == 0 || size >= full.size()) return path;
    full.resize(size);
    // Taken literally, a trailing separator would double the one a folder listing appends.
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    if (share) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

}  // namespace

std::wstring WideText(std::string_view text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    if (size > 0)
        MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string NarrowText(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         "?", nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    if (size > 0)
        WideCharToMultiByte(kCodePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, "?",
                            nullptr);
    return narrow;
}

std::filesystem::path NativePath(std::string_view text) {
    return std::filesystem::path(LongPathForm(WideText(text)));
}

std::string PathText(const std::filesystem::path& path) {
    std::wstring_view wide = path.native();
    // The prefix is the system's business; the program's texts never show it.
    if (wide.starts_with(L"\\\\?\\UNC\\")) return "\\\\" + NarrowText(wide.substr(8));
    if (wide.starts_with(L"\\\\?\\")) wide.remove_prefix(4);
    return NarrowText(wide);
}

std::FILE* OpenFile(std::string_view path, const char* mode) {
    return _wfopen(NativePath(path).c_str(), WideText(mode).c_str());
}

#else

std::filesystem::path NativePath(std::string_view text) {
    return std::filesystem::path(std::string(text));
}

std::string PathText(const std::filesystem::path& path) {
    return path.native();
}

std::FILE* OpenFile(std::string_view path, const char* mode) {
    return std::fopen(std::string(path).c_str(), mode);
}

#endif

}  // namespace krav::platform
