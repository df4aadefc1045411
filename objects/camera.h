#pragma once

#include "math/quat.h"
#include "math/vec3.h"
#include "objects/keyframe.h"

// The viewer drifting around the Sun at the origin. Its path is made as it goes: a sliding window of three
// keys, the camera gliding from keyPrevious to keyCurrent; when that segment is done the keys move up by one
// and a fresh random key is made 40 degrees further round a tilted orbit. At every key it looks straight at
// the origin. Scene objects read eye, position, forward and up while they draw.
class Camera {
public:
    // Builds the first three keys from the random sequence: the first 90000 units out in a random
    // direction, the next two closing in to 40000 to 45000 units.
    void makePath();

    // Advances along the path by `step` time units (the frame time already scaled by the speed setting); a
    // segment lasts 10 units. Shifts the keys at most once per call, so a very long step leaves segmentParam
    // above 1 and the following calls catch up one segment at a time. A step of 0 recomputes the view from
    // the keys without moving.
    void update(double step);

    // Multiplies the current matrix by the view: gluLookAt(eye, eye + forward, up).
    void lookAt() const;

    Vec3 up{0, 1, 0};
    Vec3 forward{0, 0, -1}; // unit length after the first update
    Vec3 position;          // the current point on the path
    Vec3 eye;               // position as of the last update
    Vec3 forwardCopy;       // forward as of the last update
    float segmentParam = 0; // u within the segment from keyPrevious to keyCurrent, normally in [0, 1)
    Keyframe keyPrevious;
    Keyframe keyCurrent;
    Keyframe keyNext;
    Quat orientation{0, 0, 0, 0}; // takes the local X axis to forward and the local Z axis to up

private:
    void shiftKeys();
};

// The orientation of a camera standing at `position` and looking at the origin: local X becomes the view
// direction and local Z the up vector, which is the world's -Y direction made perpendicular to the view (so
// world +Y points down the screen; the whole show is composed that way). A position on the Y axis, where that
// rule names no side direction, takes +X as its side.
Quat keyOrientation(Vec3 position);
