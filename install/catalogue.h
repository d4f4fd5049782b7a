// The log list: the game's logs in the logs folder as entries server + "_" + character, sorted, with the
// entry to preselect, and the merge utility offered when logs of the client's older naming scheme are found.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/session.h"
#include "install/game_folder.h"

namespace krav {

// The drop-down list cLogs: entries kept in alphabetical order, letter case ignored, so that the logs stand
// grouped by server and, within a server, by character.
class LogList {
public:
    const std::vector<std::string>& Items() const { return items_; }
    // The file each entry was listed from, as spelled on disk; parallel to Items().
    const std::vector<std::string>& FileNames() const { return fileNames_; }
    int ItemIndex = -1;
    std::string Hint;

    void Clear();
    bool Empty() const { return items_.empty(); }
    // Inserts after every entry that does not sort later; returns the entry's index.
    std::size_t Add(std::string entry, std::string fileName);
    // The entry spelled exactly so, else the first one equal without regard to case; -1 when none.
    int Find(std::string_view entry) const;
    // The selected entry, or empty text.
    std::string Text() const;
    // The file of the selected entry, or empty text.
    std::string SelectedFileName() const;

private:
    std::vector<std::string> items_;
    std::vector<std::string> fileNames_;
};

// What the window does for the listing: the Process button, the merge question and ending the program.
class CatalogueHost {
public:
    virtual ~CatalogueHost() = default;
    virtual void DisableProcess() = 0;
    // The warning box with Yes and No; true for Yes.
    virtual bool AskRunMergeUtility(const std::string& question) = 0;
    // The shell's start of the merge utility; true when it started. The platform's start unless replaced.
    virtual bool StartMergeUtility(const std::string& program, const std::string& parameters,
                                   const std::string& workingFolder);
    // Ends the program once the merge utility has taken over.
    virtual void CloseMainWindow() = 0;
};

struct ListRequest {
    std::string logsFolder;         // with a trailing separator
    std::string parseExtension;     // ".txt" or ".log"; ".txt" while empty
    std::string folderDescription;  // see FolderDescription
    std::string entryToPreselect;
    std::string mergeArguments;    // see MergeArguments
    std::string programFolder;     // where "Ordwin.exe" lies
    std::string gameFolder;        // the merge utility's working folder
    bool firstActivation = false;  // the merge question is asked only then
};

// "EverQuest", "EverQuest Test" or "specified": the folder being listed, as messages name it.
std::string FolderDescription(const FolderCommand& command);
// The merge utility's parameters: none, "-t", or "-p " + the given path.
std::string MergeArguments(const FolderCommand& command);

// Fills the log list from the logs folder and selects the entry to preselect (else the first). An empty list
// disables Process and is reported as an error; old-format logs lead to the merge question at start-up.
void ListLogs(Session& session, LogList& cLogs, const ListRequest& request, CatalogueHost& host);

}  // namespace krav
