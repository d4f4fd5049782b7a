// Timestamp and message of a log line, and the long form of slashed dates.
#include "engine/log_line.h"

#include "engine/text.h"

namespace krav {

std::string_view TimestampPart(std::string_view raw) {
    std::string_view head = raw.substr(0, kTimestampLength);
    return head.find_first_not_of(' ') == std::string_view::npos ? std::string_view{} : head;
}

std::string_view MessagePart(std::string_view raw) {
    if (raw.empty()) return {};
    if (raw.front() == ' ') return raw.substr(1);
    return raw.size() > kTimestampLength + 1 ? raw.substr(kTimestampLength + 1) : std::string_view{};
}

std::string SlashDateToText(std::string_view text) {
    static constexpr std::string_view kMonths[] = {"January",   "February", "March",    "April",
                                                   "May",       "June",     "July",     "August",
                                                   "September", "October",  "November", "December"};
    std::string_view month = text, day, year;
    if (std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        month = text.substr(0, slash);
        std::string_view rest = text.substr(slash + 1);
        day = rest;
        if (std::size_t next = rest.find('/'); next != std::string_view::npos) {
            day = rest.substr(0, next);
            year = rest.substr(next + 1);
        }
    }
    const std::int64_t d = ReadInteger(day, 0);
    const std::int64_t m = ReadInteger(month, 0);
    if (d == 0 || m == 0) return std::string(text);
    std::string result = std::to_string(d);
    result += ' ';
    result += (m >= 1 && m <= 12) ? kMonths[m - 1] : month;
    result += ReadInteger(year, 0) < 91 ? ", 20" : ", 19";
    result += year;
    return result;
}

}  // namespace krav
