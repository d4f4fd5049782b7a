// JSON dump of a session.
#include "cli/json_dump.h"

#include <cstdio>
#include <span>

#include "engine/encoding.h"
#include "platform/replace_file.h"

namespace krav::cli {

std::string JsonString(std::string_view text) {
    const std::string utf8 = Cp1252ToUtf8(text);
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

namespace {

std::string JsonArray(std::span<const std::string> texts) {
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i)
        out += (i > 0 ? ", " : "") + JsonString(texts[i]);
    return out + "]";
}

}  // namespace

std::string SessionJson(const Session& session) {
    const InfoFields& i = session.Info;
    const std::pair<const char*, const std::string*> info[] = {
        {"eName", &i.eName},   {"eClass", &i.eClass}, {"eLevel", &i.eLevel}, {"eRace", &i.eRace},
        {"eGuild", &i.eGuild}, {"eBound", &i.eBound}, {"eZone", &i.eZone},   {"ePlayed", &i.ePlayed},
        {"eAsOf", &i.eAsOf},   {"eFrom", &i.eFrom},   {"eTo", &i.eTo}};
    std::string out = "{\n  \"info\": {";
    bool first = true;
    for (const auto& [name, value] : info) {
        out += first ? "" : ", ";
        first = false;
        out += JsonString(name) + ": " + JsonString(*value);
    }
    out += "},\n  \"tables\": {";
    first = true;
    for (const StatTable* table : session.Tables.All()) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        out += JsonString(table->Name()) + ": {\"columns\": " + JsonArray(table->Row(0)) + ", \"rows\": [";
        // The empty placeholder of a table without data is no row.
        for (int row = 1; table->HasRows && row < table->RowCount(); ++row) {
            out += (row > 1 ? ", " : "") + JsonArray(table->Row(row));
        }
        out += "]}";
    }
    out += "\n  },\n";
    out += "  \"counts\": {\"linesRead\": " + std::to_string(session.LinesRead) +
           ", \"linesWritten\": " + std::to_string(session.LinesWritten) +
           ", \"chatLinesAppended\": " + std::to_string(session.ChatLinesAppended) +
           ", \"warnings\": " + std::to_string(session.WarningCount) +
           ", \"errors\": " + std::to_string(session.ErrorCount) + "}\n}\n";
    return out;
}

bool WriteSessionJson(const Session& session, const std::string& path) {
    return platform::ReplaceFileWith(path, SessionJson(session));
}

}  // namespace krav::cli
