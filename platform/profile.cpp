// INI file reading and writing. A file is read into one buffer and cut into sections once; lines are views
// into that buffer, sections and keys are found through open-addressing hashes over their bytes folded on
// the fly, and a write builds the new file in one pass over the old one with the lines that changed.
#include "platform/profile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "platform/folded_bytes.h"
#include "platform/large_pages.h"
#include "platform/native_path.h"
#include "platform/replace_file.h"

namespace krav::platform {

namespace {

// A blank, tab, line feed, vertical tab, form feed or carriage return.
bool IsWhitespace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Every key a write looks for trims a line or two: a plain loop, not a search of the set per character.
std::string_view Trim(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsWhitespace(text[first]))
        ++first;
    while (last > first && IsWhitespace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

// Eight folded bytes at a time: a friends file hashes millions of names.
std::uint32_t FoldedHash(std::string_view text, std::uint64_t seed = 0) {
    constexpr std::uint64_t kMix = 0x9e3779b97f4a7c15ull;
    std::uint64_t h = 0xcbf29ce484222325ull ^ (seed * kMix) ^ text.size();
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        h = (h ^ FoldEight(LoadEight(text.data() + i))) * kMix;
        h ^= h >> 29;
    }
    for (; i < text.size(); ++i)
        h = (h ^ static_cast<unsigned char>(Fold(text[i]))) * 0x100000001b3ull;
    h *= kMix;
    h ^= h >> 29;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

// The whole file; nothing when it cannot be read (a folder cannot).
std::optional<LargeString> ReadWhole(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(NativePath(path), ec)) return std::nullopt;
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return std::nullopt;
    // The size is a hint: the file is read to its end whatever it has become meanwhile.
    in.seekg(0, std::ios::end);
    const std::streamoff hint = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in) return std::nullopt;
    const std::size_t block = static_cast<std::size_t>(std::max<std::streamoff>(hint, 0)) + 4096;
    LargeString text;  // a friends file runs to a hundred megabytes, its sections looked up in no order
    std::size_t have = 0;
    while (in) {
        text.resize(have + block);
        in.read(text.data() + have, static_cast<std::streamsize>(block));
        have += static_cast<std::size_t>(in.gcount());
    }
    if (in.bad()) return std::nullopt;
    text.resize(have);
    return text;
}

// The line starting at `p`, without its line end ("\n", one "\r" before it dropped); `p` moves past it.
std::string_view NextLine(const char*& p, const char* end) {
    const char* start = p;
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* stop = nl ? nl : end;
    p = nl ? nl + 1 : end;
    if (stop > start && stop[-1] == '\r') --stop;
    return {start, static_cast<std::size_t>(stop - start)};
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

// The key a line names: the text before its first "=", trimmed, for a line that is no comment and holds an
// "=". Nothing for any other line.
std::optional<std::string_view> KeyIn(std::string_view line) {
    std::size_t first = 0;
    while (first < line.size() && IsWhitespace(line[first]))
        ++first;
    if (first == line.size() || line[first] == ';') return std::nullopt;  // blank or a comment
    std::size_t eq = first;
    while (eq < line.size() && line[eq] != '=')
        ++eq;
    if (eq == line.size()) return std::nullopt;
    while (eq > first && IsWhitespace(line[eq - 1]))
        --eq;
    return line.substr(first, eq - first);
}

// Stable storage for the lines a write makes, in large blocks: the first small, for the many files that
// change a few lines, the others in large pages, for a friends file that gains millions.
class Arena {
public:
    std::string_view Join(std::initializer_list<std::string_view> parts) { return Put(0, parts); }
    // Join with a byte before the text, for a number of the caller's (see SetTag and Tag).
    std::string_view JoinTagged(std::initializer_list<std::string_view> parts) { return Put(kTag, parts); }
    static void SetTag(std::string_view text, std::uint8_t tag) {
        const_cast<char*>(text.data())[-1] = static_cast<char>(tag);  // the arena's own, writable memory
    }
    static std::uint8_t Tag(const char* text) { return static_cast<std::uint8_t>(text[-1]); }

private:
    static constexpr std::size_t kTag = 1;
    static constexpr std::size_t kFirstBlock = std::size_t{256} << 10;

    std::string_view Put(std::size_t before, std::initializer_list<std::string_view> parts) {
        std::size_t size = 0;
        for (std::string_view part : parts)
            size += part.size();
        if (before + size > room_) {
            const std::size_t block = std::max(before + size, blocks_.empty() ? kFirstBlock : kLargeBlock);
            std::unique_ptr<char[], Free> fresh(static_cast<char*>(AllocateLarge(block)), Free{block});
            blocks_.push_back(std::move(fresh));
            next_ = blocks_.back().get();
            room_ = block;
        }
        char* const start = next_ + before;
        next_ = start;
        for (std::string_view part : parts) {
            if (!part.empty()) std::memcpy(next_, part.data(), part.size());
            next_ += part.size();
        }
        room_ -= before + size;
        return {start, size};
    }

    struct Free {
        std::size_t size;
        void operator()(char* block) const noexcept { FreeLarge(block, size); }
    };
    std::vector<std::unique_ptr<char[], Free>> blocks_;
    char* next_ = nullptr;
    std::size_t room_ = 0;
};

// A growing array that never moves what it holds, kept in blocks: growing it neither copies it nor touches
// twice the memory it ends up using. The first block is small, for the many files that change a few lines;
// the others hold 2 MB or more each, in large pages, for a friends file that gains millions of lines (a
// page fault for every 4 KB of those costs more than the lines themselves).
template <typename T>
class BlockVector {
public:
    T& operator[](std::size_t i) { return i < kFirst ? blocks_[0][i] : Later(i); }
    const T& operator[](std::size_t i) const { return i < kFirst ? blocks_[0][i] : Later(i); }
    std::size_t size() const { return size_; }
    T& back() { return (*this)[size_ - 1]; }
    void push_back(const T& item) {
        if (size_ == 0 || (size_ >= kFirst && ((size_ - kFirst) & kMask) == 0)) {
            blocks_.emplace_back();
            blocks_.back().reserve(size_ == 0 ? kFirst : kBlock);  // pages are only touched as items arrive
        }
        blocks_.back().push_back(item);
        ++size_;
    }

private:
    static constexpr std::size_t kFirst = std::size_t{1} << 12;
    static constexpr std::size_t ShiftFor(std::size_t bytes) {
        std::size_t shift = 0;
        while ((sizeof(T) << shift) < bytes)
            ++shift;
        return shift;
    }
    static constexpr std::size_t kShift = ShiftFor(kLargeBlock), kBlock = std::size_t{1} << kShift,
                                 kMask = kBlock - 1;
    const T& Later(std::size_t i) const {
        const std::size_t j = i - kFirst;
        return blocks_[1 + (j >> kShift)][j & kMask];
    }
    T& Later(std::size_t i) { return const_cast<T&>(std::as_const(*this).Later(i)); }

    std::vector<LargeVector<T>> blocks_;
    std::size_t size_ = 0;
};

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

// The lines of a file being built, written to it a megabyte at a time.
class FileLines final : public ProfileEdit::LineOut {
public:
    explicit FileLines(ReplacementFile& file) : file_(file), buffer_(new char[kBlockSize]) {
        next_ = buffer_.get();
        end_ = next_ + kBlockSize;
    }
    // Writes what is left; false when any write failed.
    bool Finish() {
        Flush();
        return ok_;
    }

private:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
    void Flush() {
        if (next_ == buffer_.get()) return;
        ok_ = file_.Write({buffer_.get(), static_cast<std::size_t>(next_ - buffer_.get())}) && ok_;
        next_ = buffer_.get();
    }
    void PutLong(ProfileEdit::LineParts parts) override {
        Flush();
        std::size_t size = 2;
        for (std::string_view part : parts)
            size += part.size();
        if (size <= kBlockSize) {
            Put(parts);
            return;
        }
        // Longer than the buffer: straight to the file.
        for (std::string_view part : parts)
            ok_ = file_.Write(part) && ok_;
        ok_ = file_.Write("\r\n") && ok_;
    }

    ReplacementFile& file_;
    std::unique_ptr<char[]> buffer_;
    bool ok_ = true;
};

}  // namespace

// A profile file cut into sections, with the changes of a write kept beside the text until the new file is
// built. Only the first section of a name is ever read or written; in it, only the first line of a key.
class ProfileText {
public:
    explicit ProfileText(LargeString text) : text_(std::move(text)) {
        const char* p = text_.data();
        const char* end = p + text_.size();
        sections_.push_back({{}, p, p, p});
        while (p < end) {
            const char* start = p;
            std::string_view line = NextLine(p, end);
            // Most lines are keys: neither blank nor a header, as their first character tells.
            if (!line.empty() && line[0] != '[' && !IsWhitespace(line[0])) {
                sections_.back().bodyEnd = p;
                continue;
            }
            if (std::optional<std::string_view> name = SectionName(line)) {
                sections_.back().end = start;
                sections_.push_back({line, p, p, p});
                AddSectionName(*name, static_cast<std::uint32_t>(sections_.size() - 1));
            } else if (!Trim(line).empty()) {
                sections_.back().bodyEnd = p;
            }
        }
        sections_.back().end = end;
    }

