// The HTML report's lines.
#include "output/report.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <optional>
#include <utility>

#include "engine/text.h"
#include "engine/work_ahead.h"
#include "platform/large_pages.h"

namespace krav {

namespace {

#ifdef _WIN32
constexpr std::string_view kLineEnd = "\r\n";
#else
constexpr std::string_view kLineEnd = "\n";
#endif

void AppendLine(std::string& out, std::string_view text) {
    out.append(text).append(kLineEnd);
}

void AppendCell(std::string& out, std::string_view text, std::string_view suffix = {}) {
    out.append("          <td>");
    AppendHtmlEscaped(out, text);
    out.append(suffix);
    AppendLine(out, "</td>");
}

// A table's rows are written, and written ahead, in pieces of this many rows.
constexpr int kRowsPerPiece = 2048;

// Without the reference data the skill table has no "Max": the report shows the grid's columns.
int ColumnsShown(const ReportTable& t) {
    return std::min(static_cast<int>(t.columns.size()), t.table->ColCount());
}

// The end of the rows the report writes of a table: from row 1 up to it.
int RowsEnd(const ReportTable& t) {
    return t.table->HasRows ? t.table->RowCount() : 1;
}

// Rows `from` to `to` (exclusive) of a table as the report writes them.
void AppendRows(std::string& out, const ReportTable& t, int from, int to) {
    const StatTable& table = *t.table;
    const int columns = ColumnsShown(t);
    for (int row = from; row < to; ++row) {
        // The rows lie in the order they were made, not in key order: each is asked for ahead, its cells first
        // and its key's text once they have arrived.
        if (row + 16 < to) platform::Prefetch(table.Row(row + 16).data());
        if (row + 8 < to) platform::Prefetch(table.Cell(0, row + 8).data());
        if (!t.keepBlankKeys && TrimBlanks(table.Cell(0, row)).empty()) continue;
        AppendLine(out, "        <tr>");
        for (int col = 0; col < columns; ++col) {
            const std::string& text = table.Cell(col, row);
            const Blank blank = col < static_cast<int>(t.blanks.size()) ? t.blanks[col] : Blank::None;
            if (blank == Blank::Always) {
                AppendCell(out, text, "&nbsp;");
            } else if ((blank == Blank::WhenEmpty && text.empty()) ||
                       (blank == Blank::WhenBlank && TrimBlanks(text).empty())) {
                AppendLine(out, "          <td>&nbsp;</td>");
            } else {
                AppendCell(out, text);
            }
        }
        AppendLine(out, "        </tr>");
    }
}

}  // namespace

// The planned tables' rows, cut into pieces that a second thread writes ahead of the report,
// at most kWindow pieces past the one the report takes: a table of 170,000 rows is not held twice.
class ReportWriter::RowsAhead {
public:
    static constexpr std::size_t kWindow = 4;

    explicit RowsAhead(std::vector<ReportTable> tables) : tables_(std::move(tables)) {
        SettleTables();
        for (std::size_t k = 0; k < tables_.size(); ++k) {
            firstPiece_.push_back(pieces_.size());
            const int end = RowsEnd(tables_[k]);
            for (int from = 1; from < end; from += kRowsPerPiece)
                pieces_.push_back({k, from, std::min(end, from + kRowsPerPiece)});
        }
        firstPiece_.push_back(pieces_.size());
        texts_.resize(pieces_.size());
        work_.emplace(pieces_.size(), kWindow, [this](std::size_t p) {
            const Piece& piece = pieces_[p];
            AppendRows(texts_[p], tables_[piece.table], piece.from, piece.to);
        });
    }

    bool IsNext(const ReportTable& t) const { return next_ < tables_.size() && tables_[next_] == t; }
    // The rows of the next table, piece after piece, each given to `write` and then freed.
    template <typename Write>
    void TakeNext(Write&& write) {
        for (std::size_t p = firstPiece_[next_]; p < firstPiece_[next_ + 1]; ++p) {
            work_->Take(p);
            write(texts_[p]);
            std::string().swap(texts_[p]);
        }
        ++next_;
    }

private:
    struct Piece {
        std::size_t table;
        int from, to;
    };

    // Every row's place worked out, the largest tables first, on both threads: the rows are then read
    // without a change to any table.
    void SettleTables() const {
        std::vector<const StatTable*> tables;
        for (const ReportTable& t : tables_)
            if (std::find(tables.begin(), tables.end(), t.table) == tables.end()) tables.push_back(t.table);
        std::stable_sort(tables.begin(), tables.end(),
                         [](const StatTable* a, const StatTable* b) { return a->RowCount() > b->RowCount(); });
        WorkAhead settle(tables.size(), tables.size(), [&tables](std::size_t k) { tables[k]->Settle(); });
        for (std::size_t k = 0; k < tables.size(); ++k)
            settle.Take(k);
    }

