// One pass over one log: the start steps, the read loop, the end-of-run steps and the moving of the work
// files into place. The classifier and the end-of-run writers are handed in, so the engine does not depend on
// the layers that build on it.
#pragma once

#include <string>

#include "engine/run_context.h"
#include "platform/replace_file.h"

namespace krav {

class TableWriter;

struct RunSteps {
    // The line classifier: true when a step consumed the line.
    bool (*ClassifyLine)(RunContext& run, const LogLine& line) = nullptr;
    void (*CheckSkillMaximums)(RunContext& run) = nullptr;
    void (*LoadGuildRoster)(RunContext& run) = nullptr;
    // Writes the end records and, in the same walk, the report; returns the report's path, or empty text
    // when no report was written.
    std::string (*WriteEndRecordsAndReport)(RunContext& run) = nullptr;
    // Right after the last line was read, whether the run is complete or stopped: what recognisers hold
    // back for the end of the log.
    void (*LogEnded)(RunContext& run) = nullptr;
};

class ProcessingRun {
public:
    static void Run(Session& session, const RunInputs& inputs, RunHost& host, const RunSteps& steps);

private:
    explicit ProcessingRun(RunContext& run, const RunSteps& steps) : run_(run), steps_(steps) {}
    void Start();
    // The tables' writer is told each line, so that a failure on its thread ends the loop at once.
    void ReadLoop(TableWriter& writer);
    void Finish();
    void EndSteps();
    void EndWarnings();
    void Failed(const char* what);
    // Shrinking runs: the lock, an earlier run's unfinished replacement, the chat and backup work files.
    // False when the work files are not this run's to touch.
    bool PrepareWorkFiles();
    void DeleteWorkFiles();
    void MoveFilesIntoPlace();

    RunContext& run_;
    const RunSteps& steps_;
    platform::LogLock lock_;
    bool ownsWorkFiles_ = false;
    bool backupNeedsAppending_ = false;
    bool unmatchedFailed_ = false;
    std::string reportPath_;
};

}  // namespace krav
