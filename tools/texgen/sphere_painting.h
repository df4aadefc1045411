#pragma once

#include "math/vec3.h"
#include "tools/texgen/picture.h"

#include <functional>

// Where a texel of a sphere texture lies: u runs once around the equator from +x towards −z, as on the show's
// sphere meshes, v from the north pole (top row) to the south pole. `direction` is the unit vector to that
// place, with +Y the north pole, so noise sampled there has no seam at u = 0 and no pinching at the poles.
// `latitude` is in [-1, 1] (north positive).
struct SpherePoint {
    Vec3 direction;
    float latitude;
    float longitude; // [0, 1) around the equator
};

using SpherePaint = std::function<Colour(const SpherePoint&)>;

// Each texel painted at its latitude and longitude. A spinning body slides its texture along u, which turns
// such a picture about the poles as a whole, so the bodies are painted this way.
Picture paintSphere(int width, int height, const SpherePaint& paint);

// Each texel painted at the direction of the point of unitSphereMesh(stacks, slices) it is drawn at. The flat
// pole triangles stretch a picture by latitude and longitude round the pole; painted this way, a star at the
// pole of the sky is as round as one at its equator. Only for a texture that never slides: the sky.
Picture paintSphereForMesh(int width, int height, int stacks, int slices, const SpherePaint& paint);

// The angle in radians between two unit vectors, for features placed on the sphere (craters, storms).
float angleBetween(Vec3 a, Vec3 b);
