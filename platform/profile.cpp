// INI file reading and writing.
#include "platform/profile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <unordered_map>

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

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

// A line that names a key: no comment, an "=" in it.
bool HoldsKey(std::string_view line) {
    return !IsComment(line) && line.find('=') != std::string_view::npos;
}

// Sets keys in the lines of a file, one after another: a key is replaced in the first section of its name,
// where its first line keeps its spelling; a new key goes after the section's last non-blank line; a
// missing section is added at the end, after a blank line. The file is cut into sections once and each
// section's keys are found through a hash, so the work grows with the lines and the entries, not with
// their product.
void SetEntries(std::vector<std::string>& lines, const std::function<void(const Profile::EntrySink&)>& entries) {
    struct Section {
        std::optional<std::string> header;  // none for the lines before the first section
        std::vector<std::string> body;      // up to the last non-blank line; new keys go below it
        std::vector<std::string> blanks;    // the blank lines after it
        bool indexed = false;
    };
    std::vector<Section> sections(1);
    for (std::string& line : lines) {
        if (SectionName(line)) {
            sections.emplace_back().header = std::move(line);
        } else {
            sections.back().body.push_back(std::move(line));
        }
    }
    std::unordered_map<std::string, std::size_t> sectionOf;  // the first section of each name, folded
    for (std::size_t i = 0; i < sections.size(); ++i) {
        Section& s = sections[i];
        std::size_t last = s.body.size();
        while (last > 0 && Trim(s.body[last - 1]).empty())
            --last;
        s.blanks.assign(std::make_move_iterator(s.body.begin() + static_cast<std::ptrdiff_t>(last)),
                        std::make_move_iterator(s.body.end()));
        s.body.resize(last);
        if (s.header) sectionOf.try_emplace(Folded(*SectionName(*s.header)), i);
    }

    // Keys of a section that has grown beyond a few lines are found through one hash over all sections: its
    // number, then the folded key. The first line of a key is the one that counts.
    constexpr std::size_t kScanned = 32;
    std::unordered_map<std::string, std::size_t> keyLine;
    auto keyId = [](std::size_t section, std::string_view key) {
        std::string id(reinterpret_cast<const char*>(&section), sizeof section);
        return id + Folded(key);
    };
    auto remember = [&](std::size_t section, std::size_t line) {
        const std::string& text = sections[section].body[line];
        if (HoldsKey(text)) keyLine.try_emplace(keyId(section, KeyOf(text)), line);
    };
    auto find = [&](std::size_t section, std::string_view key) -> std::optional<std::size_t> {
        Section& s = sections[section];
        if (!s.indexed && s.body.size() > kScanned) {
            s.indexed = true;
            for (std::size_t line = 0; line < s.body.size(); ++line)
                remember(section, line);
        }
        if (s.indexed) {
            auto it = keyLine.find(keyId(section, key));
            if (it == keyLine.end()) return std::nullopt;
            return it->second;
        }
        for (std::size_t line = 0; line < s.body.size(); ++line)
            if (HoldsKey(s.body[line]) && SameName(KeyOf(s.body[line]), key)) return line;
        return std::nullopt;
    };

    std::optional<std::size_t> lastSection;  // where the entry before went, when it found its section
    std::string lastName;
    entries([&](std::string_view eSection, std::string_view eKey, std::string_view value) {
        std::string entry = std::string(eKey) + "=" + std::string(value);
        // Keys of one section mostly come together: the section of the last entry is tried first.
        if (!lastSection || eSection != lastName) {
            auto it = sectionOf.find(Folded(eSection));
            lastSection = it == sectionOf.end() ? std::nullopt : std::optional<std::size_t>(it->second);
            lastName = eSection;
        }
        if (!lastSection) {
            // The file's last line decides the blank line before the new section.
            const Section& last = sections.back();
            const bool lastIsBlank = !last.blanks.empty() ||
                                     (last.body.empty() && !last.header);  // a file without lines
            if (!lastIsBlank) sections.back().blanks.emplace_back();
            Section& added = sections.emplace_back();
            added.header = "[" + std::string(eSection) + "]";
            added.body.push_back(std::move(entry));
            sectionOf.try_emplace(Folded(*SectionName(*added.header)), sections.size() - 1);
            lastSection.reset();
            return;
        }
        const std::size_t section = *lastSection;
        Section& s = sections[section];
        if (std::optional<std::size_t> line = find(section, eKey)) {
            std::string& text = s.body[*line];
            text = std::string(KeyOf(text)) + "=" + std::string(value);  // keeps the key's spelling
        } else {
            s.body.push_back(std::move(entry));
            if (s.indexed) remember(section, s.body.size() - 1);
        }
    });

    lines.clear();
    for (Section& s : sections) {
        if (s.header) lines.push_back(std::move(*s.header));
        for (std::string& line : s.body)
            lines.push_back(std::move(line));
        for (std::string& line : s.blanks)
            lines.push_back(std::move(line));
    }
}

}  // namespace

