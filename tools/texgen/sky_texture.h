#pragma once

#include "math/vec3.h"
#include "tools/texgen/picture.h"

#include <vector>

// A star: a soft disc on the sky. Its light falls off from the centre as exp(-(angle / radius)²), so it is
// round on the sphere, however many texels it takes to paint it there.
struct Star {
    Vec3 direction; // unit vector to the centre
    float radius;   // radians
    Colour colour;  // at the centre
};

// The inside of the sky sphere: stars spread evenly over the sphere, more of them along the Milky Way, a
// dusty band along a great circle tilted against the equator. Painted for the sky's own mesh.
Picture paintStarfield(int width, int height);

// Just the given stars on black, painted as paintStarfield paints its own.
Picture paintStars(int width, int height, const std::vector<Star>& stars);
