#include "tools/texgen/rocky_textures.h"

#include "tools/texgen/colour_ramp.h"
#include "tools/texgen/craters.h"
#include "tools/texgen/noise.h"
#include "tools/texgen/sphere_painting.h"

#include <cmath>
#include <vector>

Picture paintSun(int width, int height) {
    const ColourRamp ramp{{0.0f, {0.55f, 0.12f, 0.0f}},
                          {0.45f, {0.95f, 0.45f, 0.05f}},
                          {0.7f, {1.0f, 0.75f, 0.2f}},
                          {1.0f, {1.0f, 0.97f, 0.75f}}};
    return paintSphere(width, height, [&](const SpherePoint& p) {
        // Granules: bright cells between darker lanes, from the ridges of fine noise.
        const float cells = 1 - std::abs(valueNoise(p.direction * 40, 7) * 2 - 1);
        const float large = fractalNoise(p.direction * 5, 4, 8);
        const float spots = smoothStep(0.70f, 0.76f, fractalNoise(p.direction * 3, 4, 9));
        return ramp.at(0.25f + cells * 0.35f + (large - 0.5f) * 0.9f - spots * 0.5f);
    });
}

Picture paintMercury(int width, int height) {
    const ColourRamp ramp{
        {0.0f, {0.18f, 0.16f, 0.15f}}, {0.5f, {0.5f, 0.47f, 0.44f}}, {1.0f, {0.85f, 0.82f, 0.78f}}};
    return paintCratered(width, height, 31, ramp, 0.05f);
}

Picture paintVenus(int width, int height) {
    const ColourRamp ramp{
        {0.0f, {0.62f, 0.5f, 0.3f}}, {0.5f, {0.88f, 0.78f, 0.55f}}, {1.0f, {0.98f, 0.94f, 0.8f}}};
    return paintSphere(width, height, [&](const SpherePoint& p) {
        // Swirls: the noise is looked up at a place pushed around by more noise, and stretched east-west
        // as the planet's fast winds stretch its clouds.
        const Vec3 stretched{p.direction.x * 2, p.direction.y * 6, p.direction.z * 2};
        const float warp = fractalNoise(stretched, 4, 51) * 4;
        const Vec3 warped{stretched.x + warp, stretched.y + warp * 0.5f, stretched.z - warp};
        return ramp.at(fractalNoise(warped, 5, 52) * 1.6f - 0.3f);
    });
}

namespace {

// Land height above or below sea level in roughly [-0.5, 0.5]; both Earth textures share it so the clouds
// can favour the coasts and the oceans alike.
float earthHeight(Vec3 direction) {
    return fractalNoise(direction * 2.2f, 7, 61) - 0.53f;
}

} // namespace

Picture paintEarth(int width, int height) {
    const ColourRamp ocean{
        {-0.5f, {0.01f, 0.05f, 0.2f}}, {-0.05f, {0.03f, 0.17f, 0.42f}}, {0.0f, {0.1f, 0.35f, 0.55f}}};
    const ColourRamp land{{0.0f, {0.2f, 0.38f, 0.13f}},
                          {0.08f, {0.28f, 0.42f, 0.16f}},
                          {0.16f, {0.45f, 0.4f, 0.25f}},
                          {0.26f, {0.55f, 0.5f, 0.45f}}};
    const Colour desert{0.75f, 0.62f, 0.4f};
    // Ice short of white: the air shell is added over it.
    const Colour ice{0.8f, 0.83f, 0.87f};
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const float h = earthHeight(p.direction);
        const float latitude = std::abs(p.latitude);
        const float iceEdge = 0.78f + (fractalNoise(p.direction * 8, 3, 62) - 0.5f) * 0.15f;
        const float iceAmount = smoothStep(iceEdge - 0.02f, iceEdge + 0.02f, latitude);
        Colour colour;
        if (h < 0) {
            colour = ocean.at(h);
        } else {
            colour = land.at(h);
            // Deserts along the subtropics, where the noise says dry.
            const float dry = smoothStep(0.55f, 0.65f, fractalNoise(p.direction * 4, 4, 63)) *
                              (1 - smoothStep(0.2f, 0.45f, std::abs(latitude - 0.28f)));
            colour = mix(colour, desert, dry * 0.8f);
        }
        return mix(colour, ice, iceAmount);
    });
}

Picture paintEarthClouds(int width, int height) {
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const Vec3 stretched{p.direction.x * 3, p.direction.y * 7, p.direction.z * 3};
        const float warp = fractalNoise(stretched, 3, 71) * 3;
        const float cover = fractalNoise({stretched.x + warp, stretched.y, stretched.z - warp}, 6, 72);
        const float alpha = smoothStep(0.48f, 0.72f, cover);
        // Lit clouds under the midday sun, with the air added over them, must stay short of white.
        return Colour{0.8f, 0.81f, 0.83f, alpha};
    });
}

Picture paintMars(int width, int height) {
    const ColourRamp ramp{{0.0f, {0.25f, 0.1f, 0.05f}},
                          {0.45f, {0.62f, 0.28f, 0.13f}},
                          {0.7f, {0.8f, 0.45f, 0.25f}},
                          {1.0f, {0.9f, 0.65f, 0.45f}}};
    const Colour ice{0.95f, 0.93f, 0.9f};
    const std::vector<Crater> craters = scatterCraters(90, 0.08f, 81);
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const float ground = fractalNoise(p.direction * 5, 6, 82);
        const float dark = smoothStep(0.5f, 0.6f, fractalNoise(p.direction * 1.8f, 5, 83));
        const float shade =
            0.55f + (ground - 0.5f) * 1.0f - dark * 0.3f + craterRelief(p.direction, craters) * 0.25f;
        const float cap = smoothStep(
            0.86f, 0.9f, std::abs(p.latitude) + (fractalNoise(p.direction * 9, 3, 84) - 0.5f) * 0.1f);
        return mix(ramp.at(shade), ice, cap);
    });
}

Picture paintHullPanels(int width, int height) {
    // Plates in a grid, each a slightly different grey, with dark seams between them and a few darker ones.
    Picture picture(width, height);
    constexpr int plate = 32;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int px = x / plate, py = y / (plate / 2);
            const float tone = 0.55f + 0.3f * latticeValue(px, py, 0, 909);
            const bool dark = latticeValue(px, py, 1, 909) < 0.12f;
            const bool seam = x % plate == 0 || y % (plate / 2) == 0;
            const float grain = 0.95f + 0.05f * valueNoise({x * 0.3f, y * 0.3f, 0}, 910);
            const float v = (seam ? 0.25f : dark ? 0.3f : tone) * grain;
            picture.at(x, y) = {v, v, v * 1.04f, 1};
        }
    return picture;
}
