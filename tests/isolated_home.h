// Keeps tests away from the real home folder: the registry store, the home folder, the configuration folder
// and the Wine prefix all point into one temporary folder while an IsolatedHome lives.
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
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace krav::test
