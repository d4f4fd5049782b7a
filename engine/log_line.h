// A line of the game's log split into its timestamp part and its message, and the date helpers that belong
// to the log's line format.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/text.h"

namespace krav {

// The game starts every line with "[Www Mmm DD hh:mm:ss YYYY]" and one blank.
inline constexpr std::size_t kTimestampLength = 26;

// One line as the recognisers see it. The views point into the reader's buffer and the run's state; they
// stay valid until the next line is read.
struct LogLine {
    std::string_view Raw;        // exactly as read, without its line end
    std::string_view Timestamp;  // the current timestamp part, carried over from the last line that had one
    std::string_view Message;    // the text after the timestamp part and its blank

    // Worked out once per line for the recognisers' searches (PrepareSearch).
    std::string_view Unquoted;  // the message before its first " '": all the message search looks at
    // Which pairs of adjacent characters (case folded) occur in Message; worked out on the first search
    // that needs them, since most lines are taken by a prefix test first.
    mutable std::uint64_t Pairs[2] = {0, 0};
    mutable bool PairsReady = false;
    // Where the searched part's first " for " starts (FirstFor), worked out with the pairs.
    mutable std::uint32_t ForAt = 0;
    mutable bool ForReady = false;
    bool StartsWithYou = false;     // the message starts with "You", in any case
    bool HasApostrophe = false;     // the message holds an apostrophe anywhere
    bool CommaBeforeQuote = false;  // the searched part (Unquoted) holds a comma
    std::uint64_t Head = 0;         // the first 8 bytes of the message, letters folded, zero-padded
};

// Fills the search fields of a line from its message.
void PrepareSearch(LogLine& line);
// Works out LogLine::Pairs.
void PreparePairs(const LogLine& line);
// For tests: PreparePairs without the wide registers that some processors have (false), or with them again
// where the processor has them (true, the default).
void UseWidePairs(bool on);
// Works out LogLine::ForAt.
void PrepareFor(const LogLine& line);

// FindNoCase(" for ", line.Unquoted): the hits and heals of the game's fights give their amount after it, and
// most lines of a long log are those. Worked out ahead with the pairs, else on first use.
inline std::size_t FirstFor(const LogLine& line) {
    if (!line.ForReady) PrepareFor(line);
    return line.ForAt;
}

// The search fields of a line worked out ahead of its turn, by the log reader's second thread: what
// PrepareSearch and PreparePairs give for the message of the line's text.
struct PreparedLine {
    std::uint64_t head = 0;
    std::uint64_t pairs[2] = {0, 0};
    std::uint32_t length = 0;        // the line's bytes up to its LF, a CR before the LF included
    std::uint32_t unquotedSize = 0;  // the size of Unquoted
    std::uint32_t forAt = 0;
    bool pairsReady = false;  // the pairs and forAt are left to the first search that needs them otherwise
    bool startsWithYou = false;
    bool hasApostrophe = false;
    bool commaBeforeQuote = false;
};
// The fields of the line whose text, without its line end, is `raw`, its pairs and ForAt only when `pairs` is
// set; `length` is left to the caller.
void PrepareAhead(std::string_view raw, PreparedLine& prepared, bool pairs);
// Fills the search fields of a line whose Message is set from what PrepareAhead gave for its text.
void TakePrepared(LogLine& line, const PreparedLine& prepared);
// A line whose message is `message`, ready for the recognisers (no timestamp part).
LogLine MessageLine(std::string_view message);

// A text a message may start with, with its first 8 bytes folded ahead of time (at compile time for the
// literals and tables of the recognisers), so that one comparison rules out most messages.
struct Prefix {
    std::string_view text;
    std::uint64_t head = 0;
    std::uint64_t mask = 0;
    // A prefix without an apostrophe that ends in a blank does not start a message in which a quote follows
    // that blank: the message search never looks past the " '".
    bool endsBeforeQuote = false;
    constexpr Prefix(std::string_view t) : text(t) {  // NOLINT: literals convert implicitly
        for (std::size_t i = 0; i < t.size() && i < 8; ++i) {
            const char c = t[i];
            const auto folded = static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
            head |= std::uint64_t{folded} << (8 * i);
            mask |= std::uint64_t{0xFF} << (8 * i);
        }
        endsBeforeQuote = !t.empty() && t.back() == ' ' && t.find('\'') == std::string_view::npos;
    }
    consteval Prefix(const char* t) : Prefix(std::string_view(t)) {}
};

// MessageStartsWith(prefix.text, line.Message), all inline: the heads rule out most messages, and the
// prefix's first eight bytes need no second look.
inline bool LineStartsWith(const Prefix& prefix, const LogLine& line) {
    if ((line.Head & prefix.mask) != prefix.head) return false;
    const std::string_view m = line.Message;
    const std::size_t n = prefix.text.size();
    if (n == 0 || n > m.size()) return false;
    if (n > 8 && !EqualsFoldedPrefix(m.data() + 8, prefix.text.data() + 8, n - 8)) return false;
    return !prefix.endsBeforeQuote || m.size() == n || m[n] != '\'';
}

// Which pairs of folded bytes may stand at the fifth and sixth places of a message that starts with one of
// a table's prefixes (hashed into 1,024 bits; a five-byte prefix admits its fifth byte with any sixth): one
// test of the line's head rules out a whole table, most of whose prefixes share their first word ("You ",
// "Your "). Built by the compiler from the table itself, so it cannot fall out of step with it.
class PrefixFilter {
public:
    constexpr PrefixFilter() = default;  // admits no line
    template <typename Table, typename PrefixOf>
    constexpr PrefixFilter(const Table& table, PrefixOf prefixOf) {
        for (const auto& entry : table)
            Add(prefixOf(entry));
    }
    constexpr PrefixFilter(std::initializer_list<Prefix> prefixes) {
        for (const Prefix& prefix : prefixes)
            Add(prefix);
    }
    constexpr void Add(const Prefix& prefix) {
        const unsigned fifth = (prefix.head >> 32) & 0xFF, sixth = (prefix.head >> 40) & 0xFF;
        if (prefix.text.size() <= 4) {
            anyFifth_ = true;
        } else if (prefix.text.size() == 5) {
            anySixth_[fifth >> 6] |= std::uint64_t{1} << (fifth & 63);  // "Your ": any byte may follow
        } else {
            const unsigned bit = Bit(fifth, sixth);
            pairs_[bit >> 6] |= std::uint64_t{1} << (bit & 63);
        }
    }
    // False when no prefix of the table can start the line's message.
    bool Admits(const LogLine& line) const {
        const unsigned fifth = FifthByte(line), bit = PairBit(line);
        return anyFifth_ || AdmitsFifth(fifth) || AdmitsPair(bit);
    }

