#include "objects/camera.h"

#include "math/matrix4.h"
#include "math/random.h"
#include "tests/math/expect_near.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

float degreesBetween(Vec3 a, Vec3 b) {
    const float cosine = dot(normalize(a), normalize(b));
    return std::acos(std::fmin(1.0f, cosine)) * 180 / std::numbers::pi_v<float>;
}

Camera cameraOnPath(std::uint32_t seed) {
    seedRandom(seed);
    Camera viewer;
    viewer.makePath();
    return viewer;
}

// A camera orientation takes local X to the view direction, Y to the side and Z to up. quatToMatrix writes
// rows, so the image of an axis is a column.
enum LocalAxis { forwardAxis, sideAxis, upAxis };
Vec3 axisImage(Quat q, LocalAxis axis) {
    const Matrix4 m = quatToMatrix(q);
    return {m.m[axis], m.m[4 + axis], m.m[8 + axis]};
}

// The camera's view direction at a key looks at the origin, and up is perpendicular to it.
void expectLooksAtOrigin(const Camera& viewer) {
    expectNear(viewer.forward, normalize(-viewer.position), 1e-4f);
    EXPECT_NEAR(dot(viewer.up, viewer.forward), 0, 1e-4f);
    EXPECT_NEAR(length(viewer.up), 1, 1e-4f);
}

} // namespace

TEST(KeyOrientation, LooksAtTheOriginWithMinusYAsUp) {
    const Quat straight = keyOrientation({0, 0, 1000});
    expectNear(axisImage(straight, forwardAxis), Vec3{0, 0, -1});
    expectNear(axisImage(straight, sideAxis), Vec3{1, 0, 0});
    expectNear(axisImage(straight, upAxis), Vec3{0, -1, 0});

    seedRandom(7);
    for (int i = 0; i < 200; ++i) {
        const Vec3 position = randomUnitVector() * (20000 + 70000 * randomFraction());
        const Quat q = keyOrientation(position);
        const Vec3 forward = axisImage(q, forwardAxis);
        const Vec3 up = axisImage(q, upAxis);
        SCOPED_TRACE(i);
        expectNear(forward, normalize(-position), 1e-5f);
        EXPECT_NEAR(axisImage(q, sideAxis).y, 0, 1e-5f);
        EXPECT_LE(up.y, 1e-6f);
        EXPECT_NEAR(dot(up, forward), 0, 1e-5f);
    }
}

TEST(KeyOrientation, OnTheYAxisIsStillARotationLookingAtTheOrigin) {
    for (const Vec3 position : {Vec3{0, 50000, 0}, Vec3{0, -20000, 0}}) {
        const Quat q = keyOrientation(position);
        EXPECT_NEAR(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w), 1, 1e-6f);
        expectNear(axisImage(q, forwardAxis), normalize(-position));
        expectNear(axisImage(q, sideAxis), Vec3{1, 0, 0});
        EXPECT_NEAR(length(axisImage(q, upAxis)), 1, 1e-6f);
    }
}

TEST(Camera, MakePathStartsFarOutAndClosesIn) {
    for (std::uint32_t seed = 1; seed <= 50; ++seed) {
        SCOPED_TRACE(seed);
        const Camera viewer = cameraOnPath(seed);
        EXPECT_NEAR(length(viewer.keyPrevious.position), 90000, 1);
        EXPECT_GE(length(viewer.keyCurrent.position), 40000 - 1);
        EXPECT_LE(length(viewer.keyCurrent.position), 45000 + 1);
        EXPECT_GE(length(viewer.keyNext.position), 40000 - 1);
        EXPECT_LE(length(viewer.keyNext.position), 45000 + 1);
        EXPECT_LE(degreesBetween(viewer.keyPrevious.position, viewer.keyCurrent.position), 40.01f);
        EXPECT_LE(degreesBetween(viewer.keyCurrent.position, viewer.keyNext.position), 40.01f);
        // The camera sets off from rest.
        expectNear(viewer.keyPrevious.gradient, {0, 0, 0}, 0);
    }
}

TEST(Camera, StandsAtEachKeyLookingAtTheOrigin) {
    Camera viewer = cameraOnPath(3);
    viewer.update(0);
    expectNear(viewer.position, viewer.keyPrevious.position, 0);
    expectLooksAtOrigin(viewer);

    // u = 1 is the shift itself: the new segment starts where the old one ended.
    const Keyframe oldCurrent = viewer.keyCurrent;
    viewer.segmentParam = 1;
    viewer.update(0);
    EXPECT_EQ(viewer.segmentParam, 0);
    expectNear(viewer.keyPrevious.position, oldCurrent.position, 0);
    expectNear(viewer.position, oldCurrent.position, 0);
    expectLooksAtOrigin(viewer);
    expectNear(viewer.eye, viewer.position, 0);
    expectNear(viewer.forwardCopy, viewer.forward, 0);
}

