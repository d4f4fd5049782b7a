// Text and number helpers shared by every recogniser, the tables and the outputs.
#include "engine/text.h"

#include "platform/replace_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#ifdef __SSE2__
#include <emmintrin.h>
#endif


namespace krav {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// The part of a message that the message search looks at: everything before the first " '".
std::string_view BeforeQuote(std::string_view message) {
    std::size_t from = 1;
    while (from < message.size()) {
        const void* hit = std::memchr(message.data() + from, '\'', message.size() - from);
        if (hit == nullptr) break;
        std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - message.data());
        if (message[at - 1] == ' ') return message.substr(0, at - 1);
        from = at + 1;
    }
    return message;
}

}  // namespace

std::string_view Mid(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos < 1) pos = 1;
    if (pos > text.size()) return {};
    return text.substr(pos - 1, count);
}

std::string_view RestFrom(std::string_view text, std::size_t pos) {
    return Mid(text, pos, kMaxCut);
}

std::optional<std::int64_t> ReadInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    if (text.size() - i <= 18) {
        // Up to 18 digits cannot leave the 64-bit range: no saturation to watch for.
        std::int64_t value = 0;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        return negative ? -value : value;
    }
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        int digit = c - '0';
        // Accumulate towards the sign so that the most negative number is representable; saturate beyond.
        value = SaturatingAdd(SaturatingMul(value, 10), negative ? -digit : digit);
    }
    return value;
}

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (__builtin_add_overflow(a, b, &r)) return b > 0 ? kMax : kMin;
    return r;
}

std::int64_t SaturatingSub(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (__builtin_sub_overflow(a, b, &r)) return b < 0 ? kMax : kMin;
    return r;
}

std::int64_t SaturatingMul(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    if (__builtin_mul_overflow(a, b, &r)) return ((a < 0) != (b < 0)) ? kMin : kMax;
    return r;
}

std::size_t FindCase(std::string_view needle, std::string_view text) {
    if (needle.empty()) return 0;
    std::size_t at = text.find(needle);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::size_t FindNoCase(std::string_view needle, std::string_view text) {
    const std::size_t n = needle.size();
    if (n == 0 || n > text.size()) return 0;
    const char* data = text.data();
    const std::size_t last = text.size() - n;  // the last candidate start
    // Most needles of the game's forms start with a blank, which every word of a message offers: look for
    // their second character instead.
    const std::size_t k = (needle[0] == ' ' && n > 1) ? 1 : 0;
    const char lower = FoldCase(needle[k]);
    const char upper = UpperCase(lower);
    // The needle's last character rules out most candidates before the whole needle is compared.
    const char lastLower = FoldCase(needle[n - 1]);
#ifdef __SSE2__
    // Sixteen candidates at a time, told by the needle's first (or second) and last characters together, so
    // that the whole needle is compared only where both are in place. Both loads of a block lie within the
    // text: the last block overlaps the one before it, and a text of fewer than sixteen candidates is
    // searched in copies of the two stretches of it that the two characters can fall on.
    const __m128i lowers = _mm_set1_epi8(lower);
    const __m128i uppers = _mm_set1_epi8(upper);
    const __m128i lastLowers = _mm_set1_epi8(lastLower);
    const __m128i lastUppers = _mm_set1_epi8(UpperCase(lastLower));
    auto equal = [](const char* block, __m128i a, __m128i b) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
        return _mm_or_si128(_mm_cmpeq_epi8(chunk, a), _mm_cmpeq_epi8(chunk, b));
    };
    auto hitsAt = [&](const char* firsts, const char* lasts) {
        const __m128i both =
            _mm_and_si128(equal(firsts, lowers, uppers), equal(lasts, lastLowers, lastUppers));
        return static_cast<unsigned>(_mm_movemask_epi8(both));
    };
    // The first candidate of `hits` (counted from `from`) where the whole needle is found, or none.
    auto firstMatch = [&](std::size_t from, unsigned hits) -> std::size_t {
        for (; hits != 0; hits &= hits - 1) {
            const std::size_t at = from + static_cast<std::size_t>(__builtin_ctz(hits));
            if (EqualsFoldedPrefix(data + at, needle.data(), n)) return at + 1;
        }
        return 0;
    };
    if (last >= 15) {
        std::size_t i = 0;
        for (; i + 15 <= last; i += 16) {
            if (const std::size_t found = firstMatch(i, hitsAt(data + i + k, data + i + n - 1))) return found;
        }
        if (i > last) return 0;
        // The last sixteen candidates; those before i are done.
        const std::size_t from = last - 15;
        return firstMatch(from, hitsAt(data + from + k, data + from + n - 1) & (0xFFFFu << (i - from)));
    }
    alignas(16) char firsts[16] = {};
    alignas(16) char lasts[16] = {};
    std::memcpy(firsts, data + k, last + 1);
    std::memcpy(lasts, data + n - 1, last + 1);
    return firstMatch(0, hitsAt(firsts, lasts) & ((1u << (last + 1)) - 1));
#else
    for (std::size_t i = 0; i <= last; ++i) {
        const char c = data[i + k];
        if ((c == lower || c == upper) && FoldCase(data[i + n - 1]) == lastLower &&
            EqualsFoldedPrefix(data + i, needle.data(), n)) {
            return i + 1;
        }
    }
    return 0;
#endif
}

