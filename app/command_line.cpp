// Command-line parsing: the arguments joined by single blanks, then the option read from its 2nd and 3rd
// characters, so that "-t" must stand alone and "-p" needs a blank and a folder.
#include "app/command_line.h"

#include <cctype>

#include "engine/text.h"

namespace krav {

FolderCommand CommandLine::Folder() const {
    FolderCommand command;
    if (CommandMode == 2) command.request = FolderRequest::Test;
    if (CommandMode == 3) {
        command.request = FolderRequest::Given;
        command.commandText = CommandText;
    }
    return command;
}

CommandLine ParseCommandLine(const std::vector<std::string>& parameters) {
    std::string joined;
    for (const std::string& parameter : parameters) {
        if (!joined.empty()) joined += ' ';
        joined += parameter;
    }
    CommandLine result;
    const std::string text(TrimBlanks(joined));
    if (text.empty()) return result;
    result.CommandMode = 255;
    result.CommandText = text;
    if (text[0] != '-' && text[0] != '/') return result;

    std::string option = text.substr(1, 2);
    for (char& c : option)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    int mode = 255;
    if (option == "?")
        mode = 1;
    else if (option == "t")
        mode = 2;
    else if (option == "p ")
        mode = 3;
    if (mode == 255) return result;
    result.CommandMode = mode;
    result.CommandText = std::string(TrimBlanks(text.size() > 3 ? text.substr(3, 255) : std::string()));
    return result;
}

}  // namespace krav
