// Memory for large tables: blocks of every size hold what is written to them, and a size no system can give
// fails as operator new would.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <limits>
#include <new>
#include <vector>

#include "platform/large_pages.h"

#if defined(__linux__)
#include <unistd.h>
#endif

namespace krav::test {
namespace {

using platform::kLargeBlock;

TEST(LargePages, BlocksHoldWhatIsWrittenAndImpossibleSizesFail) {
    for (const std::size_t bytes :
         {std::size_t{1}, kLargeBlock - 1, kLargeBlock, kLargeBlock + 1, 3 * kLargeBlock + 5}) {
        auto* block = static_cast<unsigned char*>(platform::AllocateLarge(bytes));
        std::memset(block, 0x5A, bytes);  // every byte of the block is there to be written
        EXPECT_EQ(block[0], 0x5A);
        EXPECT_EQ(block[bytes - 1], 0x5A);
#if defined(__linux__)
        // Large pages need the block at a boundary of theirs.
        if (bytes >= kLargeBlock) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kLargeBlock, 0u) << bytes;
        }
#endif
        platform::FreeLarge(block, bytes);
    }

    // A table that grows past the size of a large block keeps every item as it moves.
    platform::LargeVector<std::uint64_t> table;
    for (std::uint64_t i = 0; i < 3 * kLargeBlock / sizeof(std::uint64_t); ++i)
        table.push_back(i * 7);
    bool kept = true;
    for (std::uint64_t i = 0; i < table.size(); ++i)
        kept = kept && table[i] == i * 7;
    EXPECT_TRUE(kept);

    EXPECT_THROW(platform::AllocateLarge(std::numeric_limits<std::size_t>::max()), std::bad_alloc);
    EXPECT_THROW(platform::AllocateLarge(std::size_t{1} << 62), std::bad_alloc);
}

#if defined(__linux__)
// The heap's growth is marked for large pages (the "hg" of its flags), where the kernel has them at all.
TEST(LargePages, TheHeapIsAskedForInLargePagesAsItGrows) {
    if (!std::filesystem::exists("/sys/kernel/mm/transparent_hugepage/enabled"))
        GTEST_SKIP() << "no large pages here";
    platform::StartLargeHeap();
    const void* before = sbrk(0);
    std::vector<std::unique_ptr<char[]>> small;
    while (sbrk(0) == before && small.size() < 100000)
        small.emplace_back(new char[1000]);
    if (sbrk(0) == before) GTEST_SKIP() << "this allocator does not grow the heap";
    platform::AdviseHeap();
    const auto top = reinterpret_cast<std::uintptr_t>(sbrk(0)) - 1;
    std::ifstream maps("/proc/self/smaps");
    bool inHeap = false, marked = false;
    for (std::string line; std::getline(maps, line);) {
        if (std::uintptr_t from = 0, to = 0; std::sscanf(line.c_str(), "%" SCNxPTR "-%" SCNxPTR, &from, &to) == 2)
            inHeap = from <= top && top < to;
        if (inHeap && line.starts_with("VmFlags:")) marked = line.find(" hg") != std::string::npos;
    }
    EXPECT_TRUE(marked);
}
#endif

}  // namespace
}  // namespace krav::test
