// The HTML report: a fixed page of the character's information and the tables, written beside the log.
#pragma once

#include <memory>
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
    bool operator==(const ReportColumn&) const = default;
};

// The cells that get "&nbsp;" so that an empty cell still draws its borders.
enum class Blank { None, Always, WhenEmpty, WhenBlank };

struct ReportTable {
    const StatTable* table;
    std::vector<ReportColumn> columns;
    std::vector<Blank> blanks = {};  // per column; missing entries are Blank::None
    bool keepBlankKeys = false;      // the guild roster writes every row
    bool operator==(const ReportTable&) const = default;
};

class ReportWriter {
public:
    ReportWriter();
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;
    ~ReportWriter();

    // Creates the page beside `path`; it replaces `path` only once it is complete (Close). False, with
    // nothing written, when `path` cannot be replaced (a folder, a folder that takes no file).
    bool Open(const std::string& path);
    void Head(const InfoFields& info, std::string_view today);
    // The tables the next Section calls write, in their order: their places are worked out at once and their
    // rows written ahead, on a second thread, while the caller goes on. Until the last of them is written,
    // the caller leaves these tables unchanged. Section writes a table that is not next in the plan itself.
    void Plan(std::vector<ReportTable> tables);
    void Section(std::string_view title, const std::vector<ReportTable>& tables);
    // Writes the closing block and puts the page in place; false when any of it failed.
    bool Close();

private:
    class RowsAhead;

    void Line(std::string_view text);
    void Flush();
    void FlushIfFull();  // a buffer of 1 MB or more

    platform::ReplacementFile file_;
    std::string buffer_;  // written out in large blocks
    std::unique_ptr<RowsAhead> ahead_;
};

// "7 December, 2026"
std::string ReportDate(int day, int month, int year);
std::string TodayForReport();

// Text of the log or of another player, made safe for the page: & < > and " become entities.
std::string HtmlEscape(std::string_view text);
// The same, appended to `out`.
void AppendHtmlEscaped(std::string& out, std::string_view text);

}  // namespace krav
