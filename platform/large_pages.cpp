// Large blocks mapped on their own, at a 2 MB boundary and in whole 2 MB pages, with the kernel asked to back
// them with huge pages (which it does as they are first touched, or not at all when they are switched off).
#include "platform/large_pages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace krav::platform {

#if defined(__linux__)

namespace {

std::size_t Rounded(std::size_t bytes) {
    return (bytes + kLargeBlock - 1) & ~(kLargeBlock - 1);
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
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

void FreeLarge(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
    if (bytes < kLargeBlock) {
        ::operator delete(block);
        return;
    }
    munmap(block, Rounded(bytes));
}

#else

void* AllocateLarge(std::size_t bytes) {
    return ::operator new(bytes);
}
void FreeLarge(void* block, std::size_t) noexcept {
    ::operator delete(block);
}

#endif

}  // namespace krav::platform
