#include "math/quat.h"

#include "tests/math/expect_near.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float half = std::sqrt(0.5f);

TEST(Matrix4, BasisMatrixPutsTheVectorsInColumnsInOpenGLOrder) {
    const Matrix4 m = basisMatrix({1, 2, 3}, {4, 5, 6}, {7, 8, 9});
    const std::array<float, 16> expected{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 1};
    EXPECT_EQ(m.m, expected);
}

TEST(Quat, FromMatrixOfIdentityAndHalfTurns) {
    expectNear(quatFromMatrix(basisMatrix({1, 0, 0}, {0, 1, 0}, {0, 0, 1})), {0, 0, 0, 1});
    // Half turns have trace -1: the largest diagonal element picks the component that is derived first.
    expectNear(quatFromMatrix(basisMatrix({1, 0, 0}, {0, -1, 0}, {0, 0, -1})), {1, 0, 0, 0});
    expectNear(quatFromMatrix(basisMatrix({-1, 0, 0}, {0, 1, 0}, {0, 0, -1})), {0, 1, 0, 0});
    expectNear(quatFromMatrix(basisMatrix({-1, 0, 0}, {0, -1, 0}, {0, 0, 1})), {0, 0, 1, 0});
}

TEST(Quat, FromMatrixReadsColumnsAsTheImagesOfTheAxes) {
    // X goes to Y and Y to -X: a quarter turn about +Z. Reading the matrix by rows would give the inverse.
    expectNear(quatFromMatrix(basisMatrix({0, 1, 0}, {-1, 0, 0}, {0, 0, 1})), {0, 0, half, half});
}

TEST(Quat, ToMatrixWritesRowOrder) {
    const Matrix4 m = quatToMatrix({0, 0, half, half}); // a quarter turn about +Z, X to Y
    const std::array<float, 16> expected{0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m.m[i], expected[i], 1e-6f) << "element " << i;
}

TEST(Quat, BasisSurvivesTheRoundTripThroughBothOrders) {
    struct Turn {
        Vec3 axis;
        float degrees;
    };
    // A small turn (positive trace) and near half turns led by each of the three diagonal elements. The last
    // has two diagonal elements within 2e-6 of each other; deriving from the wrong one is off by percents.
    const Turn turns[] = {{{1, 2, 3}, 30},        {{1, 0.1f, 0.2f}, 170}, {{0.1f, 1, 0.2f}, 170},
                          {{0.2f, 0.1f, 1}, 170}, {{1, 1, 0}, 180},       {{-1, 3, 2}, 125},
                          {{0, 1, 1e-3f}, 180}};
    for (const Turn& turn : turns) {
        SCOPED_TRACE(turn.degrees);
        Vec3 forward{1, 0, 0}, side{0, 1, 0}, up{0, 0, 1};
        rotateAboutAxis(forward, turn.axis, turn.degrees);
        rotateAboutAxis(side, turn.axis, turn.degrees);
        rotateAboutAxis(up, turn.axis, turn.degrees);

        const Quat q = quatFromMatrix(basisMatrix(forward, side, up));
        EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-5f);
        const Matrix4 m = quatToMatrix(q);
        expectNear({m.m[0], m.m[4], m.m[8]}, forward);
        expectNear({m.m[1], m.m[5], m.m[9]}, side);
        expectNear({m.m[2], m.m[6], m.m[10]}, up);
    }
}

TEST(Quat, NormalizeRescalesAndLeavesZeroAlone) {
    expectNear(quatNormalize({0, 3, 0, 4}), {0, 0.6f, 0, 0.8f});
    expectNear(quatNormalize({0, 0, 0, 0}), {0, 0, 0, 0}, 0);
}

} // namespace
