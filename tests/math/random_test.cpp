#include "math/random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

// Expected values were computed outside this code base with state = state * 214013 + 2531011 (mod 2^32),
// r = (state >> 16) & 0x7FFF.

TEST(Random, FollowsTheLinearCongruentialSequence) {
    seedRandom(1);
    for (int r : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(randomFraction(), float(r) / 32767);

    seedRandom(0xDEADBEEF); // a seed with the top bit set must not go through signed arithmetic
    for (int r : {18337, 16920, 18732, 19770})
        EXPECT_EQ(randomFraction(), float(r) / 32767);
}

TEST(Random, StartsFromStateOneWithoutASeed) {
    // Earlier tests have moved the process-wide state, so look at the first draw of a fresh process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(randomFraction() == 41.0f / 32767 ? 0 : 1), testing::ExitedWithCode(0), "");
}

TEST(Random, ReachesBothEndsOfTheUnitInterval) {
    seedRandom(0xA170F641); // the next state has 0 in bits 16..30
    EXPECT_EQ(randomFraction(), 0.0f);
    seedRandom(0xF01BF641); // the next state has 0x7FFF there
    EXPECT_EQ(randomFraction(), 1.0f);
}

TEST(Random, UnitVectorTakesThreeDrawsForXYZInOrder) {
    seedRandom(12345); // draws 7584, 19164, 25795
    const Vec3 v = randomUnitVector();
    EXPECT_NEAR(v.x, -0.6675898f, 1e-6f);
    EXPECT_NEAR(v.y, 0.2109475f, 1e-6f);
    EXPECT_NEAR(v.z, 0.7140203f, 1e-6f);
    EXPECT_EQ(randomFraction(), 22125.0f / 32767); // exactly three draws were used
}

} // namespace
