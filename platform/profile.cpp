// INI file reading and writing.
#include "platform/profile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "platform/native_path.h"
#include "platform/replace_file.h"

namespace krav::platform {

namespace {

constexpr std::string_view kWhitespace = " \t\r\n\f\v";

std::string_view Trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(kWhitespace);
    return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The file as lines without their line ends; nothing when it cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    std::string_view t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    std::size_t close = t.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    std::string_view t = Trim(line);
    return t.empty() || t.front() == ';';
}

std::string_view KeyOf(std::string_view line) {
    std::size_t eq = line.find('=');
    return Trim(eq == std::string_view::npos ? line : line.substr(0, eq));
}

// Index range [begin, end) of the body of the first section of that name; begin is npos when absent.
std::pair<std::size_t, std::size_t> FindSection(const std::vector<std::string>& lines,
                                                std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::optional<std::string_view> name = SectionName(lines[i]);
        if (!name || !SameName(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end]))
            ++end;
        return {i + 1, end};
    }
    return {std::string::npos, std::string::npos};
}

// Sets one key in the lines of a file, adding the section at the end when it is missing.
void SetEntry(std::vector<std::string>& lines, std::string_view section, std::string_view key,
              std::string_view value) {
    const std::string entry = std::string(key) + "=" + std::string(value);
    auto [begin, end] = FindSection(lines, section);
    if (begin == std::string::npos) {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(entry);
    } else {
        bool replaced = false;
        for (std::size_t i = begin; i < end && !replaced; ++i) {
            if (!IsComment(lines[i]) && lines[i].find('=') != std::string::npos &&
                SameName(KeyOf(lines[i]), key)) {
                lines[i] =
                    std::string(KeyOf(lines[i])) + "=" + std::string(value);  // keeps the key's spelling
                replaced = true;
            }
        }
        if (!replaced) {
            // After the section's last non-blank line.
            std::size_t at = end;
            while (at > begin && Trim(lines[at - 1]).empty())
                --at;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
        }
    }
}

}  // namespace

std::string Profile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    std::optional<std::vector<std::string>> lines = ReadLines(path_);
    if (!lines) return std::string(fallback);
    auto [begin, end] = FindSection(*lines, section);
    if (begin == std::string::npos) return std::string(fallback);
    for (std::size_t i = begin; i < end; ++i) {
        const std::string& line = (*lines)[i];
        std::size_t eq = line.find('=');
        if (IsComment(line) || eq == std::string::npos || !SameName(KeyOf(line), key)) continue;
        std::string_view value = Trim(std::string_view(line).substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return std::string(value);
    }
    return std::string(fallback);
}

std::vector<std::string> Profile::KeyNames(std::string_view section) const {
    std::vector<std::string> keys;
    std::optional<std::vector<std::string>> lines = ReadLines(path_);
    if (!lines) return keys;
    auto [begin, end] = FindSection(*lines, section);
    if (begin == std::string::npos) return keys;
    for (std::size_t i = begin; i < end; ++i) {
        if (IsComment((*lines)[i])) continue;
        std::string_view key = KeyOf((*lines)[i]);
        if (!key.empty()) keys.emplace_back(key);
    }
    return keys;
}

bool Profile::WriteString(std::string_view section, std::string_view key, std::string_view value) const {
    return WriteStrings({{std::string(section), std::string(key), std::string(value)}});
}

bool Profile::WriteStrings(const std::vector<Entry>& entries) const {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> lines;
    if (fs::exists(NativePath(path_), ec)) {
        std::optional<std::vector<std::string>> existing = ReadLines(path_);
        if (!existing) return false;  // never replace a file that could not be read
        lines = std::move(*existing);
    }
    for (const Entry& e : entries)
        SetEntry(lines, e.section, e.key, e.value);

    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return ReplaceFileWith(path_, text);
}

}  // namespace krav::platform
