// The ".reg" text files behind Registry: parsing just enough of the format to find string values, and
// rewriting a file so that every line not being changed stays byte for byte as it was.
#include "platform/registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

#include "platform/replace_file.h"

namespace krav::platform {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kOldHeader = "REGEDIT4";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string_view TrimLeft(std::string_view text) {
    std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

// A key path as the store compares it: without separators at either end.
std::string_view NormalKey(std::string_view key) {
    key = Trim(key);
    while (!key.empty() && key.front() == '\\')
        key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    return key;
}

// True when `key` is `ancestor` or lies below it.
bool KeyWithin(std::string_view key, std::string_view ancestor) {
    if (ancestor.empty()) return true;
    if (key.size() < ancestor.size() || !SameName(key.substr(0, ancestor.size()), ancestor)) return false;
    return key.size() == ancestor.size() || key[ancestor.size()] == '\\';
}

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// Reads a quoted text with the format's two escapes from the start of `text`, moving past it. Any other
// backslash stands for itself, as a hand-written path might have it. Nothing when the closing quote is
// missing.
std::optional<std::string> TakeQuoted(std::string_view& text) {
    if (text.empty() || text.front() != '"') return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
            out += text[++i];
        } else if (c == '"') {
            text.remove_prefix(i + 1);
            return out;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

struct ParsedValue {
    std::string name;
    bool isString = false;
    std::string value;
};

// One value line: @= or "name"=, then a quoted string or data of another type. Nothing for any other line.
std::optional<ParsedValue> ParseValueLine(std::string_view line) {
    std::string_view rest = TrimLeft(line);
    ParsedValue parsed;
    if (!rest.empty() && rest.front() == '@') {
        rest.remove_prefix(1);
    } else {
        std::optional<std::string> name = TakeQuoted(rest);
        if (!name) return std::nullopt;
        parsed.name = std::move(*name);
    }
    rest = TrimLeft(rest);
    if (rest.empty() || rest.front() != '=') return std::nullopt;
    rest = Trim(rest.substr(1));
    if (rest.empty()) return std::nullopt;
    if (rest.front() == '"') {
        std::optional<std::string> value = TakeQuoted(rest);
        if (!value || !Trim(rest).empty()) return std::nullopt;
        parsed.isString = true;
        parsed.value = std::move(*value);
    }
    return parsed;
}

struct Section {
    std::size_t line = 0;     // the "[...]" line
    std::size_t bodyEnd = 0;  // one past its last line
    bool ours = false;        // a key of this file's root, not a deletion or a stranger
    std::string key;
};

struct Value {
    std::size_t first = 0, end = 0;  // its lines, continuation lines included
    std::size_t section = 0;
    ParsedValue parsed;
};

// One store file, as lines with their own line ends (a '\r' stays on its line), and what they mean.
struct Document {
    std::vector<std::string> lines;
    std::string newLineEnd = "\r";  // what new lines get before the '\n': the file's own habit
    bool hasHeader = false;
    std::vector<Section> sections;
    std::vector<Value> values;
};

std::string_view Content(const std::string& line) {
    std::string_view text = line;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    return text;
}

std::optional<Section> ParseSection(std::string_view text, RootKey root) {
    std::string_view t = Trim(text);
    if (t.empty() || t.front() != '[') return std::nullopt;
    Section section;
    if (t.back() == ']') {
        std::string_view inner = t.substr(1, t.size() - 2);
        std::string_view rootName = RootKeyName(root);
        if (KeyWithin(inner, rootName)) {
            section.ours = true;
            section.key = std::string(NormalKey(inner.substr(rootName.size())));
        }
    }
    return section;
}

void Analyse(Document& doc, RootKey root) {
    doc.sections.clear();
    doc.values.clear();
    doc.hasHeader = false;
    bool sawContent = false;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        std::string_view text = Content(doc.lines[i]);
        if (!sawContent && !Trim(text).empty()) {
            sawContent = true;
            std::string_view t = Trim(text);
            if (t == kHeader || t == kOldHeader) {
                doc.hasHeader = true;
                continue;
            }
        }
        if (std::optional<Section> section = ParseSection(text, root)) {
            if (!doc.sections.empty()) doc.sections.back().bodyEnd = i;
            section->line = i;
            section->bodyEnd = doc.lines.size();
            doc.sections.push_back(std::move(*section));
            continue;
        }
        if (doc.sections.empty() || !doc.sections.back().ours) continue;
        std::optional<ParsedValue> parsed = ParseValueLine(text);
        if (!parsed) continue;
        Value value;
        value.first = i;
        value.section = doc.sections.size() - 1;
        // Data of other types may run over several lines, each but the last ending in a backslash.
        if (!parsed->isString) {
            while (Trim(Content(doc.lines[i])).ends_with('\\') && i + 1 < doc.lines.size() &&
                   !Trim(Content(doc.lines[i + 1])).starts_with('['))
                ++i;
        }
        value.end = i + 1;
        value.parsed = std::move(*parsed);
        doc.values.push_back(std::move(value));
    }
}

enum class LoadResult { Loaded, Missing, Unreadable };

LoadResult Load(const std::string& path, RootKey root, Document& doc) {
    std::error_code ec;
    fs::file_status status = fs::status(fs::path(path), ec);
    if (status.type() == fs::file_type::not_found) return LoadResult::Missing;
    if (ec || status.type() != fs::file_type::regular) return LoadResult::Unreadable;
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) return LoadResult::Unreadable;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return LoadResult::Unreadable;
    const std::string content = buffer.str();
    // A file with NUL bytes is not text of this format (an export in UTF-16, say); it is left alone.
    if (content.find('\0') != std::string::npos) return LoadResult::Unreadable;

