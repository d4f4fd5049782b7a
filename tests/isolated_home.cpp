// Environment swapping for IsolatedHome.
#include "tests/isolated_home.h"

#include <algorithm>
#include <cstdlib>

namespace krav::test {

IsolatedHome::IsolatedHome() {
    std::filesystem::create_directories(home());
    std::filesystem::create_directories(wine());
    Set("KRAV_REGISTRY_DIR", registry().string());
    Set("HOME", home().string());
    Set("XDG_CONFIG_HOME", (root_.path() / "config").string());
    Set("WINEPREFIX", wine().string());
}

IsolatedHome::~IsolatedHome() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (it->second) {
            setenv(it->first.c_str(), it->second->c_str(), 1);
        } else {
            unsetenv(it->first.c_str());
        }
    }
}

void IsolatedHome::Remember(const char* name) {
    if (std::any_of(saved_.begin(), saved_.end(), [name](const auto& s) { return s.first == name; })) return;
    const char* value = std::getenv(name);
    saved_.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
}

void IsolatedHome::Set(const char* name, const std::string& value) {
    Remember(name);
    setenv(name, value.c_str(), 1);
}

void IsolatedHome::Unset(const char* name) {
    Remember(name);
    unsetenv(name);
}

}  // namespace krav::test