TEST(Camera, GlidesAcrossShiftsWithoutAJumpInPlaceSpeedOrDirection) {
    Camera viewer = cameraOnPath(11);
    const auto at = [&viewer](float u) {
        viewer.segmentParam = u;
        viewer.update(0);
        return viewer;
    };
    constexpr float h = 1e-4f;
    for (int shift = 0; shift < 5; ++shift) {
        SCOPED_TRACE(shift);
        const Camera beforeEnd = at(1 - h);
        const Camera start = at(1); // shifts the keys
        const Camera afterStart = at(h);

        EXPECT_LT(length(start.position - beforeEnd.position), 20);
        EXPECT_LT(degreesBetween(start.forward, beforeEnd.forward), 0.05f);
        const Vec3 velocityBefore = (start.position - beforeEnd.position) / h;
        const Vec3 velocityAfter = (afterStart.position - start.position) / h;
        EXPECT_LT(length(velocityAfter - velocityBefore), 0.02f * length(velocityBefore));
    }
}

TEST(Camera, EveryShiftMakesAFreshKeyFortyDegreesOnWithinRange) {
    Camera viewer = cameraOnPath(5);
    int shifts = 0;
    for (int frame = 0; frame < 2000; ++frame) {
        const Keyframe oldCurrent = viewer.keyCurrent;
        const Keyframe oldNext = viewer.keyNext;
        viewer.update(0.37);
        if (viewer.keyCurrent.position.x == oldCurrent.position.x)
            continue;
        ++shifts;
        SCOPED_TRACE(frame);
        expectNear(viewer.keyPrevious.position, oldCurrent.position, 0);
        expectNear(viewer.keyCurrent.position, oldNext.position, 0);
        const float distance = length(viewer.keyNext.position);
        EXPECT_GE(distance, 20000 - 1);
        EXPECT_LE(distance, 50000 + 1);
        EXPECT_LE(degreesBetween(viewer.keyCurrent.position, viewer.keyNext.position), 40.01f);
        const Vec3 chord = viewer.keyNext.position - viewer.keyPrevious.position;
        expectNear(viewer.keyCurrent.gradient, 0.5f * chord, 0.05f);
    }
    EXPECT_GE(shifts, 73); // 2000 frames of 0.037 of a segment each
}

TEST(Camera, LongStepShiftsOnceAndCarriesTheRest) {
    Camera viewer = cameraOnPath(9);
    const Keyframe oldNext = viewer.keyNext;
    viewer.update(25);
    expectNear(viewer.keyCurrent.position, oldNext.position, 0);
    EXPECT_NEAR(viewer.segmentParam, 1.5f, 1e-6f);

    const Keyframe secondNext = viewer.keyNext;
    viewer.update(0);
    expectNear(viewer.keyCurrent.position, secondNext.position, 0);
    EXPECT_NEAR(viewer.segmentParam, 0.5f, 1e-6f);
}

TEST(Camera, StepZeroRecomputesTheViewWithoutMoving) {
    Camera viewer = cameraOnPath(4);
    viewer.update(3.3);
    const Camera before = viewer;
    viewer.position = viewer.eye = viewer.forward = viewer.up = {1, 2, 3};
    viewer.update(0);

    EXPECT_EQ(viewer.segmentParam, before.segmentParam);
    expectNear(viewer.keyCurrent.position, before.keyCurrent.position, 0);
    expectNear(viewer.position, before.position, 0);
    expectNear(viewer.eye, before.eye, 0);
    expectNear(viewer.forward, before.forward, 0);
    expectNear(viewer.up, before.up, 0);
}

// A seed gives the same path on every platform only if the draws come in a fixed order: the start point
// turns about a random axis (three draws) by a random angle (the fourth); a fresh key turns about the Y axis
// tilted by a drawn angle about a drawn direction (angle first), then draws its distance.
TEST(Camera, TakesItsRandomDrawsInTheirFixedOrder) {
    seedRandom(77);
    Vec3 start{0, 0, 90000};
    const Vec3 startAxis = randomUnitVector();
    rotateAboutAxis(start, startAxis, 10 + 350 * randomFraction());
    for (int i = 0; i < 10; ++i) // the rest of the first three keys' draws
        randomFraction();
    const float tiltAngle = 60 * randomFraction();
    const Vec3 tiltDirection = randomUnitVector();
    const float distanceDraw = randomFraction();

    Camera viewer = cameraOnPath(77);
    expectNear(viewer.keyPrevious.position, start, 0.01f);
    viewer.segmentParam = 1;
    viewer.update(0);
    Vec3 orbitAxis{0, 1, 0};
    rotateAboutAxis(orbitAxis, tiltDirection, tiltAngle);
    Vec3 fresh = viewer.keyCurrent.position;
    rotateAboutAxis(fresh, orbitAxis, 40);
    expectNear(viewer.keyNext.position, normalize(fresh) * (20000 + 30000 * distanceDraw), 0.01f);
}

TEST(Camera, SameSeedGivesTheSamePath) {
    const auto path = [](std::uint32_t seed) {
        Camera viewer = cameraOnPath(seed);
        std::vector<float> coordinates;
        for (int frame = 0; frame < 500; ++frame) {
            viewer.update(0.5);
            coordinates.insert(coordinates.end(), {viewer.position.x, viewer.position.y, viewer.position.z});
        }
        return coordinates;
    };
    EXPECT_EQ(path(2024), path(2024));
    EXPECT_NE(path(2024), path(2025));
}
