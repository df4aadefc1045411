#pragma once

#include "math/quat.h"
#include "math/vec3.h"

// Spherical interpolation from a (t = 0) to b (t = 1) along the shorter arc; t outside [0, 1] extrapolates.
// Orientations whose dot product is 0.9 or more (within about 25.8 degrees) are blended linearly instead. The
// threshold is deliberately that wide and the camera's motion is tuned with it, so it is not an epsilon to
// tighten. The result is not renormalised.
Quat slerp(Quat a, Quat b, float t);

// A cubic Bézier curve on quaternions from q0 to q1 with control points c0 and c1: the de Casteljau
// construction with slerp in place of linear blending.
Quat quatBezier(Quat q0, Quat c0, Quat c1, Quat q1, float t);

// The cubic Hermite curve through p0 (t = 0) and p1 (t = 1) with the tangents m0 and m1 as given, not scaled
// by the segment's length or duration.
Vec3 hermite(Vec3 p0, Vec3 p1, Vec3 m0, Vec3 m1, float t);
