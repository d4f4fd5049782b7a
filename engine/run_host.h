// What a processing run asks of its front end. The window implements it with Qt widgets, krav-cli with the
// terminal. Every call comes from the run on the front end's own thread.
#pragma once

#include <cstdint>
#include <string>

namespace krav {

class Session;

class RunHost {
public:
    virtual ~RunHost() = default;

    // Let the front end handle what the user did meanwhile (Stop, the close box). Called at least once per
    // line; an implementation may act only every few milliseconds, as long as a stop reaches the session's
    // StopRequested before the next line is read.
    virtual void ProcessPendingMessages() {}

    // The status list gained lines (Session::Status); show them.
    virtual void RepaintStatus() {}
    // Scroll the status list to its last line and leave no line selected.
    virtual void ScrollStatusToEnd() {}

    // Run start: busy cursor on, every control that could start a second run disabled, Stop shown, the first
    // tab shown and tables in text order. Run end: the reverse; `reportAvailable` enables the report button.
    virtual void RunStarted() {}
    virtual void RunEnded(bool reportAvailable) { (void)reportAvailable; }

    // Progress bar shown instead of the status bar while the log is read.
    virtual void ShowProgressBar(bool shown) { (void)shown; }
    virtual void SetProgressMaximum(std::int64_t maximum) { (void)maximum; }
    virtual void SetProgressPosition(std::int64_t position) { (void)position; }

    virtual void SetTitle(const std::string& title) { (void)title; }
    // The info fields of the session changed.
    virtual void ShowInfo() {}
    // Persist the log choice and the shrink mode (the window's settings; krav-cli keeps none).
    virtual void SaveMainSettings() {}
    // A close was confirmed during the run; the run has now restored the controls.
    virtual void CloseWindow() {}
};

}  // namespace krav
