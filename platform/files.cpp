// Case-insensitive lookups and wildcard listings over std::filesystem.
#include "platform/files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/native_path.h"

namespace krav::platform {

namespace {

namespace fs = std::filesystem;

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Fold(x) == Fold(y); });
}

bool IsKind(const fs::path& path, EntryKind kind) {
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);  // follows links, as opening the file would
    if (ec) return false;
    return kind == EntryKind::File ? fs::is_regular_file(status) : fs::is_directory(status);
}

// The names in a folder with their paths. On Windows through FindFirstFileW, which takes the long-path form
// that the C++ library's folder listing does not.
struct Entry {
    std::string name;
    fs::path path;
};
std::vector<Entry> ListFolder(const fs::path& folder) {
    std::vector<Entry> entries;
#ifdef _WIN32
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder.native() + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") entries.push_back({NarrowText(name), folder / name});
    } while (FindNextFileW(find, &data));
    FindClose(find);
#else
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back({PathText(it->path().filename()), it->path()});
#endif
    return entries;
}

}  // namespace

std::optional<std::string> FindNameNoCase(std::string_view folder, std::string_view name, EntryKind kind) {
    if (folder.empty() || name.empty()) return std::nullopt;
    const fs::path base = NativePath(folder);
#ifndef _WIN32
    // Windows would find any spelling this way; there the listing below tells the one on disk.
    if (IsKind(base / std::string(name), kind)) return std::string(name);
#endif
    std::vector<std::string> matches;
    for (Entry& entry : ListFolder(base)) {
        if (SameName(entry.name, name) && IsKind(entry.path, kind)) matches.push_back(std::move(entry.name));
    }
    if (matches.empty()) return std::nullopt;
    return *std::min_element(matches.begin(), matches.end());  // the same one on every call
}

std::optional<std::string> FindPathNoCase(std::string_view base, std::string_view relative, EntryKind kind) {
    std::string path(base);
    while (!relative.empty()) {
        std::size_t slash = relative.find('/');
        std::string_view name = relative.substr(0, slash);
        relative = slash == std::string_view::npos ? std::string_view() : relative.substr(slash + 1);
        if (name.empty()) continue;
        std::optional<std::string> found =
            FindNameNoCase(path, name, relative.empty() ? kind : EntryKind::Folder);
        if (!found) return std::nullopt;
        path = PathText(NativePath(path) / NativePath(*found));
    }
    return path;
}

bool WildcardMatchNoCase(std::string_view pattern, std::string_view name) {
    // Greedy matching with one remembered star: linear for the patterns a folder listing uses.
    std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> ListFiles(std::string_view folder, std::string_view pattern) {
    std::vector<std::string> names;
    if (folder.empty()) return names;
    for (Entry& entry : ListFolder(NativePath(folder))) {
        if (WildcardMatchNoCase(pattern, entry.name) && IsKind(entry.path, EntryKind::File))
            names.push_back(std::move(entry.name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string WinePrefix() {
#ifdef _WIN32
    return {};  // Windows itself: the game's registration is the only place to look
#endif
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') return prefix;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return (fs::path(home) / ".wine").string();
    return {};
}

}  // namespace krav::platform
