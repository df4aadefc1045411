#pragma once

#include "math/vec3.h"
#include "tools/texgen/picture.h"

#include <functional>

// Where a texel of a sphere texture lies: u runs once around the equator, v from the north pole (top row)
// to the south pole. `direction` is the unit vector to that place, with +Y the north pole, so noise sampled
// there has no seam at u = 0 and no pinching at the poles. `latitude` is in [-1, 1] (north positive).
struct SpherePoint {
    Vec3 direction;
    float latitude;
    float longitude; // [0, 1) around the equator
};

Picture paintSphere(int width, int height, const std::function<Colour(const SpherePoint&)>& paint);

// The angle in radians between two unit vectors, for features placed on the sphere (craters, storms).
float angleBetween(Vec3 a, Vec3 b);
