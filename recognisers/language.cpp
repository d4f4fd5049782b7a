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

// Whether the text holds ", in", letters in any case.
bool HasCommaIn(std::string_view text) {
    for (std::size_t comma = text.find(','); comma != std::string_view::npos;
         comma = text.find(',', comma + 1)) {
        if (comma + 3 < text.size() && text[comma + 1] == ' ' && FoldCase(text[comma + 2]) == 'i' &&
            FoldCase(text[comma + 3]) == 'n') {
            return true;
        }
    }
    return false;
}

}  // namespace

bool CaptureLanguage(RunContext& run, const LogLine& line) {
    // Both phrases end in ", in": most lines have no comma before their quoted speech, and few of the others
    // have one followed by " in".
    if (!line.CommaBeforeQuote || !MayHold(", in", line) || !HasCommaIn(line.Unquoted)) return false;
    return TakeLanguage(run, line, "tells the group, in") || TakeLanguage(run, line, "says, in");
}

}  // namespace krav
