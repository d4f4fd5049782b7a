// Keeps tests away from the real home folder: the registry store, the home folder, the configuration folder
// and the Wine prefix all point into one temporary folder while an IsolatedHome lives. On Windows the
// registry is the system's: the current user's and the local machine's keys are redirected for this process
// to two fresh keys of a scratch key, removed at the end.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/test_support.h"

namespace krav::test {

class IsolatedHome {
public:
    IsolatedHome();
    ~IsolatedHome();
    IsolatedHome(const IsolatedHome&) = delete;
    IsolatedHome& operator=(const IsolatedHome&) = delete;

    std::filesystem::path registry() const { return root_.path() / "registry"; }
    std::filesystem::path home() const { return root_.path() / "home"; }
    std::filesystem::path wine() const { return root_.path() / "wine"; }
    const TempFolder& root() const { return root_; }

    // Changes a variable for the rest of the test; the destructor restores what was there before.
    void Set(const char* name, const std::string& value);
    void Unset(const char* name);

private:
    void Remember(const char* name);

    TempFolder root_;
#ifdef _WIN32
    std::string scratchKey_;
#endif
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

#ifdef _WIN32
// Creates the key (in the view the program uses) and gives everyone exactly `access` to it, nothing at all
// when 0: a key an ordinary user may only read, or one the user may not touch.
void RestrictKey(bool localMachine, const std::string& key, unsigned long access);
#endif

}  // namespace krav::test
