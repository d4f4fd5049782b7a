// Windows-1252 to QString through the program's one conversion helper.
#include "app/qt_text.h"

#include "engine/encoding.h"

namespace krav {

QString ToQt(std::string_view cp1252) {
    const std::string utf8 = Cp1252ToUtf8(cp1252);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace krav