    // Ask for the slot that FindSection of the name will read first, or FindKey of the key in the section
    // `s` when its keys are hashed, before it is needed (see ProfileEdit::AskSection). Nothing changes.
    void AskSection(std::string_view name) const {
        if (!sectionSlots_.empty()) Prefetch(&sectionSlots_[FoldedHash(name) & sectionMask_]);
    }
    void AskKey(std::uint32_t s, std::string_view key) const {
        if (sections_[s].indexed && !keySlots_.empty()) Prefetch(&keySlots_[KeyHash(s, key) & keyMask_]);
    }
    // The lines SetIn looks at first in a section SetKeys made (see SetIn).
    void AskMade(std::uint32_t s) const {
        const Section& section = sections_[s];
        if (section.made == 0) return;
        Prefetch(&appended_[section.firstAppended + section.made - 1]);
        // Made one after another, the lines run on in the arena from the first one's tag: a who entry's
        // six take about a hundred bytes.
        const auto text = reinterpret_cast<std::uintptr_t>(appended_[section.firstAppended].data) - 1;
        for (std::uintptr_t at = 0; at < 192; at += 64)
            Prefetch(reinterpret_cast<const void*>(text + at));
    }

    // The first section of the name (compared without case), or kNone.
    std::uint32_t FindSection(std::string_view name) const {
        if (sectionSlots_.empty()) return kNone;
        const std::uint32_t hash = FoldedHash(name);
        for (std::size_t i = hash & sectionMask_;; i = (i + 1) & sectionMask_) {
            const NameSlot& slot = sectionSlots_[i];
            if (slot.section == kNone) return kNone;
            if (slot.hash == hash && SameName(*SectionName(sections_[slot.section].header), name))
                return slot.section;
        }
    }

