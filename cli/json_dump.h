// The --dump-json file: the info fields, the tables and the run's counts, in UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "engine/session.h"

namespace krav::cli {

// A JSON string literal of a Windows-1252 text.
std::string JsonString(std::string_view text);

std::string SessionJson(const Session& session);

// Writes the dump beside `path` and renames it into place; false when that fails.
bool WriteSessionJson(const Session& session, const std::string& path);

}  // namespace krav::cli
