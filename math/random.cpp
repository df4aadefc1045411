#include "math/random.h"

namespace {

std::uint32_t state = 1;

// Unsigned arithmetic wraps modulo 2^32, which is exactly the generator's modulus.
std::uint32_t nextValue() {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFF;
}

} // namespace

void seedRandom(std::uint32_t seed) {
    state = seed;
}

float randomFraction() {
    return static_cast<float>(nextValue()) / 32767.0f;
}

Vec3 randomUnitVector() {
    const float x = 20 * randomFraction() - 10;
    const float y = 20 * randomFraction() - 10;
    const float z = 20 * randomFraction() - 10;
    return normalize({x, y, z});
}
