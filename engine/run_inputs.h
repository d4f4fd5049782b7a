// What a processing run takes from the front end when it starts: folders, the chosen log and every option.
// The window's controls stay the single source of truth; this only carries their values into the engine.
#pragma once

#include <string>

namespace krav {

// The reference data beside the programs: languages, classes and skill maximums.
inline constexpr const char* kReferenceDataFile = "KRAV.ini";

enum class ShrinkMode { ReadOnly, Compatible, Smallest };

// Which chat channels go to the chat file.
struct ChatChannels {
    bool Tell = true, Say = true, Group = true, Guild = true, Shout = false, OOC = false, Auction = false;
};

// Which sections the HTML report holds.
struct ReportSections {
    bool Skills = true, Zones = true, Factions = true, Mobs = true, Vendors = true, Loot = true,
         Combat = true, Spells = true, Misc = true, Guild = true;
};

struct RunInputs {
    std::string GameFolder;     // with trailing separator
    std::string LogsFolder;     // with trailing separator
    std::string ProgramFolder;  // with trailing separator; KRAV.ini lies there
    std::string LogFileName;    // "eqlog_" + character + "_" + server + ParseExtension
    std::string BaseFileName;   // the same with ".txt", the base of every work file's name
    std::string EntryCharacter;
    std::string EntryServer;
    std::string ParseExtension = ".txt";

    ShrinkMode Mode = ShrinkMode::ReadOnly;
    bool Backup = true;  // xBackup
    bool Chat = true;    // xChat
    ChatChannels Channels;
    bool Report = true;  // xReports
    ReportSections Sections;
    // Where the lines that no recogniser claims are written as read; empty for nowhere.
    std::string UnmatchedFile;

    std::string LogPath() const { return LogsFolder + LogFileName; }
    std::string WorkPath(const char* prefix) const { return LogsFolder + prefix + BaseFileName; }
};

}  // namespace krav
