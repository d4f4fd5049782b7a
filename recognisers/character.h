// Who the character is and where and how long it played: who lists (with the friends file), language skills,
// zone entries, played and session time, "saved." lines, the bind point, the surname, the guild roster.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/run_context.h"

namespace krav {

// Language names of the reference data.
void LoadLanguages(Session& session, const std::string& programFolder);
std::string GetLanguage(const Session& session, std::string_view name);
std::string LanguageSkillName(const Session& session, std::string_view name);

// One entry of a who list, as the game prints it after the timestamp part.
struct WhoEntry {
    std::string title;  // the GM title between "* " and " *"
    std::string level, className, race, guild;
    std::string cutName;  // the name as cut from the entry, before a title in it is taken off
    std::string name;
};
// False for the closing line (and for a titled entry without any "[").
bool ParseWhoEntry(std::string_view message, WhoEntry& entry);

// Classifier steps.
bool ReadWhoList(RunContext& run, const LogLine& line);
bool LanguageSkills(RunContext& run, const LogLine& line);
bool ZoneAndPlayedTime(RunContext& run, const LogLine& line);
// The "You" messages these two steps can claim (see YouGate).
extern const YouGate kLanguageSkillsGate;
extern const YouGate kZoneAndPlayedTimeGate;
bool SavedAndBindPoint(RunContext& run, const LogLine& line);
bool SurnameApproved(RunContext& run, const LogLine& line);

// At the end of the log: the last of the players the run's who lists named go to the friends file, which is
// then written in one rewrite, on the friends worker's thread beside the end steps (the run settles after
// them).
void SaveFriends(RunContext& run);
// The friends file of the run's game folder, server and character, as State.Friends' target.
std::unique_ptr<FriendsWorker::Target> FriendsFileTarget(const RunInputs& inputs);

// End of run: the guild's roster from the file the game dumps into its folder.
void ReadGuildRoster(Session& session, const std::string& gameFolder, const std::string& guild);
void LoadGuildRoster(RunContext& run);

}  // namespace krav