    bool sawLineEnd = false, sawCarriageReturn = false;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            doc.lines.push_back(content.substr(start));
            break;
        }
        doc.lines.push_back(content.substr(start, end - start));
        if (!sawLineEnd) {
            sawLineEnd = true;
            sawCarriageReturn = end > start && content[end - 1] == '\r';
        }
        start = end + 1;
    }
    if (sawLineEnd && !sawCarriageReturn) doc.newLineEnd.clear();
    Analyse(doc, root);
    return LoadResult::Loaded;
}

// The store's folder is made on first use; the file itself is replaced whole.
bool ReplaceFile(const std::string& path, const std::string& text) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    return !ec && ReplaceFileWith(path, text);
}

bool Save(const std::string& path, Document& doc) {
    if (!doc.hasHeader) {
        doc.lines.insert(doc.lines.begin(), {std::string(kHeader) + doc.newLineEnd, doc.newLineEnd});
    }
    std::string text;
    for (const std::string& line : doc.lines)
        text.append(line).append("\n");
    return ReplaceFile(path, text);
}

void AppendSection(Document& doc, RootKey root, std::string_view key) {
    if (!doc.lines.empty() && !Trim(Content(doc.lines.back())).empty()) doc.lines.push_back(doc.newLineEnd);
    std::string header(1, '[');
    header.append(RootKeyName(root));
    if (!key.empty()) header.append("\\").append(key);
    header.append("]").append(doc.newLineEnd);
    doc.lines.push_back(std::move(header));
}

bool Unwritable(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool KeyExistsIn(const Document& doc, std::string_view key) {
    if (key.empty()) return true;
    for (const Section& section : doc.sections) {
        if (section.ours && KeyWithin(section.key, key)) return true;
    }
    return false;
}

// The value as the store would import it: the last line of that name in any section of the key.
const Value* FindValue(const Document& doc, std::string_view key, std::string_view name) {
    const Value* found = nullptr;
    for (const Value& value : doc.values) {
        if (SameName(doc.sections[value.section].key, key) && SameName(value.parsed.name, name))
            found = &value;
    }
    return found;
}

}  // namespace

