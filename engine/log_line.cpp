// Timestamp and message of a log line, and the long form of slashed dates.
#include "engine/log_line.h"

#include <array>
#include <atomic>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>
#endif

#include "engine/text.h"

namespace krav {

void PrepareSearch(LogLine& line) {
    const std::string_view m = line.Message;
    const char* data = m.data();
    const std::size_t size = m.size();
    // One pass finds the first " '" (the end of the searched part), whether the message holds an apostrophe
    // at all, and the first comma.
    std::size_t end = size, firstComma = size;
    bool apostrophe = false;
#ifdef __SSE2__
    // Blocks of sixteen bytes; the last block of a longer message overlaps the one before it, and a shorter
    // message is copied into a block of its own, so that no byte is looked at one at a time.
    alignas(16) char shortBlock[16] = {};
    const char* bytes = data;
    if (size < 16) {
        if (size > 0) std::memcpy(shortBlock, data, size);  // an empty view may have no data at all
        bytes = shortBlock;
    }
    const std::size_t blocksEnd = size < 16 ? 16 : size;
    for (std::size_t done = 0; done < blocksEnd;) {
        const std::size_t at = done + 16 <= blocksEnd ? done : blocksEnd - 16;
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        const unsigned fresh = 0xFFFFu << (done - at);  // the bytes not looked at yet
        const __m128i quoteBytes = _mm_cmpeq_epi8(block, _mm_set1_epi8('\''));
        const __m128i commaBytes = _mm_cmpeq_epi8(block, _mm_set1_epi8(','));
        // Most blocks hold neither: one test passes them.
        if ((static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(quoteBytes, commaBytes))) & fresh) == 0) {
            done = at + 16;
            continue;
        }
        const auto quotes = static_cast<unsigned>(_mm_movemask_epi8(quoteBytes)) & fresh;
        const auto commas = static_cast<unsigned>(_mm_movemask_epi8(commaBytes)) & fresh;
        const auto blanks =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(' '))));
        if (commas != 0 && firstComma == size)
            firstComma = at + static_cast<std::size_t>(__builtin_ctz(commas));
        if (quotes != 0) {
            apostrophe = true;
            // A quote that follows a blank; the message's first byte has nothing before it.
            const unsigned blankBefore = at > 0 && bytes[at - 1] == ' ' ? 1u : 0u;
            const unsigned opening = quotes & ((blanks << 1) | blankBefore);
            if (opening != 0) {
                end = at + static_cast<std::size_t>(__builtin_ctz(opening)) - 1;
                break;
            }
        }
        done = at + 16;
    }
#else
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == ',' && firstComma == size) firstComma = i;
        if (c == '\'') {
            apostrophe = true;
            if (i > 0 && data[i - 1] == ' ') {
                end = i - 1;
                break;
            }
        }
    }
#endif
    line.Unquoted = m.substr(0, end);
    line.HasApostrophe = apostrophe;
    line.CommaBeforeQuote = firstComma < end;
    line.PairsReady = line.ForReady = false;
    if (std::endian::native == std::endian::little && size >= 8) {
        line.Head = FoldEight(LoadEight(data));  // byte k of the message in bits 8k to 8k+7
    } else {
        std::uint64_t head = 0;
        for (std::size_t k = 0; k < size; ++k)
            head |= std::uint64_t{static_cast<unsigned char>(FoldCase(data[k]))} << (8 * k);
        line.Head = head;
    }
    line.StartsWithYou =
        (line.Head & 0xFFFFFF) == (std::uint64_t{'y'} | std::uint64_t{'o'} << 8 | std::uint64_t{'u'} << 16);
}

