#pragma once

#include "math/quat.h"
#include "math/vec3.h"

// One key of a smooth path: a point with its tangent, and an orientation with the two Bézier control
// quaternions of the segments that arrive at and leave it. Positions between two keys follow a cubic Hermite
// curve, orientations a cubic Bézier curve on quaternions; the tangents and controls come from the
// neighbouring keys in the Catmull-Rom manner (the derive* functions below).
struct Keyframe {
    float time = 0;      // carried with the key; the camera does not use it
    bool freeze = false; // carried with the key; the camera does not use it
    Vec3 position;
    Vec3 gradient; // tangent of the position curve here, not divided by the time between keys
    // Starts as the zero quaternion, not the identity: a key gets its orientation before it is used.
    Quat orientation{0, 0, 0, 0};
    Quat inControl{0, 1, 0, 1};  // control on the segment arriving at this key
    Quat outControl{0, 1, 0, 1}; // control on the segment leaving this key
};

// The first key of a path, followed by `next`: sets its gradient and outControl.
void deriveFirstKey(Keyframe& first, const Keyframe& next);

// A key between `previous` and `next`: sets its gradient (half the chord from previous to next) and both
// controls, which lie on one great arc through the key so the orientation turns smoothly through it.
void deriveMiddleKey(Keyframe& key, const Keyframe& previous, const Keyframe& next);

// The last key of a path, after `previous`: sets its gradient and inControl.
void deriveLastKey(Keyframe& last, const Keyframe& previous);

// The point and orientation on the segment from `from` (u = 0) to `to` (u = 1). The orientation is not
// renormalised.
Vec3 segmentPosition(const Keyframe& from, const Keyframe& to, float u);
Quat segmentOrientation(const Keyframe& from, const Keyframe& to, float u);
