// krav-cli's side of a run: the status list on standard output, a progress bar on standard error when that
// is a terminal, and Ctrl-C as the Stop button.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "engine/run_host.h"
#include "engine/session.h"

namespace krav::cli {

class TerminalHost : public RunHost {
public:
    TerminalHost(Session& session, std::FILE* out, std::FILE* progress);

    void ProcessPendingMessages() override;
    void RepaintStatus() override;
    void ShowProgressBar(bool shown) override;
    void SetProgressMaximum(std::int64_t maximum) override;
    void SetProgressPosition(std::int64_t position) override;

    // Prints the status lines not printed yet.
    void FlushStatus();

private:
    void DrawBar();
    void ClearBar();

    Session& session_;
    std::FILE* out_;
    std::FILE* progress_;  // null when no bar is drawn
    std::size_t printed_ = 0;
    bool barShown_ = false;
    std::int64_t maximum_ = 0, position_ = 0;
    int drawnPercent_ = -1;
    bool safeText_;  // control characters replaced: the status list goes to a terminal
};

// UTF-8 text with its control characters (C0, DEL, C1) replaced by '?'.
std::string ForTerminal(std::string_view utf8);

}  // namespace krav::cli
