#include "objects/keyframe.h"

#include "math/quat.h"
#include "tests/math/expect_near.h"

#include <cmath>
#include <numbers>

namespace {

Quat aboutZ(float degrees) {
    const float half = degrees * std::numbers::pi_v<float> / 360;
    return {0, 0, std::sin(half), std::cos(half)};
}

Keyframe keyAt(Vec3 position, Quat orientation) {
    Keyframe key;
    key.position = position;
    key.orientation = orientation;
    return key;
}

} // namespace

TEST(Keyframe, EndKeysTakeTheChordAsGradientAndTheirControlAThirdOfTheWayAlong) {
    Keyframe first = keyAt({1, 2, 3}, aboutZ(0));
    Keyframe last = keyAt({4, 8, 3}, aboutZ(90));
    deriveFirstKey(first, last);
    deriveLastKey(last, first);

    expectNear(first.gradient, {3, 6, 0});
    expectNear(last.gradient, {3, 6, 0});
    expectNear(first.outControl, aboutZ(30));
    expectNear(last.inControl, aboutZ(60));
}

TEST(Keyframe, MiddleKeyGradientIsHalfTheChordOfItsNeighbours) {
    // Equal spacing on a straight line: the tangent is the spacing itself.
    Keyframe onLine = keyAt({130, 40, 0}, aboutZ(0));
    deriveMiddleKey(onLine, keyAt({100, 0, 0}, aboutZ(0)), keyAt({160, 80, 0}, aboutZ(0)));
    expectNear(onLine.gradient, {30, 40, 0});

    // Round a corner the tangent still depends on the outer keys only.
    Keyframe corner = keyAt({10, 0, 0}, aboutZ(0));
    deriveMiddleKey(corner, keyAt({0, 0, 0}, aboutZ(0)), keyAt({10, 30, 0}, aboutZ(0)));
    expectNear(corner.gradient, {5, 15, 0});
}

TEST(Keyframe, MiddleKeyControlsLieBehindAndAheadOnTheArcOfTurning) {
    // Turning steadily by 60 degrees per key: the controls sit a third of a step either side of the key.
    Keyframe key = keyAt({}, aboutZ(0));
    deriveMiddleKey(key, keyAt({}, aboutZ(-60)), keyAt({}, aboutZ(60)));

    expectNear(key.outControl, aboutZ(20));
    // The incoming control is blended linearly (the two orientations are close), which lands near the
    // spherical result but not on it, and not at unit length.
    expectNear(quatNormalize(key.inControl), aboutZ(-20), 0.01f);
}

TEST(Keyframe, SegmentStartsAndEndsExactlyAtItsKeys) {
    Keyframe from = keyAt({1000, 0, -500}, quatNormalize({0.2f, 0.5f, -0.1f, 0.8f}));
    Keyframe to = keyAt({-300, 700, 200}, quatNormalize({-0.4f, 0.1f, 0.6f, 0.3f}));
    Keyframe after = keyAt({-900, 100, 800}, quatNormalize({0.1f, -0.7f, 0.2f, 0.4f}));
    deriveFirstKey(from, to);
    deriveMiddleKey(to, from, after);

    expectNear(segmentPosition(from, to, 0), from.position);
    expectNear(segmentPosition(from, to, 1), to.position, 1e-3f);
    expectNear(segmentOrientation(from, to, 0), from.orientation);
    expectNear(segmentOrientation(from, to, 1), to.orientation);

    // In between it is neither end.
    EXPECT_GT(length(segmentPosition(from, to, 0.5f) - from.position), 100);
    EXPECT_GT(length(segmentPosition(from, to, 0.5f) - to.position), 100);
}
