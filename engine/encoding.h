// The one conversion from the game's Windows-1252 texts to Unicode, used wherever a text leaves the program
// for a Unicode world (the terminal, JSON, the window's widgets).
#pragma once

#include <string>
#include <string_view>

namespace krav {

std::string Cp1252ToUtf8(std::string_view text);

}  // namespace krav