const char* RootKeyName(RootKey root) {
    return root == RootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

std::string RegistryFolder() {
    if (const char* dir = std::getenv("KRAV_REGISTRY_DIR"); dir != nullptr && *dir != '\0') return dir;
    // XDG asks for a relative value to be ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/')
        return (fs::path(config) / "krav" / "registry").string();
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return (fs::path(home) / ".config" / "krav" / "registry").string();
    return {};
}

std::string RegistryFile(RootKey root) {
    std::string folder = RegistryFolder();
    if (folder.empty()) return {};
    return (fs::path(folder) / (std::string(RootKeyName(root)) + ".reg")).string();
}

bool Registry::OpenKey(std::string_view key, bool canCreate) {
    open_ = false;
    const std::string path = RegistryFile(root_);
    if (path.empty()) return false;
    const std::string_view wanted = NormalKey(key);
    Document doc;
    LoadResult loaded = Load(path, root_, doc);
    if (loaded == LoadResult::Unreadable) return false;
    if (!KeyExistsIn(doc, wanted)) {
        if (!canCreate) return false;
        AppendSection(doc, root_, wanted);
        if (!Save(path, doc)) return false;
    }
    key_ = std::string(wanted);
    open_ = true;
    return true;
}

bool Registry::KeyExists(std::string_view key) const {
    const std::string path = RegistryFile(root_);
    Document doc;
    return !path.empty() && Load(path, root_, doc) == LoadResult::Loaded && KeyExistsIn(doc, NormalKey(key));
}

std::string Registry::ReadString(std::string_view name) const {
    if (!open_) return {};
    Document doc;
    if (Load(RegistryFile(root_), root_, doc) != LoadResult::Loaded) return {};
    const Value* value = FindValue(doc, key_, name);
    return value != nullptr && value->parsed.isString ? value->parsed.value : std::string();
}

bool Registry::ValueExists(std::string_view name) const {
    if (!open_) return false;
    Document doc;
    if (Load(RegistryFile(root_), root_, doc) != LoadResult::Loaded) return false;
    const Value* value = FindValue(doc, key_, name);
    return value != nullptr && value->parsed.isString;
}

bool Registry::WriteString(std::string_view name, std::string_view value) {
    if (!open_ || Unwritable(name) || Unwritable(value)) return false;
    const std::string path = RegistryFile(root_);
    Document doc;
    if (path.empty() || Load(path, root_, doc) == LoadResult::Unreadable) return false;
    const std::string line =
        (name.empty() ? std::string("@") : Quote(name)) + "=" + Quote(value) + doc.newLineEnd;

    std::vector<const Value*> same;
    for (const Value& v : doc.values) {
        if (SameName(doc.sections[v.section].key, key_) && SameName(v.parsed.name, name)) same.push_back(&v);
    }
    if (!same.empty()) {
        // Every line of that name takes the new value, so that whichever one a reader trusts agrees.
        for (auto it = same.rbegin(); it != same.rend(); ++it) {
            const Value& v = **it;
            std::string kept =
                name.empty() ? line : Quote(v.parsed.name) + "=" + Quote(value) + doc.newLineEnd;
            doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(v.first + 1),
                            doc.lines.begin() + static_cast<std::ptrdiff_t>(v.end));
            doc.lines[v.first] = std::move(kept);  // the name keeps the spelling it had
        }
    } else {
        const Section* last = nullptr;
        for (const Section& section : doc.sections) {
            if (section.ours && SameName(section.key, key_)) last = &section;
        }
        if (last == nullptr) {
            // The key's section was removed by hand while the key was open: it comes back with the value.
            AppendSection(doc, root_, key_);
            doc.lines.push_back(line);
        } else {
            std::size_t at = last->bodyEnd;
            while (at > last->line + 1 && Trim(Content(doc.lines[at - 1])).empty())
                --at;
            doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(at), line);
        }
    }
    return Save(path, doc);
}

}  // namespace krav::platform
