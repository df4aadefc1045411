#include "math/interpolation.h"

#include "tests/math/expect_near.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// Points on one great circle of the quaternion sphere (turns about Z); the dot product of onCircle(a) and
// onCircle(b) is cos(b - a), so a slerp along the circle is plain interpolation of the angle.
Quat onCircle(float degrees) {
    const float radians = degrees * std::numbers::pi_v<float> / 180;
    return {0, 0, std::sin(radians), std::cos(radians)};
}

TEST(Slerp, FollowsTheArcAndExtrapolatesAlongIt) {
    expectNear(slerp(onCircle(0), onCircle(60), 0), onCircle(0));
    expectNear(slerp(onCircle(0), onCircle(60), 0.25f), onCircle(15));
    expectNear(slerp(onCircle(0), onCircle(60), 1), onCircle(60));
    expectNear(slerp(onCircle(0), onCircle(60), -1.0f / 3), onCircle(-20));
}

TEST(Slerp, TakesTheShorterArc) {
    const Quat far = onCircle(160 + 180); // the same orientation as onCircle(160), negated
    expectNear(slerp(onCircle(100), far, 0.5f), onCircle(130));
    expectNear(slerp(onCircle(100), far, 1), onCircle(160));

    const Quat a{0.5f, -0.5f, 0.5f, 0.5f};
    expectNear(slerp(a, {-a.x, -a.y, -a.z, -a.w}, 0.5f), a);
}

TEST(Slerp, BlendsNearbyOrientationsLinearly) {
    const Quat a = onCircle(20); // within the 25.8 degree threshold of b
    const Quat b = onCircle(0);
    for (float t : {-1.0f, 0.3f, 2.0f})
        expectNear(slerp(a, a, t), a);
    expectNear(slerp(a, b, -1), {2 * a.x - b.x, 2 * a.y - b.y, 2 * a.z - b.z, 2 * a.w - b.w});
    expectNear(slerp(a, b, 0.5f), {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2, (a.w + b.w) / 2});
}

TEST(Slerp, ThresholdIsExactAtADotProductOfNineTenthsInDoublePrecision) {
    // 0.9f falls short of 0.9; the small y products make up the difference exactly, so the dot product in
    // double precision is the double nearest 0.9 and 1 - d is not above 0.1. A float dot product would lose
    // the small term and land on the spherical side.
    const float sideOfB = std::sqrt(1 - 0.81f);
    const Quat a{0, std::ldexp(2665.0f, -27), 0, 1};
    const Quat atThreshold{sideOfB, std::ldexp(80581.0f, -26), 0, 0.9f};
    const Quat pastThreshold{sideOfB, 0, 0, 0.9f};

    EXPECT_NEAR(slerp(a, atThreshold, 0.5f).w, (1 + 0.9f) / 2, 1e-6f);
    // Spherical weights at the midpoint are 1 / (2 cos(theta / 2)) with cos(theta) = 0.9.
    EXPECT_NEAR(slerp(a, pastThreshold, 0.5f).w, (1 + 0.9f) / (2 * std::sqrt(0.95f)), 1e-5f);
}

TEST(QuatBezier, IsTheCubicCurveOfTheControlPoints) {
    const Quat q0 = onCircle(0), c0 = onCircle(60), c1 = onCircle(90), q1 = onCircle(120);
    expectNear(quatBezier(q0, c0, c1, q1, 0), q0);
    expectNear(quatBezier(q0, c0, c1, q1, 1), q1);
    // Along one circle the construction is a Bezier curve in the angle: at t = 1/4 the weights are
    // 27/64, 27/64, 9/64, 1/64 on 0, 60, 90, 120 degrees.
    expectNear(quatBezier(q0, c0, c1, q1, 0.25f), onCircle((27 * 60 + 9 * 90 + 120) / 64.0f));
}

TEST(Hermite, PassesThroughTheEndsWithTheGivenTangents) {
    const Vec3 p0{1, 2, 3}, p1{-4, 0, 8}, m0{10, -20, 5}, m1{-7, 3, 30};
    expectNear(hermite(p0, p1, m0, m1, 0), p0);
    expectNear(hermite(p0, p1, m0, m1, 1), p1);
    // At the midpoint the basis weights are 1/2, 1/8, 1/2, -1/8.
    expectNear(hermite(p0, p1, m0, m1, 0.5f), 0.5f * p0 + 0.125f * m0 + 0.5f * p1 - 0.125f * m1);
    // The slope at the start is m0, unscaled.
    const float h = 1e-3f;
    expectNear((hermite(p0, p1, m0, m1, h) - p0) / h, m0, 0.1f);
}

} // namespace
