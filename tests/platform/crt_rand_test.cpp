// The C runtime generator's sequence.
#include <gtest/gtest.h>

#include "platform/crt_rand.h"

TEST(CrtRand, FollowsTheRuntimeSequence) {
    // The first values of the runtime's generator for seed 1 and seed 0.
    crtSrand(1);
    EXPECT_EQ(crtRand(), 41);
    EXPECT_EQ(crtRand(), 18467);
    EXPECT_EQ(crtRand(), 6334);
    crtSrand(0);
    EXPECT_EQ(crtRand(), 38);
    EXPECT_EQ(crtRand(), 7719);
}

TEST(CrtRand, StaysWithinFifteenBits) {
    crtSrand(0xDEADBEEF);
    for (int i = 0; i < 10000; ++i) {
        int r = crtRand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, CRT_RAND_MAX);
    }
}