    // The first line of the key in the section (see Line), or kNoLine.
    std::uint64_t FindKey(std::uint32_t section, std::string_view key) {
        Section& s = sections_[section];
        if (!s.indexed) {
            std::size_t scanned = 0;
            std::uint64_t found = kNoLine;
            ForEachLine(s, [&](std::uint64_t ref, std::string_view line) {
                ++scanned;
                if (const std::optional<std::string_view> named = KeyOfLine(ref, line);
                    named && SameName(*named, key)) {
                    found = ref;
                    return false;
                }
                return true;
            });
            // A section of many keys is worth a hash: a long scan is made once.
            if (scanned > kScanned) Index(section);
            return found;
        }
        if (keySlots_.empty()) return kNoLine;
        const std::uint32_t hash = KeyHash(section, key);
        for (std::size_t i = hash & keyMask_;; i = (i + 1) & keyMask_) {
            const KeySlot& slot = keySlots_[i];
            if (slot.section == kNone) return kNoLine;
            if (slot.hash == hash && slot.section == section && SameName(KeyOf(Line(slot.line)), key))
                return slot.line;
        }
    }

    bool HasKey(std::uint32_t section, std::string_view key) { return FindKey(section, key) != kNoLine; }

    // Sets the key as if written alone: replaced in its first line keeping that line's spelling of it, else
    // added after the section's last non-blank line; a missing section is added at the end after a blank
    // line.
    void Set(std::string_view section, std::string_view key, std::string_view value) {
        SetKeys(section, {&key, 1}, {&value, 1});
    }

