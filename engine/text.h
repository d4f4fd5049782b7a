// Text and number helpers shared by every recogniser, the tables and the outputs.
//
// Texts are byte strings in the game's single-byte character set (Windows-1252). Positions returned by the
// searches are 1-based as the game's message forms are described, with 0 meaning "not found", so that
// "starts with" is a result of exactly 1. Only CopyOneFile touches the file system.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/folded_bytes.h"

namespace krav {

// The longest rest of a text that any cut takes.
inline constexpr std::size_t kMaxCut = 255;

// ASCII-only case folding, as the game's message tests compare letters A-Z without case.
constexpr char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
// Word-wise folding (platform/folded_bytes.h), for the searches and the tables' keys.
using platform::FoldEight;
using platform::LoadEight;
constexpr char UpperCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
// Inline: table lookups compare every row's key with it.
// The n bytes at a and at b are equal without regard to case. Inline: every search compares with it.
inline bool EqualsFoldedPrefix(const char* a, const char* b, std::size_t n) {
    if (n >= 8) {
        // Whole blocks of eight, then the last eight bytes again (overlapping) for the rest.
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            if (FoldEight(LoadEight(a + i)) != FoldEight(LoadEight(b + i))) return false;
        }
        return i == n || FoldEight(LoadEight(a + n - 8)) == FoldEight(LoadEight(b + n - 8));
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a.size() >= 8) return EqualsFoldedPrefix(a.data(), b.data(), a.size());  // eight bytes at a time
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

// Substring by 1-based position; out-of-range parts give empty text, never an error.
std::string_view Mid(std::string_view text, std::size_t pos, std::size_t count);
// The rest of a text from 1-based position pos, at most kMaxCut characters.
std::string_view RestFrom(std::string_view text, std::size_t pos);

// Reads a whole text as a decimal integer: leading blanks, an optional sign, then digits to the end. Numbers
// beyond the 64-bit range saturate. Anything else is not a number.
std::optional<std::int64_t> ReadInteger(std::string_view text);
inline std::int64_t ReadInteger(std::string_view text, std::int64_t fallback) {
    return ReadInteger(text).value_or(fallback);
}

// Saturating arithmetic for counts and money read from untrusted text.
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b);
std::int64_t SaturatingSub(std::int64_t a, std::int64_t b);
std::int64_t SaturatingMul(std::int64_t a, std::int64_t b);

std::size_t FindCase(std::string_view needle, std::string_view text);  // case-sensitive, 1-based
std::size_t FindNoCase(std::string_view needle, std::string_view text);
// The message search: unless the needle holds an apostrophe, quoted speech (from the first " '") is not
// searched.
std::size_t FindInMessage(std::string_view needle, std::string_view message);
// FindInMessage(needle, message) == 1, as a prefix comparison. Inline, so that the first and last byte of a
// literal needle rule out most messages before any call.
bool MessageStartsWithAll(std::string_view needle, std::string_view message);
inline bool MessageStartsWith(std::string_view needle, std::string_view message) {
    const std::size_t n = needle.size();
    if (n == 0 || n > message.size() || FoldCase(message[n - 1]) != FoldCase(needle[n - 1]) ||
        FoldCase(message[0]) != FoldCase(needle[0])) {
        return false;
    }
    return MessageStartsWithAll(needle, message);
}
// MessageStartsWith of the needle `first` + `second`, without joining them.
bool MessageStartsWith(std::string_view first, std::string_view second, std::string_view message);

// The text before the first occurrence of `x` (found by the message search); the whole text when there is
// none.
std::string_view CutBefore(std::string_view text, std::string_view x);
// Blanks and control characters removed from both ends (the trimming of names cut from the game's lines).
std::string_view Trim(std::string_view text);
// Blanks alone removed from both ends.
std::string_view TrimBlanks(std::string_view text);

std::string AddTrailingBackslash(std::string_view path);  // appends the platform's separator
bool CopyOneFile(const std::string& source, const std::string& destination, bool failIfExists);

std::string_view ListTail(std::string_view list);
int ListCount(std::string_view list);
std::string ListAdd(std::string_view list, std::string_view item);
// list = ListAdd(list, item), without a new text when the item is in the list already (the common case: a
// mob or an item met again in the same zone).
void ListAddTo(std::string& list, std::string_view item);

struct Duration {
    std::int64_t days = 0, hours = 0, minutes = 0, seconds = 0;
};
Duration SplitDuration(std::string_view text);
std::int64_t DurationSeconds(std::string_view text);
bool DurationLonger(std::string_view a, std::string_view b);

std::int64_t MoneyToCopper(std::string_view money);
std::int64_t MoneyPerUnit(std::string_view money, std::int64_t count);

std::string_view StripItemLink(std::string_view item);

std::string ShortDate(std::string_view timestamp);
bool DateIsStale(std::string_view a, std::string_view b);

std::string RemoveSpaces(std::string_view text);
std::string_view LastWord(std::string_view text);
std::string CapitalizeFirst(std::string_view text);
// CapitalizeFirst in place: the hits of every fight go through it.
inline void CapitalizeFirstOf(std::string& text) {
    if (!text.empty()) text[0] = UpperCase(text[0]);
}
std::string CapitalizeWords(std::string_view text);
bool IsProperName(std::string_view message);
std::string NumberOrUnknown(std::string_view counter);
std::string BlanksToUnderlines(std::string_view text);
std::string SkillRankName(std::string_view value);
std::string RemoveExtension(std::string_view fileName);
std::string SortKey(std::int64_t n);

}  // namespace krav
