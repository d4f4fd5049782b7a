// Pieces of work done ahead on a second thread and taken in order.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "engine/work_ahead.h"

namespace krav::test {
namespace {

// Every piece is done exactly once and is complete when taken, whichever thread did it, with and without the
// second thread and for windows from one piece to more than all.
TEST(WorkAhead, EveryPieceIsDoneOnceAndIsCompleteWhenTaken) {
    constexpr std::size_t kPieces = 500;
    for (const bool helper : {false, true}) {
        for (const std::size_t window : {std::size_t{1}, std::size_t{4}, kPieces + 1}) {
            std::vector<std::atomic<int>> runs(kPieces);
            std::vector<long> sums(kPieces, 0);
            WorkAhead work(
                kPieces, window,
                [&](std::size_t p) {
                    ++runs[p];
                    for (std::size_t i = 0; i <= p % 97; ++i)
                        sums[p] += static_cast<long>(i);
                },
                helper);
            for (std::size_t p = 0; p < kPieces; ++p) {
                work.Take(p);
                const long n = static_cast<long>(p % 97);
                ASSERT_EQ(sums[p], n * (n + 1) / 2) << "piece " << p << ", window " << window;
            }
            for (std::size_t p = 0; p < kPieces; ++p)
                EXPECT_EQ(runs[p].load(), 1) << "piece " << p;
        }
    }
}

// A piece that fails on either thread is told by the Take of that piece; the pieces before it are whole.
TEST(WorkAhead, AFailedPieceIsThrownByItsTake) {
    for (const bool helper : {false, true}) {
        std::vector<int> done(40, 0);
        WorkAhead work(
            40, 8,
            [&](std::size_t p) {
                if (p == 25) throw std::runtime_error("no memory");
                done[p] = 1;
            },
            helper);
        for (std::size_t p = 0; p < 25; ++p) {
            work.Take(p);
            EXPECT_EQ(done[p], 1);
        }
        EXPECT_THROW(work.Take(25), std::runtime_error);
    }
}

}  // namespace
}  // namespace krav::test
