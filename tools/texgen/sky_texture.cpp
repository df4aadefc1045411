#include "tools/texgen/sky_texture.h"

#include "tools/texgen/noise.h"
#include "tools/texgen/sphere_painting.h"

#include <algorithm>
#include <cmath>

Picture paintStarfield(int width, int height) {
    const Vec3 galacticPole{0.0f, 0.8f, 0.6f};
    Picture sky = paintSphere(width, height, [&](const SpherePoint& p) {
        const Vec3 d = p.direction;
        const float offPlane = d.x * galacticPole.x + d.y * galacticPole.y + d.z * galacticPole.z;
        const float band = std::exp(-offPlane * offPlane * 40);
        const float cloud = fractalNoise({d.x * 4, d.y * 4, d.z * 4}, 6, 141);
        const float dust = smoothStep(0.55f, 0.7f, fractalNoise({d.x * 7, d.y * 7, d.z * 7}, 5, 142));
        const float glow = band * (0.3f + 0.7f * cloud) * (1 - 0.8f * dust * band) * 0.35f;
        return Colour{glow * 0.9f, glow * 0.88f, glow, 1};
    });
    // Stars: each texel holds one with a chance proportional to its area on the sphere, more of them in the
    // band; brightness falls off steeply so a few bright ones stand out from many faint.
    for (int y = 0; y < height; ++y) {
        const float latitude =
            (0.5f - (static_cast<float>(y) + 0.5f) / static_cast<float>(height)) * 3.14159265f;
        const float area = std::cos(latitude);
        for (int x = 0; x < width; ++x) {
            const float bandLift = 1 + sky.at(x, y).b * 6;
            if (latticeValue(x, y, 0, 143) > 0.012f * area * bandLift)
                continue;
            const float brightness = 0.25f + 0.75f * std::pow(latticeValue(x, y, 1, 143), 6.0f);
            const float tint = latticeValue(x, y, 2, 143);
            Colour star{brightness * (0.85f + 0.15f * tint), brightness * 0.92f,
                              brightness * (1.0f - 0.15f * tint), 1};
            // Away from the equator a texel covers less of the sky across than along, so a star there spans
            // two texels across to stay round. Nearer the poles the texture is squeezed so much that the
            // filter draws any star as a streak pointing at the pole, so the stars fade out there.
            const int across = area < 0.5f ? 2 : 1;
            star = scaled(star, smoothStep(0.15f, 0.35f, area));
            const auto put = [&](int atX, int atY, Colour light) {
                if (atY < 0 || atY >= height)
                    return;
                for (int k = 0; k < across; ++k) {
                    Colour& texel = sky.at(((atX + k - across / 2) % width + width) % width, atY);
                    texel = added(texel, light);
                }
            };
            put(x, y, star);
            // The brightest stars spill into their neighbours so they survive the texture filter.
            if (brightness > 0.6f) {
                put(x - across, y, scaled(star, 0.35f));
                put(x + across, y, scaled(star, 0.35f));
                put(x, y - 1, scaled(star, 0.35f));
                put(x, y + 1, scaled(star, 0.35f));
            }
        }
    }
    return sky;
}