    // The parts of the test, for tables that combine many filters (the classifier's).
    static unsigned FifthByte(const LogLine& line) { return (line.Head >> 32) & 0xFF; }
    static unsigned PairBit(const LogLine& line) { return Bit(FifthByte(line), (line.Head >> 40) & 0xFF); }
    static constexpr unsigned kPairBits = 1024;
    bool AdmitsAll() const { return anyFifth_; }
    bool AdmitsFifth(unsigned fifth) const { return ((anySixth_[fifth >> 6] >> (fifth & 63)) & 1) != 0; }
    bool AdmitsPair(unsigned bit) const { return ((pairs_[bit >> 6] >> (bit & 63)) & 1) != 0; }

private:
    static constexpr unsigned Bit(unsigned fifth, unsigned sixth) { return (fifth * 37u + sixth) & 1023u; }

    bool anyFifth_ = false;           // a prefix of four bytes or fewer: every line
    std::uint64_t anySixth_[4] = {};  // fifth bytes of five-byte prefixes
    std::uint64_t pairs_[16] = {};    // fifth and sixth bytes of longer prefixes, hashed
};

// Which messages starting with "You" a classifier step can claim, told from the head of the line: those a
// filter of the step's own "You" prefixes admits; when set, those holding an apostrophe (forms found inside
// quoted speech); and, when set, all of them while the character's name starts with "You" (forms that start
// with the name). Each step defines its gate beside its forms; the classifier combines them all and offers a
// "You" line only to the steps whose gate admits it.
struct YouGate {
    PrefixFilter forms;
    bool apostrophe = false;
    bool name = false;
};

// The gate of a step none of whose forms starts with "You".
inline constexpr YouGate kNoYouForms{};

// The bit of a pair of adjacent characters, letters folded, in LogLine::Pairs.
constexpr unsigned PairBit(char a, char b) {
    auto fold = [](char c) { return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c); };
    return (fold(a) * 31u + fold(b)) & 127u;
}

