#pragma once

#include "math/vec3.h"

#include <cstdint>

// Deterministic noise for painting. Every value comes from an integer hash of lattice coordinates and a
// seed, never from a library generator, so the textures are the same bytes on every platform and run.

// A hash of three integers and a seed, spread over [0, 1).
float latticeValue(int x, int y, int z, std::uint32_t seed);

// Smoothly interpolated lattice values in [0, 1], one lattice cell per unit.
float valueNoise(Vec3 point, std::uint32_t seed);

// Fractal sum of `octaves` layers of value noise, each twice the frequency and half the weight of the last;
// the result stays in [0, 1] with most values near 0.5.
float fractalNoise(Vec3 point, int octaves, std::uint32_t seed);