#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#define KRAV_PAIRS_AVX512 1
namespace {

// Processors with 64-byte registers (AVX-512) work the pairs out without storing a flag per pair: the bits of
// 64 pairs at once, then each bit set in one of the two words by a shift of one, eight pairs to an
// instruction. The read-ahead thread spent half its time on the pairs, and it shares the processor with the
// reading; elsewhere (Windows among them, whose compilers do not keep such registers' spills aligned) the
// pairs are worked out as below.
#define KRAV_WIDE __attribute__((target("avx512f,avx512bw")))
// The compiler's own wide intrinsics start from undefined registers, which it then warns about.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// The 64 bytes folded: A-Z to a-z.
KRAV_WIDE inline __m512i FoldWide(__m512i x) {
    // x - 'A' + 128 lies below 128 + 26 as a signed byte exactly for the capitals A-Z.
    const __mmask64 capital =
        _mm512_cmplt_epi8_mask(_mm512_add_epi8(x, _mm512_set1_epi8(static_cast<char>(128 - 'A'))),
                               _mm512_set1_epi8(static_cast<char>(128 + 26 - 256)));
    return _mm512_mask_add_epi8(x, capital, x, _mm512_set1_epi8(0x20));
}

// The pairs of `size` bytes (at least 2) into pairs[0] and pairs[1]. A shift by 64 or more gives 0: the
// shift for the other word leaves it alone, and the lanes past the end (set to 128) add nothing. The words
// go out in one 16-byte store, which the read of them both that follows can take from the store at once (two
// 8-byte stores read as one would wait for both to reach the cache).
KRAV_WIDE void PairsWide(const unsigned char* bytes, std::size_t size, std::uint64_t* pairs) {
    const __m512i ones = _mm512_set1_epi64(1);
    const __m512i sixtyFour = _mm512_set1_epi64(64);
    __m512i low = _mm512_setzero_si512(), high = _mm512_setzero_si512();
    alignas(64) unsigned char bits[64];
    for (std::size_t i = 1; i < size; i += 64) {
        const std::size_t count = size - i < 64 ? size - i : 64;
        const __mmask64 valid = count == 64 ? ~__mmask64{0} : (__mmask64{1} << count) - 1;
        const __m512i current = FoldWide(_mm512_maskz_loadu_epi8(valid, bytes + i));
        const __m512i previous = FoldWide(_mm512_maskz_loadu_epi8(valid, bytes + i - 1));
        const __m512i times32 =
            _mm512_and_si512(_mm512_slli_epi16(previous, 5), _mm512_set1_epi8(static_cast<char>(0xE0)));
        __m512i bit = _mm512_and_si512(_mm512_add_epi8(_mm512_sub_epi8(times32, previous), current),
                                       _mm512_set1_epi8(127));
        bit = _mm512_mask_mov_epi8(_mm512_set1_epi8(static_cast<char>(0x80)), valid, bit);  // 128: no bit
        _mm512_store_si512(bits, bit);
        for (std::size_t group = 0; group < count; group += 8) {
            const __m512i index =
                _mm512_cvtepu8_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bits + group)));
            low = _mm512_or_si512(low, _mm512_sllv_epi64(ones, index));
            high = _mm512_or_si512(high, _mm512_sllv_epi64(ones, _mm512_sub_epi64(index, sixtyFour)));
        }
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pairs),
                     _mm_set_epi64x(_mm512_reduce_or_epi64(high), _mm512_reduce_or_epi64(low)));
}

#pragma GCC diagnostic pop

const bool kHaveWide = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
// Before the program's start has set it (no line is read then), and where a test turns it off, the pairs are
// worked out as on every other processor.
std::atomic<bool> gWide{kHaveWide};

}  // namespace
#endif

void UseWidePairs(bool on) {
#ifdef KRAV_PAIRS_AVX512
    gWide.store(on && kHaveWide, std::memory_order_relaxed);
#else
    (void)on;
#endif
}