std::size_t FindInMessage(std::string_view needle, std::string_view message) {
    if (needle.find('\'') == std::string_view::npos) message = BeforeQuote(message);
    return FindNoCase(needle, message);
}

bool MessageStartsWithAll(std::string_view needle, std::string_view message) {
    const std::size_t n = needle.size();
    if (n == 0 || n > message.size() || !EqualsFoldedPrefix(message.data(), needle.data(), n)) return false;
    // A needle without an apostrophe only sees the message before its first " '"; a matching prefix holds no
    // apostrophe, so the only way the cut reaches into it is a needle ending in a blank followed by "'".
    if (needle.find('\'') == std::string_view::npos && needle.back() == ' ' && message.size() > n &&
        message[n] == '\'') {
        return false;
    }
    return true;
}

std::string_view CutBefore(std::string_view text, std::string_view x) {
    if (x.size() == 1 && x[0] != '\'' && FoldCase(x[0]) == UpperCase(x[0]) && !text.empty()) {
        // One character that is no letter (".", "!", " "): its first occurrence counts when it lies before
        // the first " '", that is when the text up to the character after it holds no " '".
        const void* hit = std::memchr(text.data(), x[0], text.size());
        if (hit == nullptr) return text;
        const auto p = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        return BeforeQuote(text.substr(0, p + 2)).size() > p ? text.substr(0, p) : text;
    }
    std::size_t p = FindInMessage(x, text);
    return p == 0 ? text : text.substr(0, p - 1);
}

