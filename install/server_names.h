// Display names of the game's servers: kept in the family's registry key and refreshed from the family's
// shared "Vantrix.ini" whenever that file carries a newer edition of the table.
#pragma once

#include <string>
#include <string_view>

namespace krav {

// "Server " + the entry's server short name, unless the registry holds a display name for it.
std::string ServerDisplayName(std::string_view entry);

// Copies the server names of "Vantrix.ini" in the program's folder into the registry when its "Version" is
// newer than the one imported last. Never deletes a name; silent when the registry cannot be written.
void ImportServerNames(std::string_view programFolder);

// The Process button's hint for an entry.
std::string ProcessHint(std::string_view entry);

}  // namespace krav
