#include "tools/texgen/craters.h"

#include "tools/texgen/noise.h"
#include "tools/texgen/sphere_painting.h"

#include <cmath>

std::vector<Crater> scatterCraters(int count, float largestRadius, std::uint32_t seed) {
    std::vector<Crater> craters;
    for (int i = 0; i < count; ++i) {
        const float z = latticeValue(i, 0, 0, seed) * 2 - 1;
        const float angle = latticeValue(i, 1, 0, seed) * 6.2831853f;
        const float ring = std::sqrt(1 - z * z);
        const float size = latticeValue(i, 2, 0, seed);
        craters.push_back({{ring * std::cos(angle), z, ring * std::sin(angle)},
                           largestRadius * (0.08f + size * size * size)});
    }
    return craters;
}

float craterRelief(Vec3 direction, const std::vector<Crater>& craters) {
    float relief = 0;
    for (const Crater& crater : craters) {
        const float d = angleBetween(direction, crater.centre) / crater.radius;
        if (d > 1.6f)
            continue;
        if (d < 1)
            relief += -0.5f * (1 - d * d) + 0.3f * smoothStep(0.6f, 1.0f, d);
        else
            relief += 0.3f * (1 - smoothStep(1.0f, 1.6f, d));
    }
    return relief;
}

Picture paintCratered(int width, int height, std::uint32_t seed, const ColourRamp& ramp, float mariaAmount) {
    const std::vector<Crater> craters = scatterCraters(260, 0.16f, seed);
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const float ground = fractalNoise(p.direction * 6, 6, seed + 10);
        const float maria = smoothStep(0.5f, 0.62f, fractalNoise(p.direction * 1.6f, 4, seed + 20));
        const float relief = craterRelief(p.direction, craters);
        const float shade = 0.5f + (ground - 0.5f) * 0.9f + relief * 0.35f - maria * mariaAmount;
        return ramp.at(shade);
    });
}
