#pragma once

#include "math/vec3.h"

#include <cstdint>

// The program's own pseudo-random numbers: a 15-bit linear congruential generator, the same on every platform
// and compiler, so that one seed always gives the same scene. The state is process-wide and starts at 1.

// Restarts the sequence from `seed`.
void seedRandom(std::uint32_t seed);

// The next number of the sequence scaled to [0, 1]; both ends can occur.
float randomFraction();

// A direction of unit length, from three successive draws taken for x, y and z in that order.
Vec3 randomUnitVector();
