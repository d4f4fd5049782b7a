// The single-instance lock: held once at a time, free again as soon as its holder lets go.
#include <gtest/gtest.h>

#include "platform/single_instance.h"
#include "tests/isolated_home.h"

namespace krav::test {
namespace {

TEST(SingleInstance, HeldOnceAtATimeAndFreeAgainWhenLetGo) {
    IsolatedHome home;
    {
        platform::SingleInstance first;
        ASSERT_TRUE(first.Acquire("HY_KRAV_TEST"));
        platform::SingleInstance second;
        EXPECT_FALSE(second.Acquire("HY_KRAV_TEST"));
        EXPECT_FALSE(second.Held());
        platform::SingleInstance other;
        EXPECT_TRUE(other.Acquire("HY_KRAV_OTHER"));  // another name is another lock
    }
    platform::SingleInstance again;
    EXPECT_TRUE(again.Acquire("HY_KRAV_TEST"));
}

}  // namespace
}  // namespace krav::test
