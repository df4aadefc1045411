#include "math/vec3.h"

#include "tests/math/expect_near.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Vec3, CrossProductIsRightHanded) {
    expectNear(cross({1, 0, 0}, {0, 1, 0}), {0, 0, 1});
    expectNear(cross({0, 1, 0}, {1, 0, 0}), {0, 0, -1});
    expectNear(cross({1, 2, 3}, {4, 5, 6}), {-3, 6, -3});
}

TEST(Vec3, NormalizeGivesUnitLengthAndLeavesTheZeroVectorAlone) {
    expectNear(normalize({3, 0, -4}), {0.6f, 0, -0.8f});
    const Vec3 zero = normalize({0, 0, 0});
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);
}

TEST(Vec3, RotateAboutAxisTurnsByMinusTheAngle) {
    Vec3 v{1, 0, 0};
    rotateAboutAxis(v, {0, 0, 1}, 90);
    expectNear(v, {0, -1, 0});

    // About the diagonal, +120 degrees would cycle X -> Y -> Z; -120 takes Y back to X. The axis is not unit.
    Vec3 w{0, 1, 0};
    rotateAboutAxis(w, {2, 2, 2}, 120);
    expectNear(w, {1, 0, 0});
}

TEST(Vec3, RotateAboutAxisKeepsLengthAndTheAxisComponent) {
    const Vec3 axis = normalize({1, -2, 0.5f});
    const Vec3 start{3, 1, -2};
    Vec3 v = start;
    rotateAboutAxis(v, axis, 37);
    EXPECT_NEAR(length(v), length(start), 1e-5f);
    EXPECT_NEAR(dot(v, axis), dot(start, axis), 1e-5f);
    EXPECT_GT(length(v - start), 1.0f);
}

TEST(Vec3, RotateAboutAZeroAxisLeavesTheVector) {
    Vec3 v{1, 2, 3};
    rotateAboutAxis(v, {0, 0, 0}, 45);
    expectNear(v, {1, 2, 3}, 0);
}

} // namespace