    // Sets keys[i] to values[i] in turn, as Set would. A section the first key makes takes the other keys
    // straight after it when none of them could be found in a line before it (a who entry's six keys of a
    // player new to the file): no line of the section is looked at again. Returns the section of the name
    // as it stands afterwards (see FindSection), for SetKeysIn.
    std::uint32_t SetKeys(std::string_view section, std::span<const std::string_view> keys,
                          std::span<const std::string_view> values) {
        for (std::size_t i = 0; i < keys.size();) {
            std::uint32_t s = SectionOf(section);
            if (s == kNone) {
                // The new section is the one of the name, unless its header reads otherwise; then the next
                // key makes a section of its own again, as it would alone.
                s = AddSection(section, keys[i], values[i]) == section
                        ? static_cast<std::uint32_t>(sections_.size() - 1)
                        : FindSection(section);
                recent_[0].section = s;
                if (s == kNone) {
                    ++i;
                    continue;
                }
                const std::size_t first = i++;
                if (s == sections_.size() - 1) {
                    const std::string_view firstKey = KeyOf(keys[first]);
                    for (; i < keys.size() && i - first < kScanned && NewInFreshSection(keys, first, firstKey, i);
                         ++i) {
                        Append(s, MakeAppended(keys[i], values[i]));
                    }
                    if (ReadsAsItsLinesKey(keys[first]))
                        sections_[s].made = static_cast<std::uint32_t>(i - first);  // see SetIn
                }
            }
            for (; i < keys.size(); ++i)
                SetIn(s, keys[i], values[i], i);
        }
        // SectionOf leaves the name's section first among the recent ones.
        return keys.empty() ? FindSection(section) : recent_[0].section;
    }

    // SetKeys in the section `s` of a name, as SetKeys of that name returned it: a section, once there, stays
    // the first of its name. Only keys[i] whose bit i is set in `which`.
    void SetKeysIn(std::uint32_t s, std::span<const std::string_view> keys,
                   std::span<const std::string_view> values, std::uint32_t which) {
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (i >= 32 || ((which >> i) & 1)) SetIn(s, keys[i], values[i], i);
    }

    // The whole file as it stands after the changes, each line ending in CR LF, written in blocks: a
    // friends file runs to a hundred megabytes, and need not be held twice.
    bool Build(ReplacementFile& file, const ProfileEdit::Appendix* appendix) {
        // The last change of a line is the one that counts.
        std::stable_sort(replaced_.begin(), replaced_.end(),
                         [](const Replaced& a, const Replaced& b) { return a.offset < b.offset; });
        FileLines out(file);
        auto put = [&out](std::string_view line) { out.Put({line}); };
        auto next = replaced_.begin();
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            const Section& s = sections_[i];
            if (s.header.data() != nullptr) put(s.header);
            for (const char* p = s.body; p < s.bodyEnd;) {
                const std::uint64_t offset = static_cast<std::uint64_t>(p - text_.data());
                std::string_view line = NextLine(p, s.bodyEnd);
                while (next != replaced_.end() && next->offset < offset)
                    ++next;
                while (next != replaced_.end() && next->offset == offset)
                    line = (next++)->text;
                put(line);
            }
            for (std::uint32_t a = s.firstAppended; a != kNone; a = appended_[a].next)
                put(appended_[a].text());
            if (appendix) appendix->LinesAfter(static_cast<std::uint32_t>(i), out);
            for (const char* p = s.bodyEnd; p < s.end;)
                put(NextLine(p, s.end));
            if (s.extraBlank) put({});
        }
        if (appendix) appendix->SectionsAtEnd(out);
        return out.Finish();
    }

    // A blank line after the file's last line, unless that is blank or the file has none, before a section
    // added at its end.
    void BlankBeforeNewSection() {
        Section& last = sections_.back();
        const bool bodyEmpty = last.body == last.bodyEnd && last.firstAppended == kNone;
        const bool lastIsBlank = last.bodyEnd != last.end || last.extraBlank ||
                                 (bodyEmpty && last.header.data() == nullptr);  // a file without lines
        if (!lastIsBlank) last.extraBlank = true;
    }