std::string_view Trim(std::string_view text) {
    auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool MessageStartsWith(std::string_view first, std::string_view second, std::string_view message) {
    const std::size_t n = first.size() + second.size();
    if (n == 0 || n > message.size() || !EqualsFoldedPrefix(message.data(), first.data(), first.size()) ||
        !EqualsFoldedPrefix(message.data() + first.size(), second.data(), second.size())) {
        return false;
    }
    const bool apostrophe =
        first.find('\'') != std::string_view::npos || second.find('\'') != std::string_view::npos;
    const char last = second.empty() ? first.back() : second.back();
    return apostrophe || last != ' ' || message.size() == n || message[n] != '\'';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string AddTrailingBackslash(std::string_view path) {
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    std::string result(path);
    if (result.empty() || result.back() != separator) result += separator;
    return result;
}

bool CopyOneFile(const std::string& source, const std::string& destination, bool failIfExists) {
    if (failIfExists && platform::StateOf(destination) != platform::FileState::Missing) return false;
    // The copy is made beside the destination and renamed over it, so that an existing destination is
    // never left half-written.
    return platform::CopyFileOver(source, destination);
}

std::string_view ListTail(std::string_view list) {
    if (std::size_t p = FindCase(", ", list); p > 0) {
        return Mid(list, p, 6) == ", and " ? RestFrom(list, p + 6) : RestFrom(list, p + 2);
    }
    if (std::size_t p = FindCase(" and ", list); p > 0) return RestFrom(list, p + 5);
    return {};
}

int ListCount(std::string_view list) {
    int count = 0;
    while (!list.empty()) {
        ++count;
        std::size_t p = FindInMessage(", ", list);
        if (p == 0) break;
        list = RestFrom(list, p + 2);
    }
    return count;
}

namespace {

// Whether ListAdd leaves the list as it is because of the item alone: none, unknown, or in the list already.
bool ListTakesNothing(std::string_view list, std::string_view item) {
    return item.empty() || item == "unknown" || FindInMessage(item, list) > 0;
}

// ListAdd of an item that ListTakesNothing lets through.
std::string ListAddNew(std::string_view list, std::string_view item) {
    if (ListCount(list) >= 6 && !list.starts_with("* ")) return "* " + std::string(list);
    if (list.empty()) return std::string(item);
    if (list == "* ") return "* " + std::string(item);
    std::string result(list);
    result += ", ";
    result += item;
    return result;
}

}  // namespace

std::string ListAdd(std::string_view list, std::string_view item) {
    return ListTakesNothing(list, item) ? std::string(list) : ListAddNew(list, item);
}

void ListAddTo(std::string& list, std::string_view item) {
    if (!ListTakesNothing(list, item)) list = ListAddNew(list, item);
}

Duration SplitDuration(std::string_view text) {
    Duration d;
    std::int64_t* fields[] = {&d.days, &d.hours, &d.minutes, &d.seconds};
    const std::string_view units[] = {" day", " hour", " minute", " second"};
    for (int i = 0; i < 4; ++i) {
        if (std::size_t p = FindCase(units[i], text); p > 0) {
            *fields[i] = ReadInteger(Mid(text, 1, p - 1), -1);
            text = ListTail(text);
        }
    }
    return d;
}

std::int64_t DurationSeconds(std::string_view text) {
    Duration d = SplitDuration(text);
    std::int64_t total = SaturatingAdd(SaturatingMul(d.days, 24), d.hours);
    total = SaturatingAdd(SaturatingMul(total, 60), d.minutes);
    total = SaturatingAdd(SaturatingMul(total, 60), d.seconds);
    return total > 0 ? total : 0;
}

bool DurationLonger(std::string_view a, std::string_view b) {
    return DurationSeconds(a) > DurationSeconds(b);
}

std::int64_t MoneyToCopper(std::string_view money) {
    struct Denomination {
        std::string_view word;
        std::int64_t copper;
    };
    static constexpr Denomination kDenominations[] = {
        {" Platinum", 1000}, {" Gold", 100}, {" Silver", 10}, {" Copper", 1}};
    std::int64_t total = 0;
    for (const Denomination& d : kDenominations) {
        std::size_t p = FindInMessage(d.word, money);
        if (p == 0) continue;
        total = SaturatingAdd(total, SaturatingMul(ReadInteger(Mid(money, 1, p - 1), 0), d.copper));
        if (d.copper != 1) money = RestFrom(money, p + d.word.size() + 1);
    }
    return total;
}

std::int64_t MoneyPerUnit(std::string_view money, std::int64_t count) {
    if (count == 0) return 0;
    std::int64_t copper = MoneyToCopper(money);
    if (copper == kMin && count == -1) return kMax;
    return copper / count;
}

std::string_view StripItemLink(std::string_view item) {
    if (item.empty() || item.front() != '\x12') return item;
    std::string_view name = RestFrom(item, 9);
    if (!name.empty() && name.back() == '\x12') name.remove_suffix(1);
    return name;
}

std::string ShortDate(std::string_view timestamp) {
    if (timestamp.empty() || timestamp.front() != '[') return std::string(timestamp);
    std::string result;
    result.reserve(20);
    result.append(Mid(timestamp, 10, 2)).append("-").append(Mid(timestamp, 6, 3)).append("-");
    result.append(Mid(timestamp, 22, 4)).append(" (").append(Mid(timestamp, 13, 5)).append(")");
    return result;
}

bool DateIsStale(std::string_view a, std::string_view b) {
    if (Mid(a, 8, 4) != Mid(b, 8, 4) || Mid(a, 4, 3) != Mid(b, 4, 3)) return true;
    return ReadInteger(Mid(b, 1, 2), 0) - ReadInteger(Mid(a, 1, 2), -255) > 3;
}

std::string RemoveSpaces(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c != ' ') result += c;
    }
    return result.empty() ? std::string(text) : result;
}

