#include "objects/camera.h"

#include "math/matrix4.h"
#include "math/random.h"

#include <GL/glu.h>

namespace {

// The path's random quantities are drawn in a fixed order, which is what makes a seed give the same path on
// every platform. C++ leaves the order of evaluating function arguments open, so every draw below is taken
// into its own variable, in order, before it is used.

// The orbit axis turned away from itself by up to 60 degrees about a random direction (angle drawn first).
Vec3 tiltedAxis(Vec3 axis) {
    const float angle = 60 * randomFraction();
    const Vec3 tiltAxis = randomUnitVector();
    rotateAboutAxis(axis, tiltAxis, angle);
    return axis;
}

Vec3 turnedAbout(Vec3 point, Vec3 axis, float angleDegrees) {
    rotateAboutAxis(point, axis, angleDegrees);
    return point;
}

// Each fresh key lies this far round its orbit axis from the key before it.
constexpr float keySpacingDegrees = 40;

} // namespace

Quat keyOrientation(Vec3 position) {
    const Vec3 forward = normalize(-position);
    Vec3 side = normalize(cross(Vec3{0, -1, 0}, forward));
    if (length(side) == 0) // looking straight along the Y axis: any horizontal side will do
        side = {1, 0, 0};
    const Vec3 up = normalize(cross(forward, side));
    return quatFromMatrix(basisMatrix(forward, side, up));
}

void Camera::makePath() {
    Vec3 axis = randomUnitVector();
    const float startAngle = 10 + 350 * randomFraction();
    keyPrevious.position = turnedAbout({0, 0, 90000}, axis, startAngle);
    keyPrevious.orientation = keyOrientation(keyPrevious.position);

    const float currentDistance = 40000 + 5000 * randomFraction();
    axis = tiltedAxis(axis);
    keyCurrent.position =
        turnedAbout(normalize(keyPrevious.position) * currentDistance, axis, keySpacingDegrees);
    keyCurrent.orientation = keyOrientation(keyCurrent.position);

    // The first key keeps a zero gradient, so the camera eases out of its starting point instead of setting
    // off at full speed; only its orientation control is derived.
    deriveFirstKey(keyPrevious, keyCurrent);
    keyPrevious.gradient = {0, 0, 0};

    axis = tiltedAxis(axis);
    const Vec3 nextDirection = normalize(turnedAbout(keyCurrent.position, axis, keySpacingDegrees));
    keyNext.position = nextDirection * (40000 + 5000 * randomFraction());
    keyNext.orientation = keyOrientation(keyNext.position);

    deriveMiddleKey(keyCurrent, keyPrevious, keyNext);
}

void Camera::shiftKeys() {
    keyPrevious = keyCurrent;
    keyCurrent = keyNext;

    // A fresh orbit axis within 60 degrees of the Y axis, not carried over from the keys before, so the
    // path keeps circling the system roughly about its pole.
    const Vec3 orbitAxis = tiltedAxis({0, 1, 0});
    const Vec3 nextDirection = normalize(turnedAbout(keyCurrent.position, orbitAxis, keySpacingDegrees));
    keyNext.position = nextDirection * (20000 + 30000 * randomFraction());
    keyNext.orientation = keyOrientation(keyNext.position);

    deriveMiddleKey(keyCurrent, keyPrevious, keyNext);
}

void Camera::update(double step) {
    segmentParam = static_cast<float>(segmentParam + step * 0.1);
    if (segmentParam >= 1) {
        segmentParam -= 1;
        shiftKeys();
    }

    position = segmentPosition(keyPrevious, keyCurrent, segmentParam);
    eye = position;
    orientation = quatNormalize(segmentOrientation(keyPrevious, keyCurrent, segmentParam));

    // quatToMatrix writes rows, so the images of the local X and Z axes are its first and third columns.
    const Matrix4 rotation = quatToMatrix(orientation);
    forward = {rotation.m[0], rotation.m[4], rotation.m[8]};
    forwardCopy = forward;
    up = {rotation.m[2], rotation.m[6], rotation.m[10]};
}

void Camera::lookAt() const {
    const Vec3 centre = eye + forward;
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}