    // Read side: the value's line of a key, and the key names of a section.
    std::optional<std::string_view> KeyLine(std::string_view section, std::string_view key) {
        const std::uint32_t s = FindSection(section);
        if (s == kNone) return std::nullopt;
        const std::uint64_t line = FindKey(s, key);
        if (line == kNoLine) return std::nullopt;
        return Line(line);
    }
    std::vector<std::string> KeyNames(std::string_view section) {
        std::vector<std::string> keys;
        const std::uint32_t s = FindSection(section);
        if (s == kNone) return keys;
        ForEachLine(sections_[s], [&keys](std::uint64_t, std::string_view line) {
            if (!IsComment(line)) {
                std::string_view key = KeyOf(line);
                if (!key.empty()) keys.emplace_back(key);
            }
            return true;
        });
        return keys;
    }

private:
    // A line is its offset in the text, or kAppended with its place among the lines a write added.
    static constexpr std::uint64_t kAppended = std::uint64_t{1} << 63;
    static constexpr std::uint64_t kNoLine = ~std::uint64_t{0};
    static constexpr std::size_t kScanned = 32;

    struct Section {
        std::string_view header;       // the "[name]" line; none for the lines before the first section
        const char* body;              // the lines after the header,
        const char* bodyEnd;           // up to the end of the last non-blank one,
        const char* end;               // then the blank lines up to the next header
        std::uint32_t firstAppended = kNone, lastAppended = kNone;
        std::uint32_t made = 0;  // lines SetKeys made it with (see SetIn)
        bool indexed = false;
        bool extraBlank = false;  // a blank line added after it, before a section added to the file
    };
    // A line a write added: its text in the arena, and the place of the section's next added line. A
    // friends file adds millions: at sixteen bytes each, a block of them fills its large pages exactly.
    struct Appended {
        const char* data;
        std::uint32_t size;
        std::uint32_t next = kNone;
        std::string_view text() const { return {data, size}; }
    };
    static_assert(sizeof(Appended) == 16);
    // KeyIn of the text, worked out when the line is made and kept in the arena just before it (see
    // KeyOfLine), as the length of a key that opens the line: a short section's keys are compared again
    // for each key set in it. In one byte, for the millions of lines of a friends file: a key that does not
    // open its line, or is too long for the byte, is worked out again when asked for.
    static constexpr std::uint8_t kNotKey = 0xFF, kKeyElsewhere = 0xFE;
    static std::uint8_t KeyTag(std::size_t keyLength) {
        return keyLength < kKeyElsewhere ? static_cast<std::uint8_t>(keyLength) : kKeyElsewhere;
    }
    Appended MakeAppended(std::initializer_list<std::string_view> parts) {
        const std::string_view text = arena_.JoinTagged(parts);
        std::uint8_t tag = kNotKey;
        if (const std::optional<std::string_view> key = KeyIn(text))
            tag = key->data() == text.data() ? KeyTag(key->size()) : kKeyElsewhere;
        return Made(text, tag);
    }
    // A line "key=value" of a key that reads as its line's key.
    Appended MakeAppended(std::string_view key, std::string_view value) {
        const std::string_view text = arena_.JoinTagged({key, "=", value});
        return Made(text, KeyTag(key.size()));
    }
    static Appended Made(std::string_view text, std::uint8_t tag) {
        if (text.size() > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("a profile line of 4 GB or more");
        Arena::SetTag(text, tag);
        return {text.data(), static_cast<std::uint32_t>(text.size())};
    }
    // KeyIn of a line of the section (see ForEachLine).
    std::optional<std::string_view> KeyOfLine(std::uint64_t ref, std::string_view line) const {
        if (!(ref & kAppended)) return KeyIn(line);
        const std::uint8_t length = Arena::Tag(line.data());
        if (length == kNotKey) return std::nullopt;
        if (length == kKeyElsewhere) return KeyIn(line);
        return line.substr(0, length);
    }
    // The section of the name (see FindSection). Keys of one section mostly come together, and a list of
    // players goes back to the same section between them: the sections of the last two names are tried
    // first.
    std::uint32_t SectionOf(std::string_view section) {
        Recent* recent = &recent_[0];
        if (recent->section == kNone || section != recent->name) {
            std::swap(recent_[0], recent_[1]);
            if (recent->section == kNone || section != recent->name) {
                recent->section = FindSection(section);
                recent->name.assign(section);
            }
        }
        return recent->section;
    }

    // Whether keys[i], about to be set in the section just made for keys[first] to keys[i - 1], can be
    // added without a look at its lines. Each of those lines is its key, "=" and its value; the first line's
    // key reads as `firstKey`, the others' as themselves. A key that reads as its own line's key and matches
    // none of those is new to the section.
    static bool NewInFreshSection(std::span<const std::string_view> keys, std::size_t first,
                                  std::string_view firstKey, std::size_t i) {
        const std::string_view key = keys[i];
        if (!ReadsAsItsLinesKey(key) || SameName(firstKey, key)) return false;
        for (std::size_t j = first + 1; j < i; ++j)
            if (SameName(keys[j], key)) return false;
        return true;
    }

    // Whether "key=value" has `key` as its key, as KeyIn reads it.
    static bool ReadsAsItsLinesKey(std::string_view key) {
        return !key.empty() && !IsWhitespace(key.front()) &&
               !IsWhitespace(key.back()) && key.front() != ';' && key.find('=') == std::string_view::npos;
    }

    // Set in a known section, `key` being keys[i] of a run of them. A section that SetKeys made has as its
    // first lines its first `made` keys, one line each in turn, each reading as its key and none the same
    // as another. Those lines keep their keys, whatever is set or added after them, so when the line there
    // still has keys[i] it is the key's first line, and no search of the section is needed: a friends file
    // writes the six keys of most of its players again at the end of a batch.
    void SetIn(std::uint32_t s, std::string_view key, std::string_view value, std::size_t i) {
        const Section& section = sections_[s];
        if (i < section.made) {
            const std::uint64_t line = (section.firstAppended + i) | kAppended;
            const std::string_view current = Line(line);
            // A made line's key opens it, as KeyOf reads it too.
            const std::optional<std::string_view> lineKey = KeyOfLine(line, current);
            if (lineKey && SameName(*lineKey, key)) {
                SetLine(line, current, *lineKey, value);
                return;
            }
        }
        SetIn(s, key, value);
    }
    void SetIn(std::uint32_t s, std::string_view key, std::string_view value) {
        const std::uint64_t line = FindKey(s, key);
        if (line == kNoLine) {
            Append(s, MakeAppended({key, "=", value}));
            return;
        }
        const std::string_view current = Line(line);
        SetLine(line, current, KeyOf(current), value);
    }
    // The value of the key whose first line in its section is `line`, which reads `current`, its key
    // `keyText` (KeyOf).
    void SetLine(std::uint64_t line, std::string_view current, std::string_view keyText,
                 std::string_view value) {
        // A line that already reads as it would be written stays as it is: who lists mostly name players
        // again with the values the file holds, and a friends file runs to millions of lines.
        const bool keyOpens = keyText.data() == current.data() && current.size() > keyText.size() &&
                              current[keyText.size()] == '=';
        const std::string_view held = keyOpens ? current.substr(keyText.size() + 1) : std::string_view();
        const bool replacedBefore = !(line & kAppended) && ReplacedBefore(line);
        if (!replacedBefore && keyOpens && EqualBytes(held, value)) return;
        if (line & kAppended) {
            Appended& appended = appended_[line & ~kAppended];
            // A line a write added is its own text in the arena: a value no longer than the one it holds
            // takes its place there, the key and its tag staying as they are. A friends file writes again,
            // at the end of a batch, every value that changed.
            if (keyOpens && value.size() <= held.size()) {
                if (!value.empty()) std::memmove(const_cast<char*>(held.data()), value.data(), value.size());
                appended.size = static_cast<std::uint32_t>(current.size() - held.size() + value.size());
                return;
            }
            const std::uint32_t next = appended.next;
            appended = MakeAppended({keyText, "=", value});
            appended.next = next;
        } else {
            const std::string_view replaced = arena_.Join({keyText, "=", value});
            if (replacedLines_.empty()) replacedLines_.resize(text_.size());
            replacedLines_[line] = true;
            replaced_.push_back({line, replaced});
        }
    }

    struct Replaced {
        std::uint64_t offset;
        std::string_view text;
    };
    struct NameSlot {
        std::uint32_t hash = 0, section = kNone;
    };
    struct KeySlot {
        std::uint64_t line = 0;
        std::uint32_t hash = 0, section = kNone;
    };

    std::string_view Line(std::uint64_t ref) const {
        if (ref & kAppended) return appended_[ref & ~kAppended].text();
        const char* p = text_.data() + ref;
        return NextLine(p, text_.data() + text_.size());
    }

    // The section's lines in file order, then the ones added to it; `visit` returns false to stop.
    template <typename Visit>
    void ForEachLine(const Section& s, Visit&& visit) const {
        for (const char* p = s.body; p < s.bodyEnd;) {
            const std::uint64_t offset = static_cast<std::uint64_t>(p - text_.data());
            if (!visit(offset, NextLine(p, s.bodyEnd))) return;
        }
        for (std::uint32_t a = s.firstAppended; a != kNone; a = appended_[a].next)
            if (!visit(a | kAppended, appended_[a].text())) return;
    }

    static std::uint32_t KeyHash(std::uint32_t section, std::string_view key) {
        return FoldedHash(key, section + 1);
    }

    // Both hashes are open addressing over a power-of-two number of slots, an empty slot's section being
    // kNone, at most half of them used. Puts a slot in the first free place from its hash.
    template <typename Slot>
    static void PlaceSlot(LargeVector<Slot>& slots, const Slot& slot) {
        const std::size_t mask = slots.size() - 1;
        std::size_t i = slot.hash & mask;
        while (slots[i].section != kNone)
            i = (i + 1) & mask;
        slots[i] = slot;
    }
    // Room for `count` slots, the table doubled (at least `least` slots) when it would be over half full;
    // returns the mask of its size.
    template <typename Slot>
    static std::size_t MakeRoom(LargeVector<Slot>& slots, std::size_t count, std::size_t least) {
        if (2 * count > slots.size()) {
            LargeVector<Slot> old(std::max(least, 2 * slots.size()));
            old.swap(slots);
            for (const Slot& slot : old)
                if (slot.section != kNone) PlaceSlot(slots, slot);
        }
        return slots.size() - 1;
    }

    void AddSectionName(std::string_view name, std::uint32_t section) {
        sectionMask_ = MakeRoom(sectionSlots_, sectionCount_ + 1, 64);
        const std::uint32_t hash = FoldedHash(name);
        for (std::size_t i = hash & sectionMask_;; i = (i + 1) & sectionMask_) {
            const NameSlot& slot = sectionSlots_[i];
            if (slot.section == kNone) break;
            if (slot.hash == hash && SameName(*SectionName(sections_[slot.section].header), name)) return;
        }
        PlaceSlot(sectionSlots_, NameSlot{hash, section});
        ++sectionCount_;
    }

    void Index(std::uint32_t section) {
        sections_[section].indexed = true;
        ForEachLine(sections_[section], [&](std::uint64_t ref, std::string_view line) {
            RememberKey(section, ref, line);
            return true;
        });
    }
    void RememberKey(std::uint32_t section, std::uint64_t ref, std::string_view line) {
        const std::optional<std::string_view> named = KeyOfLine(ref, line);
        if (!named) return;
        keyMask_ = MakeRoom(keySlots_, keyCount_ + 1, 1024);
        const std::string_view key = *named;
        const std::uint32_t hash = KeyHash(section, key);
        for (std::size_t i = hash & keyMask_;; i = (i + 1) & keyMask_) {
            const KeySlot& slot = keySlots_[i];
            if (slot.section == kNone) break;
            if (slot.hash == hash && slot.section == section && SameName(KeyOf(Line(slot.line)), key)) return;
        }
        PlaceSlot(keySlots_, KeySlot{ref, hash, section});
        ++keyCount_;
    }

    void Append(std::uint32_t section, const Appended& added) {
        const std::string_view line = added.text();
        const auto index = static_cast<std::uint32_t>(appended_.size());
        appended_.push_back(added);
        Section& s = sections_[section];
        if (s.lastAppended == kNone) {
            s.firstAppended = index;
        } else {
            appended_[s.lastAppended].next = index;
        }
        s.lastAppended = index;
        if (s.indexed) RememberKey(section, index | kAppended, line);
    }

    // Returns the name the new section's header reads as.
    std::string_view AddSection(std::string_view name, std::string_view key, std::string_view value) {
        BlankBeforeNewSection();
        const std::string_view header = arena_.Join({"[", name, "]"});
        sections_.push_back({header, nullptr, nullptr, nullptr});
        const auto section = static_cast<std::uint32_t>(sections_.size() - 1);
        Append(section, MakeAppended({key, "=", value}));
        const std::string_view readsAs = *SectionName(header);
        AddSectionName(readsAs, section);
        return readsAs;
    }

    LargeString text_;
    BlockVector<Section> sections_;  // the first holds the lines before any header
    LargeVector<NameSlot> sectionSlots_;  // large pages: a friends file has a section per player
    std::size_t sectionMask_ = 0, sectionCount_ = 0;
    LargeVector<KeySlot> keySlots_;
    std::size_t keyMask_ = 0, keyCount_ = 0;
    BlockVector<Appended> appended_;
    LargeVector<Replaced> replaced_;
    // The offsets of the file's lines that replaced_ holds a change of (Line gives a line as read).
    LargeVector<bool> replacedLines_;
    bool ReplacedBefore(std::uint64_t line) const { return !replacedLines_.empty() && replacedLines_[line]; }
    Arena arena_;
    struct Recent {
        std::uint32_t section = kNone;  // none: not known
        std::string name;
    };
    Recent recent_[2];
};

ProfileData::ProfileData(const std::string& path)
    : text_(std::make_shared<ProfileText>(ReadWhole(path).value_or(LargeString()))) {}

ProfileData::~ProfileData() = default;

std::string ProfileData::ReadString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
    std::optional<std::string_view> line = text_->KeyLine(section, key);
    if (!line) return std::string(fallback);
    std::string_view value = Trim(line->substr(line->find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::vector<std::string> ProfileData::KeyNames(std::string_view section) const {
    return text_->KeyNames(section);
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
    ProfileEdit edit(path_);
    if (!edit.Open()) return false;
    entries([&edit](std::string_view section, std::string_view key, std::string_view value) {
        edit.Set(section, key, value);
    });
    return edit.Commit();
}

ProfileEdit::ProfileEdit(std::string path) : path_(std::move(path)) {}

ProfileEdit::~ProfileEdit() = default;

bool ProfileEdit::Open() {
    if (text_) return true;
    namespace fs = std::filesystem;
    std::error_code ec;
    LargeString old;
    if (fs::exists(NativePath(path_), ec)) {
        std::optional<LargeString> existing = ReadWhole(path_);
        if (!existing) return false;  // never replace a file that could not be read
        old = std::move(*existing);
    } else if (ec) {
        return false;  // a file that cannot be looked at is not taken for a missing one
    }
    text_ = std::make_unique<ProfileText>(std::move(old));
    return true;
}

void ProfileEdit::Set(std::string_view section, std::string_view key, std::string_view value) {
    text_->Set(section, key, value);
}

ProfileEdit::SectionMark ProfileEdit::SetKeys(std::string_view section,
                                              std::span<const std::string_view> keys,
                                              std::span<const std::string_view> values) {
    return text_->SetKeys(section, keys, values.first(keys.size()));
}

void ProfileEdit::SetKeysIn(SectionMark mark, std::span<const std::string_view> keys,
                            std::span<const std::string_view> values, std::uint32_t which) {
    text_->SetKeysIn(mark, keys, values.first(keys.size()), which);
}

void ProfileEdit::AskSection(std::string_view section) const {
    text_->AskSection(section);
}

void ProfileEdit::AskKey(SectionMark mark, std::string_view key) const {
    text_->AskKey(mark, key);
}

void ProfileEdit::AskKeysIn(SectionMark mark) const {
    text_->AskMade(mark);
}

ProfileEdit::SectionMark ProfileEdit::FindSection(std::string_view section) const {
    return text_->FindSection(section);
}

bool ProfileEdit::HasKey(SectionMark mark, std::string_view key) const {
    return text_->HasKey(mark, key);
}

void ProfileEdit::EndSections() {
    text_->BlankBeforeNewSection();
}

bool ProfileEdit::Commit(const Appendix* appendix) {
    if (!text_) return false;
    // The file takes the old one's place only once it is complete (see ReplaceFileWith).
    ReplacementFile replacement;
    return replacement.Open(path_) && text_->Build(replacement, appendix) && replacement.Commit();
}

}  // namespace krav::platform
