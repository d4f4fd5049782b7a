// A line of the game's log split into its timestamp part and its message, and the date helpers that belong
// to the log's line format.
#pragma once

#include <string>
#include <string_view>

namespace krav {

// The game starts every line with "[Www Mmm DD hh:mm:ss YYYY]" and one blank.
inline constexpr std::size_t kTimestampLength = 26;

// One line as the recognisers see it. The views point into the reader's buffer and the run's state; they
// stay valid until the next line is read.
struct LogLine {
    std::string_view Raw;        // exactly as read, without its line end
    std::string_view Timestamp;  // the current timestamp part, carried over from the last line that had one
    std::string_view Message;    // the text after the timestamp part and its blank
};

// The timestamp part a line brings: its first 26 characters unless they are all blank, in which case the
// line brings none (empty result) and the previous one stays current.
std::string_view TimestampPart(std::string_view raw);

// The message of a line: from position 28 when the line starts with a timestamp part, from position 2 when it
// starts with a blank. It is the whole rest of the line, so that long lines reach the new log unchanged.
std::string_view MessagePart(std::string_view raw);

// "12/7/04" -> "7 December, 2004"; texts that are no such date come back unchanged.
std::string SlashDateToText(std::string_view text);

}  // namespace krav
