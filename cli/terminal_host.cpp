// Terminal front end of a run.
#include "cli/terminal_host.h"

#include <string>

#include "engine/encoding.h"
#include "platform/process.h"

namespace krav::cli {

TerminalHost::TerminalHost(Session& session, std::FILE* out, std::FILE* progress)
    : session_(session), out_(out), progress_(progress), safeText_(platform::IsTerminal(out)) {}

std::string ForTerminal(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 || c == 0x7f) {
            out += '?';
        } else if (c == 0xc2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xa0) {
            out += '?';  // U+0080..U+009F, which some terminals take as controls
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

void TerminalHost::ProcessPendingMessages() {
    if (platform::InterruptRequested()) session_.Stop();
}

void TerminalHost::FlushStatus() {
    if (printed_ >= session_.Status.size()) return;
    ClearBar();
    for (; printed_ < session_.Status.size(); ++printed_) {
        std::string line = Cp1252ToUtf8(session_.Status[printed_]);
        // Text from a log never reaches a terminal as escape sequences.
        if (safeText_) line = ForTerminal(line);
        line += '\n';
        std::fputs(line.c_str(), out_);
    }
    std::fflush(out_);
    DrawBar();
}

void TerminalHost::RepaintStatus() {
    // A new run clears the list.
    if (printed_ > session_.Status.size()) printed_ = 0;
    FlushStatus();
}

void TerminalHost::ShowProgressBar(bool shown) {
    if (!shown) ClearBar();
    barShown_ = shown;
    drawnPercent_ = -1;
    DrawBar();
}

void TerminalHost::SetProgressMaximum(std::int64_t maximum) {
    maximum_ = maximum;
    DrawBar();
}

void TerminalHost::SetProgressPosition(std::int64_t position) {
    position_ = position;
    DrawBar();
}

void TerminalHost::DrawBar() {
    if (progress_ == nullptr || !barShown_) return;
    const int percent = maximum_ > 0 ? static_cast<int>(position_ * 100 / maximum_) : 0;
    if (percent == drawnPercent_) return;
    drawnPercent_ = percent;
    constexpr int kWidth = 40;
    std::string bar = "\r[";
    const int filled = percent * kWidth / 100;
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '.');
    bar += "] " + std::to_string(percent) + "%";
    std::fputs(bar.c_str(), progress_);
    std::fflush(progress_);
}

void TerminalHost::ClearBar() {
    if (progress_ == nullptr || drawnPercent_ < 0) return;
    std::fputs("\r\033[K", progress_);
    std::fflush(progress_);
    drawnPercent_ = -1;
}

}  // namespace krav::cli
