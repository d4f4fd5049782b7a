// Large blocks mapped on their own, at a 2 MB boundary and in whole 2 MB pages, with the kernel asked to back
// them with huge pages (which it does as they are first touched, or not at all when they are switched off).
// The heap is asked for in large pages as it grows (StartLargeHeap, AdviseHeap).
#include "platform/large_pages.h"

#include <atomic>
#include <cstdint>

#if defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace krav::platform {

#if defined(__linux__)

namespace {

std::size_t Rounded(std::size_t bytes) {
    return (bytes + kLargeBlock - 1) & ~(kLargeBlock - 1);
}

// The end of the heap as last marked for large pages; 0 until StartLargeHeap.
std::atomic<std::uintptr_t> advisedEnd{0};

}  // namespace

void* AllocateLarge(std::size_t bytes) {
    AdviseHeap();
    if (bytes < kLargeBlock) return ::operator new(bytes);
    const std::size_t size = Rounded(bytes);
    if (size < bytes || size + kLargeBlock < size) throw std::bad_alloc();
    // Mapped with room to start at a boundary; what lies outside the aligned block is given back.
    void* mapped =
        mmap(nullptr, size + kLargeBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kLargeBlock - 1) & ~std::uintptr_t{kLargeBlock - 1};
    if (aligned > start) munmap(mapped, aligned - start);
    if (const std::uintptr_t tail = start + kLargeBlock - aligned; tail > 0)
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, size, MADV_HUGEPAGE);  // only a request: without huge pages the block works the same
    return block;
}

void StartLargeHeap() {
#if defined(M_TOP_PAD)
    // The heap grows in large steps, each marked before most of it is touched.
    mallopt(M_TOP_PAD, 64 << 20);
#endif
    // Every block under 2 MB comes from that heap, whichever thread asks: each thread's own heap, and a
    // block of 128 KB or more mapped on its own, are not marked, and fault in 4 KB at a time. On a virtual
    // machine a page fault costs several microseconds, and the friends file's threads grow tables of
    // hundreds of kilobytes step by step.
#if defined(M_ARENA_MAX)
    mallopt(M_ARENA_MAX, 1);
#endif
#if defined(M_MMAP_THRESHOLD)
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargeBlock));
#endif
    advisedEnd.store(reinterpret_cast<std::uintptr_t>(sbrk(0)));
}

void AdviseHeap() {
    std::uintptr_t from = advisedEnd.load(std::memory_order_relaxed);
    if (from == 0) return;
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (end == from || !advisedEnd.compare_exchange_strong(from, end)) return;  // or another thread marks it
    if (end < from) return;  // the heap shrank
    // From the boundary before the old end: the kernel backs only whole large pages with one. Only a
    // request, as for a large block.
    const std::uintptr_t start = from & ~std::uintptr_t{kLargeBlock - 1};
    madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

void FreeLarge(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
    if (bytes < kLargeBlock) {
        ::operator delete(block);
        return;
    }
    munmap(block, Rounded(bytes));
}

#else

void StartLargeHeap() {}
void AdviseHeap() {}

void* AllocateLarge(std::size_t bytes) {
    return ::operator new(bytes);
}
void FreeLarge(void* block, std::size_t) noexcept {
    ::operator delete(block);
}

#endif

}  // namespace krav::platform
