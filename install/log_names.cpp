// Entry and file-name rules of the log list.
#include "install/log_names.h"

#include "engine/text.h"

namespace krav {

namespace {

char EntrySeparator(std::string_view entry) {
    return entry.find(':') != std::string_view::npos ? ':' : '_';
}

}  // namespace

std::string_view EntryServer(std::string_view entry) {
    return entry.substr(0, entry.find(EntrySeparator(entry)));
}

std::string_view EntryCharacter(std::string_view entry) {
    std::size_t at = entry.find(EntrySeparator(entry));
    if (at == std::string_view::npos) return entry;
    std::string_view rest = entry.substr(at + 1);
    if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    return rest.substr(0, kMaxCut);
}

std::string LogFileName(std::string_view entry, std::string_view parseExtension) {
    std::string name = "eqlog_";
    name.append(EntryCharacter(entry)).append("_").append(EntryServer(entry));
    name.append(parseExtension.empty() ? std::string_view(".txt") : parseExtension);
    return name;
}

std::string BaseFileName(std::string_view entry) {
    return LogFileName(entry, ".txt");
}

LogFileKind ClassifyLogFile(std::string_view fileName, std::string* entry) {
    if (FindNoCase("_prelogin.", fileName) > 0) return LogFileKind::Skipped;
    if (!EqualsNoCase(fileName.substr(0, 6), "eqlog_")) return LogFileKind::Skipped;
    std::string_view rest = RestFrom(fileName, 7);
    std::size_t underscore = rest.find('_');
    if (underscore == std::string_view::npos) return LogFileKind::Skipped;
    std::string_view character = rest.substr(0, underscore);
    std::string_view remainder = rest.substr(underscore + 1);
    if (remainder.find('_') != std::string_view::npos) return LogFileKind::Skipped;
    std::string_view server = remainder.substr(0, remainder.find('.'));
    if (server.empty()) return LogFileKind::Skipped;
    if (ReadInteger(server) || ReadInteger(character)) return LogFileKind::OldFormat;
    for (char c : fileName) {
        if (c == ':' || static_cast<unsigned char>(c) < 0x20) return LogFileKind::Skipped;
    }
    if (entry != nullptr) {
        entry->assign(server);
        entry->append("_").append(character);
    }
    return LogFileKind::Listed;
}

std::optional<std::string> EntryOfLogFile(std::string_view fileName) {
    std::string entry;
    if (ClassifyLogFile(fileName, &entry) != LogFileKind::Listed) return std::nullopt;
    return entry;
}

}  // namespace krav