    std::vector<ReportTable> tables_;
    std::vector<Piece> pieces_;
    std::vector<std::size_t> firstPiece_;  // per table, and the end
    std::vector<std::string> texts_;
    std::optional<WorkAhead> work_;
    std::size_t next_ = 0;
};

ReportWriter::ReportWriter() = default;
ReportWriter::~ReportWriter() = default;

void AppendHtmlEscaped(std::string& out, std::string_view text) {
    // Runs of plain bytes are appended whole.
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view entity;
        switch (text[i]) {
            case '&':
                entity = "&amp;";
                break;
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '"':
                entity = "&quot;";
                break;
            default:
                continue;
        }
        out.append(text.substr(from, i - from)).append(entity);
        from = i + 1;
    }
    out.append(text.substr(from));
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendHtmlEscaped(out, text);
    return out;
}

std::string ReportDate(int day, int month, int year) {
    static constexpr std::string_view kMonths[] = {"January",   "February", "March",    "April",
                                                   "May",       "June",     "July",     "August",
                                                   "September", "October",  "November", "December"};
    const std::string_view name = month >= 1 && month <= 12 ? kMonths[month - 1] : std::string_view("?");
    return std::to_string(day) + " " + std::string(name) + ", " + std::to_string(year);
}

std::string TodayForReport() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return ReportDate(local.tm_mday, local.tm_mon + 1, local.tm_year + 1900);
}

bool ReportWriter::Open(const std::string& path) {
    buffer_.clear();
    return file_.Open(path);
}

void ReportWriter::Flush() {
    file_.Write(buffer_);  // a failure is remembered by the file and reported by Close
    buffer_.clear();
}

void ReportWriter::Line(std::string_view text) {
    AppendLine(buffer_, text);
    FlushIfFull();
}

void ReportWriter::FlushIfFull() {
    if (buffer_.size() >= (1u << 20)) Flush();
}

void ReportWriter::Head(const InfoFields& info, std::string_view today) {
    Line("<html>");
    Line("");
    Line("  <head>");
    Line("    <!-- Generated by KRAV 1.3 -->");
    Line("    <meta http-equiv=\"Content-Type\"");
    Line("    content=\"text/html; charset=iso-8859-1\">");
    Line("    <meta name=\"REVISION\" content=\"" + std::string(today) + "\">");
    Line("    <title>KRAV EverQuest Log Report</title>");
    Line("  </head>");
    Line("");
    Line("  <body>");
    Line("");
    Line("    <h1>KRAV EverQuest Log Report</h1>");
    Line("    <p><em>Log entries from " + HtmlEscape(info.eFrom) + " to " + HtmlEscape(info.eTo) +
         "</em></p>");
    Line("");
    Line("    <hr>");
    Line("    <h2>General Info</h2>");
    Line("");
    Line("    <table border=1 rules=row cellspacing=0 cellpadding=5>");
    Line("      <tbody>");
    Line("        <col align=right>");
    Line("        <col align=left>");
    const std::pair<std::string_view, std::string> rows[] = {
        {"Character:", info.eName}, {"Class:", info.eClass},
        {"Level:", info.eLevel},    {"Race:", info.eRace},
        {"Guild:", info.eGuild},    {"Bound:", info.eBound},
        {"Zone:", info.eZone},      {"Total Time Played:", info.ePlayed + " - as of " + info.eAsOf},
    };
    for (const auto& [label, value] : rows) {
        Line("        <tr>");
        Line("          <td><strong>" + std::string(label) + "</strong></td>");
        AppendCell(buffer_, value);
        Line("        </tr>");
    }
    Line("      </tbody>");
    Line("    </table>");
    Line("    <p></p>");
    Line("");
}

void ReportWriter::Plan(std::vector<ReportTable> tables) {
    ahead_.reset();
    ahead_ = std::make_unique<RowsAhead>(std::move(tables));
}

void ReportWriter::Section(std::string_view title, const std::vector<ReportTable>& tables) {
    Line("    <hr>");
    Line("    <h2>" + std::string(title) + "</h2>");
    Line("");
    for (const ReportTable& t : tables) {
        const int columns = ColumnsShown(t);
        Line("    <table border=1 rules=all cellspacing=0 cellpadding=5>");
        Line("      <thead>");
        Line("        <tr bgcolor=silver>");
        for (int col = 0; col < columns; ++col)
            Line("          <th>" + std::string(t.columns[col].header) + "</th>");
        Line("        </tr>");
        Line("      </thead>");
        Line("      <tbody>");
        for (int col = 0; col < columns; ++col) {
            Line(t.columns[col].right ? "        <col align=right>" : "        <col align=left>");
        }
        if (ahead_ && ahead_->IsNext(t)) {
            ahead_->TakeNext([this](const std::string& rows) {
                buffer_.append(rows);
                FlushIfFull();
            });
        } else {
            for (int from = 1, end = RowsEnd(t); from < end; from += kRowsPerPiece) {
                AppendRows(buffer_, t, from, std::min(end, from + kRowsPerPiece));
                FlushIfFull();
            }
        }
        Line("      </tbody>");
        Line("    </table>");
        Line("    <p></p>");
        Line("");
    }
}

bool ReportWriter::Close() {
    ahead_.reset();
    Line("    <hr>");
    Line("    <address>");
    Line("      Generated by KRAV 1.3<br>");
    Line("    </address>");
    Line("");
    Line("  </body>");
    Line("");
    Line("</html>");
    Flush();
    return file_.Commit();
}

}  // namespace krav
