// Eight bytes at a time, letters A-Z folded to small ones: the word-wise case folding that text searches and
// name hashes share.
#pragma once

#include <cstdint>
#include <cstring>

namespace krav::platform {

// Eight bytes read as one number, whatever their alignment.
inline std::uint64_t LoadEight(const char* p) {
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    return x;
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
