// The HTML report: a fixed page of the character's information and the tables, written beside the log.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/session.h"
#include "platform/replace_file.h"

namespace krav {

// How a table's columns appear in the report.
struct ReportColumn {
    std::string_view header;
    bool right;  // aligned right (counts) rather than left (texts)
};

// The cells that get "&nbsp;" so that an empty cell still draws its borders.
enum class Blank { None, Always, WhenEmpty, WhenBlank };

struct ReportTable {
    const StatTable* table;
    std::vector<ReportColumn> columns;
    std::vector<Blank> blanks = {};  // per column; missing entries are Blank::None
    bool keepBlankKeys = false;      // the guild roster writes every row
};

class ReportWriter {
public:
    // Creates the page beside `path`; it replaces `path` only once it is complete (Close). False, with
    // nothing written, when `path` cannot be replaced (a folder, a folder that takes no file).
    bool Open(const std::string& path);
    void Head(const InfoFields& info, std::string_view today);
    void Section(std::string_view title, const std::vector<ReportTable>& tables);
    // Writes the closing block and puts the page in place; false when any of it failed.
    bool Close();

private:
    void Line(std::string_view text);
    void Cell(std::string_view text, std::string_view suffix = {});

    void Flush();

    platform::ReplacementFile file_;
    std::string buffer_;  // written out in large blocks
};

// "7 December, 2026"
std::string ReportDate(int day, int month, int year);
std::string TodayForReport();

// Text of the log or of another player, made safe for the page: & < > and " become entities.
std::string HtmlEscape(std::string_view text);
// The same, appended to `out`.
void AppendHtmlEscaped(std::string& out, std::string_view text);

}  // namespace krav
