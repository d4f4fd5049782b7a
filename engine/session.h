// Everything the main window owns across runs: the status list with its counters, the run flags, the info
// fields and the character's run state. A run resets it at its start and leaves it filled at its end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/stat_table.h"

namespace krav {

inline constexpr const char* kUnknown = "unknown";
inline constexpr const char* kAppTitle = "Quillmark";

// The info fields of the Info tab.
struct InfoFields {
    std::string eName, eClass, eLevel, eRace, eGuild, eBound, eZone, ePlayed, eAsOf, eFrom, eTo;
};

// The character's run state, read and written by the recognisers.
struct CharacterState {
    std::string CharacterName;
    std::string Surname;
    std::string CharacterLevel = kUnknown;
    std::string BindPoint = kUnknown;
    std::string CurrentZone = kUnknown;
    std::string TimePlayed = kUnknown;
    std::string PlayedAsOf = kUnknown;
    std::string SessionTime = kUnknown;
    std::string SessionAsOf = kUnknown;
    bool SavedSeen = false;
};

class Session {
public:
    // The status list cStatus.
    std::vector<std::string> Status;
    int WarningCount = 0;
    int ErrorCount = 0;

    bool Busy = false;
    bool StopRequested = false;
    bool CloseRequested = false;

    InfoFields Info;
    CharacterState Character;
    StatTables Tables;
    // The languages the reference data knows (cLangs), loaded once when the program starts.
    std::vector<std::string> Languages;
    std::string Title = kAppTitle;

    // Totals of the last run, kept for the front ends.
    std::int64_t LinesRead = 0;
    std::int64_t LinesWritten = 0;
    std::int64_t ChatLinesAppended = 0;
    bool ReportWritten = false;

    // eName shows the character name, followed by the surname when there is one.
    void RefreshName();

    // Set by a run while work of its own goes on beside it (the friends file): called before a status line
    // is added, so that what that work has to say comes first.
    std::function<void()> BeforeStatus;

    void AddStatus(std::string line) {
        if (holding_) {
            held_.push_back(std::move(line));
            return;
        }
        if (BeforeStatus) BeforeStatus();
        Status.push_back(std::move(line));
    }
    // The other way round: while a run holds the status list, the lines added wait, in order and already
    // counted, and the work beside the run goes on. EndHold returns them, for the run to add once that
    // work's own lines are in, so that the list reads the same either way.
    void HoldStatus() { holding_ = true; }
    std::vector<std::string> EndHold() {
        holding_ = false;
        return std::exchange(held_, {});
    }
    void AddWarning(std::string line);
    void AddError(std::string line);  // also stops the run before its next line
    // An error met outside a run (at start-up, while listing logs): counted, but there is no run to stop.
    void CountError(std::string line);

    // The Stop button: only while a run is under way, and only once.
    void Stop();
    // True when the last run read its log to the end and reported no error.
    bool RunSucceeded() const { return !StopRequested && ErrorCount == 0; }

private:
    bool holding_ = false;
    std::vector<std::string> held_;
};

}  // namespace krav
