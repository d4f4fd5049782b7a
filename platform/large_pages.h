// Memory for the large tables that a log of many names fills and then reads in no order (hash slots, the
// rows and texts they lead to). Where the system offers it (Linux's transparent huge pages), a block of two
// megabytes or more is asked for in 2 MB pages: a table of megabytes then takes a few hundred page faults
// instead of thousands, and its lookups miss the processor's address cache far less. Elsewhere, and for
// smaller blocks, it is plain operator new.
#pragma once

#include <cstddef>
#include <new>
#include <string>
#include <vector>

namespace krav::platform {

// Blocks from this size up are mapped on their own, in large pages where they can be had.
inline constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

// Throws std::bad_alloc when no memory can be had; FreeLarge takes the size given to AllocateLarge.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block, std::size_t bytes) noexcept;

// Asks for the cache line at `address` ahead of its use, where the compiler can say so; a hint only. On x86
// the instruction is written out: g++ drops a __builtin_prefetch whose address comes out of a loop (a hash
// of a name) as dead code.
inline void Prefetch(const void* address) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __asm__ volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(address)));
#elif defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// The program's heap (malloc's, and so operator new's) asked for in large pages too: the rows of a table
// are many small blocks, reached in no order. StartLargeHeap, called first thing, has the heap grow in steps
// of 64 MB, and every thread's blocks under 2 MB come from it; AdviseHeap, called now and then from any
// thread, asks for large pages in what the heap has grown by since (most of a step is not touched yet), and
// costs nothing when it has not grown. AllocateLarge calls it too. Linux with glibc only; elsewhere both do
// nothing.
void StartLargeHeap();
void AdviseHeap();

template <typename T>
struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() = default;
    template <typename U>
    LargePageAllocator(const LargePageAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(AllocateLarge(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { FreeLarge(p, n * sizeof(T)); }

    template <typename U>
    bool operator==(const LargePageAllocator<U>&) const noexcept {
        return true;
    }
};

template <typename T>
using LargeVector = std::vector<T, LargePageAllocator<T>>;
using LargeString = std::basic_string<char, std::char_traits<char>, LargePageAllocator<char>>;

}  // namespace krav::platform
