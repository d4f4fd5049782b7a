// The one step from the program's Windows-1252 texts to the widgets' Unicode.
#pragma once

#include <QString>
#include <string_view>

#include "engine/encoding.h"

namespace krav {

inline QString WidgetText(std::string_view text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

}  // namespace krav