std::string_view LastWord(std::string_view text) {
    if (text.empty() || text.back() == ' ') return text;
    std::size_t blank = text.rfind(' ');
    return blank == std::string_view::npos ? text : text.substr(blank + 1);
}

std::string CapitalizeFirst(std::string_view text) {
    std::string result(text);
    CapitalizeFirstOf(result);
    return result;
}

std::string CapitalizeWords(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    while (true) {
        std::size_t blank = text.find(' ');
        if (blank == std::string_view::npos) {
            result += CapitalizeFirst(text);
            return result;
        }
        std::string_view word = text.substr(0, blank);
        if (word == "a" || word == "an" || word == "the") {
            result += word;
        } else {
            result += CapitalizeFirst(word);
        }
        result += ' ';
        text.remove_prefix(blank + 1);
    }
}

bool IsProperName(std::string_view message) {
    std::size_t blank = message.find(' ');
    if (blank == std::string_view::npos) return false;
    std::string_view first = message.substr(0, blank);
    if (EqualsNoCase(first, "a") || EqualsNoCase(first, "the")) return false;
    // A blank at the very end has nothing after it, which upper-casing leaves unchanged.
    char afterBlank = blank + 1 < message.size() ? message[blank + 1] : '\0';
    return UpperCase(message[0]) == message[0] && UpperCase(afterBlank) == afterBlank;
}

std::string NumberOrUnknown(std::string_view counter) {
    if (counter == "0") return "0";
    std::optional<std::int64_t> value = ReadInteger(counter);
    return (value && *value != 0) ? std::string(counter) : "?";
}

std::string BlanksToUnderlines(std::string_view text) {
    std::string result(text);
    std::replace(result.begin(), result.end(), ' ', '_');
    return result;
}

std::string SkillRankName(std::string_view value) {
    std::string counter = NumberOrUnknown(value);
    if (counter == "?") return "unknown";
    std::int64_t v = ReadInteger(counter, 0);
    if (v <= 10) return "Awful";
    if (v <= 20) return "Feeble";
    if (v <= 30) return "Very Bad";
    if (v <= 40) return "Bad";
    if (v <= 50) return "Below Average";
    if (v <= 70) return "Average";
    if (v <= 80) return "Good";
    if (v <= 90) return "Very Good";
    if (v <= 100) return "Excellent";
    return "Master";
}

std::string RemoveExtension(std::string_view fileName) {
    std::size_t dot = fileName.rfind('.');
    std::size_t separator = fileName.find_last_of("\\/:");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) {
        return std::string(fileName);
    }
    std::size_t p = FindNoCase(fileName.substr(dot), fileName);
    return std::string(fileName.substr(0, p - 1));
}

std::string SortKey(std::int64_t n) {
    n = std::clamp<std::int64_t>(n, -1'000'000, 1'000'000);
    std::string digits = "0000000" + std::to_string(n + 1'000'000);
    return digits.substr(digits.size() - 7);
}

}  // namespace krav
