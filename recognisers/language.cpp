// Language-tagged speech.
#include "recognisers/language.h"

#include "engine/text.h"

namespace krav {

namespace {

bool TakeLanguage(RunContext& run, const LogLine& line, const Needle& phrase) {
    const std::string_view message = line.Message;
    std::size_t p = FindInLine(phrase, line);
    if (p == 0) return false;
    std::string_view rest = RestFrom(message, p + phrase.text.size() + 1);
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
    // Both phrases hold a comma, and most lines have none before their quoted speech.
    if (!line.CommaBeforeQuote) return false;
    return TakeLanguage(run, line, "tells the group, in") || TakeLanguage(run, line, "says, in");
}

}  // namespace krav