void PreparePairs(const LogLine& line) {
#ifdef KRAV_PAIRS_AVX512
    if (gWide.load(std::memory_order_relaxed) && line.Message.size() >= 2) {
        PairsWide(reinterpret_cast<const unsigned char*>(line.Message.data()), line.Message.size(),
                  line.Pairs);
        line.PairsReady = true;
        return;
    }
#endif
    static constexpr auto kFolded = [] {
        std::array<unsigned char, 256> table{};
        for (unsigned c = 0; c < 256; ++c)
            table[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        return table;
    }();
    // The pairs of the whole message are taken, so that needles holding an apostrophe, which search the whole
    // message, are ruled out by the mask too.
    const auto* bytes = reinterpret_cast<const unsigned char*>(line.Message.data());
    const std::size_t size = line.Message.size();
#ifdef __SSE2__
    // One flag byte per bit, set with a plain store per pair; the pairs' bits are worked out sixteen at a
    // time and the flags gathered into the mask at the end. No step depends on the one before, unlike setting
    // the bits in registers one pair after the other.
    alignas(16) unsigned char seen[128] = {};
    alignas(16) unsigned char bits[16];
    std::size_t i = 1;
    const __m128i capitalBase = _mm_set1_epi8(static_cast<char>(128 - 'A'));
    const __m128i capitalEnd = _mm_set1_epi8(static_cast<char>(128 + 26 - 256));
    const __m128i smallGap = _mm_set1_epi8(0x20);
    auto fold = [&](__m128i x) {
        // x - 'A' + 128 lies below 128 + 26 as a signed byte exactly for the capitals A-Z.
        const __m128i capital = _mm_cmplt_epi8(_mm_add_epi8(x, capitalBase), capitalEnd);
        return _mm_add_epi8(x, _mm_and_si128(capital, smallGap));
    };
    auto addBlock = [&](std::size_t at) {  // the pairs ending at bytes at .. at + 15
        const __m128i current = fold(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at)));
        const __m128i previous = fold(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at - 1)));
        // (previous * 31 + current) & 127 in every byte: previous * 32 is a 16-bit shift with the bits that
        // crossed from the neighbouring byte masked off.
        const __m128i times32 =
            _mm_and_si128(_mm_slli_epi16(previous, 5), _mm_set1_epi8(static_cast<char>(0xE0)));
        const __m128i bit =
            _mm_and_si128(_mm_add_epi8(_mm_sub_epi8(times32, previous), current), _mm_set1_epi8(127));
        _mm_store_si128(reinterpret_cast<__m128i*>(bits), bit);
        for (unsigned char b : bits)
            seen[b] = 0x80;
    };
    for (; i + 16 <= size; i += 16)
        addBlock(i);
    // The rest as one more block overlapping the last: a pair seen twice is the same bit.
    if (i < size && size > 16) {
        addBlock(size - 16);
        i = size;
    }
    for (; i < size; ++i)
        seen[(kFolded[bytes[i - 1]] * 31u + kFolded[bytes[i]]) & 127u] = 0x80;
    std::uint64_t halves[2] = {0, 0};
    for (unsigned block = 0; block < 8; ++block) {
        const auto flags = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(seen + 16 * block))));
        halves[block / 4] |= std::uint64_t{flags} << (16 * (block % 4));
    }
    line.Pairs[0] = halves[0];
    line.Pairs[1] = halves[1];
#else
    std::uint64_t low = 0, high = 0;
    unsigned previous = size > 0 ? kFolded[bytes[0]] : 0;
    for (std::size_t i = 1; i < size; ++i) {
        const unsigned current = kFolded[bytes[i]];
        const unsigned bit = (previous * 31u + current) & 127u;
        const std::uint64_t flag = std::uint64_t{1} << (bit & 63);
        const std::uint64_t inHigh = std::uint64_t{0} - (bit >> 6);
        low |= flag & ~inHigh;
        high |= flag & inHigh;
        previous = current;
    }
    line.Pairs[0] = low;
    line.Pairs[1] = high;
#endif
    line.PairsReady = true;
}

void PrepareFor(const LogLine& line) {
    // A line whose pairs lack one of the needle's holds no " for ": no search.
    static constexpr Needle kFor(" for ");
    line.ForAt = MayHold(kFor, line) ? static_cast<std::uint32_t>(FindNoCase(kFor.text, line.Unquoted)) : 0;
    line.ForReady = true;
}

void PrepareAhead(std::string_view raw, PreparedLine& prepared, bool pairs) {
    LogLine line;
    line.Raw = raw;
    line.Message = MessagePart(raw);
    PrepareSearch(line);
    if (pairs) {
        PreparePairs(line);
        PrepareFor(line);
    }
    prepared.forAt = line.ForAt;
    prepared.head = line.Head;
    prepared.pairs[0] = line.Pairs[0];
    prepared.pairs[1] = line.Pairs[1];
    prepared.unquotedSize = static_cast<std::uint32_t>(line.Unquoted.size());
    prepared.pairsReady = line.PairsReady;
    prepared.startsWithYou = line.StartsWithYou;
    prepared.hasApostrophe = line.HasApostrophe;
    prepared.commaBeforeQuote = line.CommaBeforeQuote;
}

void TakePrepared(LogLine& line, const PreparedLine& prepared) {
    line.Unquoted = line.Message.substr(0, prepared.unquotedSize);
    line.Head = prepared.head;
    line.Pairs[0] = prepared.pairs[0];
    line.Pairs[1] = prepared.pairs[1];
    line.PairsReady = prepared.pairsReady;
    line.ForAt = prepared.forAt;
    line.ForReady = prepared.pairsReady;
    line.StartsWithYou = prepared.startsWithYou;
    line.HasApostrophe = prepared.hasApostrophe;
    line.CommaBeforeQuote = prepared.commaBeforeQuote;
}

LogLine MessageLine(std::string_view message) {
    LogLine line;
    line.Raw = line.Message = message;
    PrepareSearch(line);
    return line;
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
