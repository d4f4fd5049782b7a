// Status list operations.
#include "engine/session.h"

#include "engine/status_texts.h"

namespace krav {

void Session::RefreshName() {
    Info.eName = Character.Surname.empty() ? Character.CharacterName
                                           : Character.CharacterName + " " + Character.Surname;
}

void Session::AddWarning(std::string line) {
    AddStatus(std::move(line));
    ++WarningCount;
}

void Session::AddError(std::string line) {
    AddStatus(std::move(line));
    ++ErrorCount;
    StopRequested = true;
}

void Session::CountError(std::string line) {
    AddStatus(std::move(line));
    ++ErrorCount;
}

void Session::Stop() {
    if (!Busy || StopRequested) return;
    StopRequested = true;
    AddStatus(texts::kStoppedByUser);
    ++ErrorCount;
}

}  // namespace krav
