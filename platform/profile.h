// Private-profile (INI) files with the semantics the game and its tools expect: sections and keys compared
// without regard to case, values trimmed, every write going straight to the file, a missing file or section
// created on the first write. Each operation opens, uses and closes the file.
#pragma once

#include <functional>
#include <memory>
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

}  // namespace krav::platform
