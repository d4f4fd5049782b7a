// Language-tagged speech.
#include "recognisers/language.h"

#include "engine/text.h"

namespace krav {

namespace {

bool TakeLanguage(RunContext& run, std::string_view message, std::string_view phrase) {
    std::size_t p = FindInMessage(phrase, message);
    if (p == 0) return false;
    std::string_view rest = RestFrom(message, p + phrase.size() + 1);
    std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) {
        run.CurrentLanguage.clear();
    } else {
        run.CurrentLanguage.assign(rest.substr(0, comma));
    }
    return true;
}

}  // namespace

bool CaptureLanguage(RunContext& run, const LogLine& line) {
    return TakeLanguage(run, line.Message, "tells the group, in") ||
           TakeLanguage(run, line.Message, "says, in");
}

}  // namespace krav
