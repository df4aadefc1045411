#include "tools/texgen/noise.h"

#include <cmath>

float latticeValue(int x, int y, int z, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du;
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h = (h ^ (h >> 13)) * 0x297A2D39u;
    h ^= static_cast<std::uint32_t>(z) * 0x27D4EB2Fu;
    h = (h ^ (h >> 16)) * 0x165667B1u;
    h ^= h >> 15;
    return static_cast<float>(h >> 8) / 16777216.0f;
}

namespace {

float fade(float t) {
    return t * t * (3 - 2 * t);
}

float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

} // namespace

float valueNoise(Vec3 point, std::uint32_t seed) {
    const float fx = std::floor(point.x);
    const float fy = std::floor(point.y);
    const float fz = std::floor(point.z);
    const int x = static_cast<int>(fx);
    const int y = static_cast<int>(fy);
    const int z = static_cast<int>(fz);
    const float tx = fade(point.x - fx);
    const float ty = fade(point.y - fy);
    const float tz = fade(point.z - fz);
    auto edge = [&](int dy, int dz) {
        return lerp(latticeValue(x, y + dy, z + dz, seed), latticeValue(x + 1, y + dy, z + dz, seed), tx);
    };
    return lerp(lerp(edge(0, 0), edge(1, 0), ty), lerp(edge(0, 1), edge(1, 1), ty), tz);
}

float fractalNoise(Vec3 point, int octaves, std::uint32_t seed) {
    float sum = 0;
    float weight = 0.5f;
    float total = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += valueNoise(point, seed + static_cast<std::uint32_t>(octave)) * weight;
        total += weight;
        point = {point.x * 2.03f + 17.1f, point.y * 2.03f - 5.3f, point.z * 2.03f + 9.7f};
        weight *= 0.5f;
    }
    return sum / total;
}
