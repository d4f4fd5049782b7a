// Eight bytes at a time, letters A-Z folded to small ones: the word-wise case folding that text searches and
// name hashes share.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace krav::platform {

// Eight bytes read as one number, whatever their alignment.
inline std::uint64_t LoadEight(const char* p) {
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    return x;
}
// The `n` bytes at `p`, fewer than eight, as LoadEight would read them followed by zeros; in place, without
// the call that a copy of a length not known at compile time costs.
inline std::uint64_t LoadTail(const char* p, std::size_t n) {
    std::uint64_t x = 0;
    unsigned shift = 0;
    if (n & 4) {
        std::uint32_t four;
        std::memcpy(&four, p, 4);
        x = four;
        p += 4;
        shift = 32;
    }
    if (n & 2) {
        std::uint16_t two;
        std::memcpy(&two, p, 2);
        x |= std::uint64_t{two} << shift;
        p += 2;
        shift += 16;
    }
    if (n & 1) x |= std::uint64_t{static_cast<unsigned char>(*p)} << shift;
    return x;
}
// Whether a and b hold the same bytes, compared in place without a call: most texts the friends file
// compares by the million are names and values of a few bytes, for which a call costs more than the compare.
inline bool EqualBytes(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    if (n != b.size()) return false;
    const char* p = a.data();
    const char* q = b.data();
    if (n >= 8) {
        // Whole blocks of eight, then the last eight bytes again (overlapping) for the rest.
        for (std::size_t i = 0; i + 8 < n; i += 8)
            if (LoadEight(p + i) != LoadEight(q + i)) return false;
        return LoadEight(p + n - 8) == LoadEight(q + n - 8);
    }
    if (n >= 4) {
        std::uint32_t x[2], y[2];
        std::memcpy(&x[0], p, 4);
        std::memcpy(&x[1], p + n - 4, 4);
        std::memcpy(&y[0], q, 4);
        std::memcpy(&y[1], q + n - 4, 4);
        return x[0] == y[0] && x[1] == y[1];
    }
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != q[i]) return false;
    return true;
}
// Eight bytes with their capitals A-Z made small at once: a byte is a capital when its low seven bits lie
// in 'A'..'Z' and its top bit is clear, and gains 0x20 then. No sum carries into the next byte.
inline std::uint64_t FoldEight(std::uint64_t x) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    const std::uint64_t low = x & (0x7F * kOnes);
    const std::uint64_t fromA = low + (0x80 - 'A') * kOnes;        // top bit set from 'A' up
    const std::uint64_t beyondZ = low + (0x80 - 'Z' - 1) * kOnes;  // top bit set beyond 'Z'
    const std::uint64_t capitals = fromA & ~beyondZ & ~x & (0x80 * kOnes);
    return x | (capitals >> 2);
}

}  // namespace krav::platform
