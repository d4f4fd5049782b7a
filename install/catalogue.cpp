// Listing the logs folder into the log list.
#include "install/catalogue.h"

#include <algorithm>

#include "engine/text.h"
#include "install/install_texts.h"
#include "install/log_names.h"
#include "platform/files.h"
#include "platform/shell.h"

namespace krav {

namespace {

// Alphabetical order with the letters A-Z folded to lower case, so that "_" sorts before every letter and a
// server's entries stay together ahead of a longer server name.
bool SortsBefore(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(FoldCase(x)) < static_cast<unsigned char>(FoldCase(y));
    });
}

}  // namespace

void LogList::Clear() {
    items_.clear();
    fileNames_.clear();
    ItemIndex = -1;
}

std::size_t LogList::Add(std::string entry, std::string fileName) {
    auto at = std::upper_bound(items_.begin(), items_.end(), entry,
                               [](const std::string& a, const std::string& b) { return SortsBefore(a, b); });
    const auto index = at - items_.begin();
    items_.insert(at, std::move(entry));
    fileNames_.insert(fileNames_.begin() + index, std::move(fileName));
    return static_cast<std::size_t>(index);
}

int LogList::Find(std::string_view entry) const {
    // Two logs differing only in case can sit side by side on this file system; the exact one is meant.
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i] == entry) return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (EqualsNoCase(items_[i], entry)) return static_cast<int>(i);
    }
    return -1;
}

std::string LogList::Text() const {
    return ItemIndex >= 0 && static_cast<std::size_t>(ItemIndex) < items_.size() ? items_[ItemIndex] : "";
}

std::string LogList::SelectedFileName() const {
    return ItemIndex >= 0 && static_cast<std::size_t>(ItemIndex) < fileNames_.size() ? fileNames_[ItemIndex]
                                                                                     : "";
}

bool CatalogueHost::StartMergeUtility(const std::string& program, const std::string& parameters,
                                      const std::string& workingFolder) {
    return platform::StartProgram(program, parameters, workingFolder);
}

std::string FolderDescription(const FolderCommand& command) {
    switch (command.request) {
        case FolderRequest::Given:
            return "specified";
        case FolderRequest::Test:
            return "EverQuest Test";
        case FolderRequest::Normal:
            break;
    }
    return "EverQuest";
}

std::string MergeArguments(const FolderCommand& command) {
    switch (command.request) {
        case FolderRequest::Given:
            return "-p " + command.commandText;
        case FolderRequest::Test:
            return "-t";
        case FolderRequest::Normal:
            break;
    }
    return {};
}

void ListLogs(Session& session, LogList& cLogs, const ListRequest& request, CatalogueHost& host) {
    cLogs.Clear();
    cLogs.Hint = request.logsFolder;
    const std::string extension = request.parseExtension.empty() ? ".txt" : request.parseExtension;

    bool oldFormat = false;
    for (std::string& name : platform::ListFiles(request.logsFolder, "eqlog_*_*" + extension)) {
        std::string entry;
        switch (ClassifyLogFile(name, &entry)) {
            case LogFileKind::Listed:
                cLogs.Add(std::move(entry), std::move(name));
                break;
            case LogFileKind::OldFormat:
                oldFormat = true;
                break;
            case LogFileKind::Skipped:
                break;
        }
    }

    int index = cLogs.Find(request.entryToPreselect);
    if (index < 0) index = 0;
    if (cLogs.Empty()) {
        host.DisableProcess();
        session.CountError(texts::kNoLogFilesIn + request.folderDescription + texts::kDirectorySuffix);
    } else {
        cLogs.ItemIndex = index;
    }

    if (!request.firstActivation || !oldFormat) return;
    std::string question = request.folderDescription + texts::kOldAndNewFormat;
    question.append("\n").append(texts::kRunMergeQuestion);
    if (host.AskRunMergeUtility(question)) {
        const std::string program = AddTrailingBackslash(request.programFolder) + texts::kMergeUtility;
        if (host.StartMergeUtility(program, request.mergeArguments, request.gameFolder)) {
            session.CloseRequested = true;
            host.CloseMainWindow();
        } else {
            session.CountError(texts::kUnableToRunMerge + program + ").");
        }
    } else {
        session.AddWarning(texts::kOlderLoggedData);
    }
}

}  // namespace krav