ProfileData::ProfileData(const std::string& path) {
    std::optional<std::vector<std::string>> lines = ReadLines(path);
    if (!lines) return;
    lines_ = std::move(*lines);
    // Only the first section of a name is ever read; in it, the first line of a key.
    std::pair<std::size_t, std::size_t>* reading = nullptr;  // the body being read, lines [first, second)
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (std::optional<std::string_view> name = SectionName(lines_[i])) {
            auto [it, first] = sections_.try_emplace(Folded(*name), i + 1, i + 1);
            reading = first ? &it->second : nullptr;
            continue;
        }
        if (reading == nullptr) continue;
        reading->second = i + 1;
        if (HoldsKey(lines_[i])) keys_.try_emplace(KeyId(reading->first, KeyOf(lines_[i])), i);
    }
}

std::string ProfileData::KeyId(std::size_t body, std::string_view key) {
    std::string id(reinterpret_cast<const char*>(&body), sizeof body);
    return id + Folded(key);
}

std::string ProfileData::ReadString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
    auto s = sections_.find(Folded(section));
    if (s == sections_.end()) return std::string(fallback);
    auto k = keys_.find(KeyId(s->second.first, key));
    if (k == keys_.end()) return std::string(fallback);
    const std::string& line = lines_[k->second];
    std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::vector<std::string> ProfileData::KeyNames(std::string_view section) const {
    std::vector<std::string> keys;
    auto s = sections_.find(Folded(section));
    if (s == sections_.end()) return keys;
    for (std::size_t i = s->second.first; i < s->second.second; ++i) {
        if (IsComment(lines_[i])) continue;
        std::string_view key = KeyOf(lines_[i]);
        if (!key.empty()) keys.emplace_back(key);
    }
    return keys;
}

std::string Profile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    return ProfileData(path_).ReadString(section, key, fallback);
}

std::vector<std::string> Profile::KeyNames(std::string_view section) const {
    return ProfileData(path_).KeyNames(section);
}

bool Profile::WriteString(std::string_view section, std::string_view key, std::string_view value) const {
    return WriteStrings({{std::string(section), std::string(key), std::string(value)}});
}

bool Profile::WriteStrings(const std::vector<Entry>& entries) const {
    return WriteStrings([&entries](const EntrySink& set) {
        for (const Entry& e : entries)
            set(e.section, e.key, e.value);
    });
}

bool Profile::WriteStrings(const std::function<void(const EntrySink&)>& entries) const {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> lines;
    if (fs::exists(NativePath(path_), ec)) {
        std::optional<std::vector<std::string>> existing = ReadLines(path_);
        if (!existing) return false;  // never replace a file that could not be read
        lines = std::move(*existing);
    }
    SetEntries(lines, entries);

    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return ReplaceFileWith(path_, text);
}

}  // namespace krav::platform
