#pragma once

#include "math/vec3.h"
#include "tools/texgen/colour_ramp.h"
#include "tools/texgen/picture.h"

#include <cstdint>
#include <vector>

// Craters for the rocky and icy bodies, placed on the sphere so they keep their shape at the poles.
struct Crater {
    Vec3 centre;
    float radius; // radians
};

// Crater centres spread evenly over the sphere, sizes weighted towards the small ones as on real bodies.
std::vector<Crater> scatterCraters(int count, float largestRadius, std::uint32_t seed);

// Height change of the craters at a point: a bowl below the surroundings with a raised rim.
float craterRelief(Vec3 direction, const std::vector<Crater>& craters);

// A cratered body: rough ground, craters whose dark bowls and bright rims read as depth in a flat picture,
// and dark lowlands (maria) taking `mariaAmount` off the ramp's position.
Picture paintCratered(int width, int height, std::uint32_t seed, const ColourRamp& ramp, float mariaAmount);
