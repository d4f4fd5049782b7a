// The registry of the Windows world, kept as one text file per root key in the ".reg" export format, so that
// settings, game folders and server names survive between starts and stay readable and editable by hand.
//
// Only string values are read and written. Values of other types and lines the store does not understand
// are left exactly as they stand whenever a file is rewritten. Every change is written to a temporary file
// and renamed over the old one, so a crash leaves either the old file or the new one. A store that cannot be
// read or written makes each operation fail quietly: callers skip what they meant to do, as the program does
// with any registry failure.
#pragma once

#include <string>
#include <string_view>

namespace krav::platform {

enum class RootKey { CurrentUser, LocalMachine };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE", as the files' sections name them.
const char* RootKeyName(RootKey root);

// Where the store lives: $KRAV_REGISTRY_DIR, else $XDG_CONFIG_HOME/krav/registry, else
// ~/.config/krav/registry; empty when none of them can be told.
std::string RegistryFolder();
// The file that holds one root key.
std::string RegistryFile(RootKey root);

// A handle in the manner of the system's registry object: open one key, read and write its values, close it.
// Each call reads the file afresh, so changes made meanwhile by hand or by another copy of the program are
// seen, and nothing is held open between calls.
class Registry {
public:
    explicit Registry(RootKey root) : root_(root) {}

    RootKey root() const { return root_; }

    // Opens the key (a path below the root, "\"-separated, compared without regard to case). Without
    // `canCreate` the key must exist already; with it, a missing key is created on the spot. False when the
    // key is absent and not created, or when the store cannot be read or written.
    bool OpenKey(std::string_view key, bool canCreate);
    void CloseKey() { open_ = false; }
    bool IsOpen() const { return open_; }

    // Whether the key (or a key below it) exists, without opening it.
    bool KeyExists(std::string_view key) const;

    // The string value of the open key; empty text for the key's default value. Empty when no key is open,
    // the value is missing or is not a string.
    std::string ReadString(std::string_view name) const;
    bool ValueExists(std::string_view name) const;  // true for string values only
    // Sets a string value of the open key, replacing a value of that name of any type. False when no key is
    // open, the store cannot be written, or the name or value holds a line break or NUL, which the file
    // format cannot carry.
    bool WriteString(std::string_view name, std::string_view value);

private:
    RootKey root_;
    bool open_ = false;
    std::string key_;
};

}  // namespace krav::platform
