// Private-profile (INI) files with the semantics the game and its tools expect: sections and keys compared
// without regard to case, values trimmed, every write going straight to the file, a missing file or section
// created on the first write. Each operation opens, uses and closes the file.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace krav::platform {

class ProfileText;

// A profile file read once, for many lookups: the answers of Profile's ReadString and KeyNames, each section
// and key found through a hash. A missing or unreadable file reads as empty.
class ProfileData {
public:
    explicit ProfileData(const std::string& path);
    ~ProfileData();

    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
    std::vector<std::string> KeyNames(std::string_view section) const;

private:
    std::shared_ptr<ProfileText> text_;  // keys of a long section are hashed on its first lookup
};

class Profile {
public:
    explicit Profile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // The value of the key, trimmed (and without one pair of enclosing quotes); `fallback` when the file,
    // the section or the key is missing.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // The key names of the section in file order; empty when the file or the section is missing.
    std::vector<std::string> KeyNames(std::string_view section) const;
    // Sets the key, creating the file and the section when missing. The file is written completely beside
    // itself and renamed into place, so a failure never leaves half of it. False when it cannot be written.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;

    struct Entry {
        std::string section, key, value;
    };
    // Several keys in one rewrite of the file, in order, as if written one after another.
    bool WriteStrings(const std::vector<Entry>& entries) const;
    // The same for keys that `entries` hands to its argument one after another, so that a long list need
    // not be held as Entry objects.
    using EntrySink = std::function<void(std::string_view section, std::string_view key, std::string_view value)>;
    bool WriteStrings(const std::function<void(const EntrySink&)>& entries) const;

private:
    std::string path_;
};

// Many writes to one profile file gathered in memory and put in place by one rewrite, with the result of
// writing them one after another: the file is read once, by Open, and replaced only by Commit. A long run
// that sets keys now and then (the who lists of a log) pays for one read and one write of the file, however
// often it sets them.
class ProfileEdit {
public:
    explicit ProfileEdit(std::string path);
    ~ProfileEdit();
    ProfileEdit(const ProfileEdit&) = delete;
    ProfileEdit& operator=(const ProfileEdit&) = delete;

    const std::string& path() const { return path_; }
    // Reads the file (a missing one as empty) unless it is read already. False when it exists but cannot
    // be read to its end, or whether it exists cannot be told: such a file is never written over.
    bool Open();
    bool IsOpen() const { return text_ != nullptr; }
    // As Profile::WriteString, in memory; the edit must be open.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // Set of keys[i] to values[i] in turn, all in one section (values holds at least as many): a section
    // the first key makes takes the rest without a search of its lines. Returns a mark of the section of
    // that name as it stands afterwards, kNoSection when there is none.
    using SectionMark = std::uint32_t;
    static constexpr SectionMark kNoSection = ~SectionMark{0};
    SectionMark SetKeys(std::string_view section, std::span<const std::string_view> keys,
                        std::span<const std::string_view> values);
    // SetKeys of the name that returned `mark` (not kNoSection), without looking its section up again; of
    // only the keys whose bit is set in `which` (bit i for keys[i]; keys after the 32nd are always set).
    void SetKeysIn(SectionMark mark, std::span<const std::string_view> keys,
                   std::span<const std::string_view> values, std::uint32_t which = ~std::uint32_t{0});
    // The lookups that SetKeys of the section, and Set of the key in the section of `mark`, will start with,
    // asked for ahead of them: a friends file looks up two names in tables of millions for each new player,
    // and each lookup misses the cache. The edit must be open; nothing changes.
    void AskSection(std::string_view section) const;
    void AskKey(SectionMark mark, std::string_view key) const;
    // What SetKeysIn of `mark` will start with.
    void AskKeysIn(SectionMark mark) const;
    // The section SetKeys of the name would set keys in, kNoSection when there is none yet; whether the
    // section of `mark` has the key. Nothing changes.
    SectionMark FindSection(std::string_view section) const;
    bool HasKey(SectionMark mark, std::string_view key) const;

    // The lines of the file being built, each given as parts written one after another and ended with
    // CR LF. They gather in a buffer that goes to the file whenever it is full: a friends file has millions
    // of lines, and a call through a function object for each cost more than its bytes.
    using LineParts = std::initializer_list<std::string_view>;
    class LineOut {
    public:
        void Put(LineParts parts) {
            std::size_t size = 2;
            for (std::string_view part : parts)
                size += part.size();
            if (size > static_cast<std::size_t>(end_ - next_)) {
                PutLong(parts);
                return;
            }
            for (std::string_view part : parts) {
                Copy(next_, part.data(), part.size());
                next_ += part.size();
            }
            next_[0] = '\r';
            next_[1] = '\n';
            next_ += 2;
        }

    private:
        // Most parts are a few bytes long (a key, "=", a class): copied in at most two moves of a fixed size
        // each, which the compiler writes out, rather than through a call into the library.
        static void Copy(char* to, const char* from, std::size_t n) {
            auto two = [&](auto word) {
                constexpr std::size_t kSize = sizeof word;
                decltype(word) tail;
                std::memcpy(&word, from, kSize);
                std::memcpy(&tail, from + n - kSize, kSize);
                std::memcpy(to, &word, kSize);
                std::memcpy(to + n - kSize, &tail, kSize);
            };
            if (n > 16) {
                std::memcpy(to, from, n);
            } else if (n >= 8) {
                two(std::uint64_t{});
            } else if (n >= 4) {
                two(std::uint32_t{});
            } else if (n > 0) {
                to[0] = from[0];
                to[n / 2] = from[n / 2];
                to[n - 1] = from[n - 1];
            }
        }

    protected:
        LineOut() = default;
        ~LineOut() = default;
        // Called when a line does not fit in what is left of the buffer.
        virtual void PutLong(LineParts parts) = 0;
        char* next_ = nullptr;
        char* end_ = nullptr;
    };

    // Lines and sections that the caller keeps itself, in a form of its own, and gives only as the file is
    // built: a run that adds hundreds of thousands of players to a friends file need not hold each as lines
    // of the edit.
    class Appendix {
    public:
        virtual ~Appendix() = default;
        // Lines that follow the lines the section of `mark` has in the edit (before its blank lines at the
        // end), as Set adds a key that the section lacks.
        virtual void LinesAfter(SectionMark mark, LineOut& out) const = 0;
        // Sections after the file's last one, as Set adds a section that the file lacks: each one's header
        // and lines, with a blank line before each but the first.
        virtual void SectionsAtEnd(LineOut& out) const = 0;
    };
    // Called when the appendix is about to take its first section: the blank line that Set puts before a
    // section it adds, when the file so far does not end in one. No Set may add a section after that until
    // the appendix's sections are set through the edit.
    void EndSections();

    // Writes the file as it stands after every Set, with the lines and sections of the appendix if there is
    // one, beside the old one, and renames it into place. False, with the old file untouched, when it
    // cannot. The edit stays open: more keys may follow, and another Commit writes them all again.
    bool Commit(const Appendix* appendix = nullptr);

private:
    std::string path_;
    std::unique_ptr<ProfileText> text_;
};

}  // namespace krav::platform
