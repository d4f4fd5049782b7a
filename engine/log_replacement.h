// Putting a shrinking run's work files in place as one step that a kill, a full disk or a second Ctrl-C cannot
// leave half done.
//
// When the new log, the chat file and the backup are complete on disk, the run writes a small journal
// ("REPLACING_" + the log's base name). From then on the replacement only goes forward: the backup and the
// chat file are renamed into place and the log is rewritten in place from the new log (the game may hold the
// log open and go on appending, so the log keeps its identity). A run cut off after the journal was written
// leaves the journal and the complete new log behind; the next run finishes the replacement before it starts.
//
// Lines the game appends meanwhile are kept: those that arrive before the log is rewritten are added to the
// end of the new log, those that arrive while it is rewritten are moved down behind it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/run_inputs.h"

namespace krav {

class LogReplacement {
public:
    explicit LogReplacement(const RunInputs& inputs);

    // True when a journal lies beside the log: an earlier run was cut off during its replacement.
    bool Pending() const;

    // Writes the journal: the new log is complete with `logCovered` bytes of the log in it, and `newLogSize`
    // bytes long; the backup (when `backup`) and the chat file are complete work files. False, with nothing
    // changed, when the journal cannot be written.
    bool Begin(std::uint64_t logCovered, std::uint64_t newLogSize, bool backup);

    enum class Outcome {
        Done,            // everything in place, journal and work files gone
        NothingChanged,  // the log and the chat file are unchanged; the journal is gone again
        Unfinished,      // the journal and the new log stay; the next run finishes the replacement
    };
    // Carries the replacement through. On a failure `errorText` gets the status line to report. Begin's own
    // run may still back out (NothingChanged) while the log has not been touched; a later run only goes on.
    Outcome Complete(bool sameRun, std::string& errorText);

    const std::string& NewLogPath() const { return newLog_; }

private:
    struct Journal {
        int phase = 0;
        std::uint64_t covered = 0, size = 0;  // of the log, and of the new log
        bool backup = false;
        std::string tail;  // phase 2: the log's bytes just before `covered`, to tell whether it was cut back
    };
    bool Read(Journal& journal) const;
    bool Write(const Journal& journal) const;
    bool RewriteLog(Journal& journal);

    std::string log_, newLog_, newChat_, chat_, tempBackup_, backup_, journal_;
};

}  // namespace krav