// A text searched for in messages, with the pairs of its characters worked out ahead of time (at compile time
// for the literals and tables of the recognisers).
struct Needle {
    std::string_view text;
    std::uint64_t pairs[2] = {0, 0};
    bool apostrophe = false;  // a needle with an apostrophe searches the whole message, quoted speech too
    constexpr Needle(std::string_view t) : text(t) {  // NOLINT: literals convert implicitly
        for (std::size_t i = 1; i < t.size(); ++i) {
            const unsigned bit = PairBit(t[i - 1], t[i]);
            pairs[bit >> 6] |= std::uint64_t{1} << (bit & 63);
        }
        apostrophe = t.find('\'') != std::string_view::npos;
    }
    // A literal's pairs are always worked out by the compiler.
    consteval Needle(const char* t) : Needle(std::string_view(t)) {}
    constexpr Needle(const std::string& t) : Needle(std::string_view(t)) {}
};

// False when the line's pairs, once worked out, rule out `needle` anywhere in the message; true while they
// are not worked out. For the scans of every line that look for a text in their own way: the read-ahead has
// mostly worked the pairs out already, and working them out here would cost more than the scan.
inline bool MayHold(const Needle& needle, const LogLine& line) {
    return !line.PairsReady || ((line.Pairs[0] & needle.pairs[0]) == needle.pairs[0] &&
                                (line.Pairs[1] & needle.pairs[1]) == needle.pairs[1]);
}

// The message search over a prepared line: the same result as FindInMessage(needle.text, line.Message). A
// needle found anywhere in the message has every pair of its characters among the message's, which rules
// most needles out without a search.
inline std::size_t FindInLine(const Needle& needle, const LogLine& line) {
    if (!line.PairsReady) PreparePairs(line);
    if (!MayHold(needle, line)) return 0;
    return FindNoCase(needle.text, needle.apostrophe ? line.Message : line.Unquoted);
}

// The timestamp part a line brings: its first 26 characters unless they are all blank, in which case the
// line brings none (empty result) and the previous one stays current. Inline, as MessagePart: every line
// of the log passes through both.
inline std::string_view TimestampPart(std::string_view raw) {
    std::string_view head = raw.substr(0, kTimestampLength);
    if (!head.empty() && head.front() != ' ') return head;  // the usual line, which opens with a bracket
    return head.find_first_not_of(' ') == std::string_view::npos ? std::string_view{} : head;
}

// The message of a line: from position 28 when the line starts with a timestamp part, from position 2 when it
// starts with a blank. It is the whole rest of the line, so that long lines reach the new log unchanged.
inline std::string_view MessagePart(std::string_view raw) {
    if (raw.empty()) return {};
    if (raw.front() == ' ') return raw.substr(1);
    return raw.size() > kTimestampLength + 1 ? raw.substr(kTimestampLength + 1) : std::string_view{};
}

// "12/7/04" -> "7 December, 2004"; texts that are no such date come back unchanged.
std::string SlashDateToText(std::string_view text);

}  // namespace krav
