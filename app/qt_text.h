// The window's edge between the program's Windows-1252 texts and Qt's Unicode strings.
#pragma once

#include <QString>
#include <string_view>

namespace krav {

// Every text the window shows passes through here, and through the program's one conversion helper.
QString ToQt(std::string_view cp1252);

}  // namespace krav
