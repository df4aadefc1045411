#include "tools/texgen/moon_textures.h"

#include "tools/texgen/colour_ramp.h"
#include "tools/texgen/craters.h"
#include "tools/texgen/noise.h"
#include "tools/texgen/sphere_painting.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// 1 on a thin winding line where the noise crosses its middle value, 0 away from it: cracks and grooves.
float lineOf(Vec3 point, std::uint32_t seed, float width) {
    return 1 - smoothStep(0, width, std::abs(fractalNoise(point, 4, seed) - 0.5f));
}

} // namespace

Picture paintMoon(int width, int height) {
    const ColourRamp ramp{
        {0.0f, {0.15f, 0.15f, 0.16f}}, {0.5f, {0.55f, 0.55f, 0.55f}}, {1.0f, {0.9f, 0.9f, 0.88f}}};
    return paintCratered(width, height, 47, ramp, 0.3f);
}

Picture paintIo(int width, int height) {
    const ColourRamp ground{{0.0f, {0.62f, 0.42f, 0.16f}},
                            {0.4f, {0.86f, 0.72f, 0.3f}},
                            {0.7f, {0.93f, 0.86f, 0.48f}},
                            {1.0f, {0.95f, 0.93f, 0.78f}}};
    const Colour lava{0.12f, 0.07f, 0.04f};
    const Colour plume{0.78f, 0.36f, 0.14f};
    const std::vector<Crater> volcanoes = scatterCraters(70, 0.05f, 171);
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const float mottle = fractalNoise(p.direction * 4, 6, 172);
        Colour colour = ground.at(mottle * 1.3f - 0.15f);
        // Each volcano: a black caldera ringed by a red-orange fall of sulphur.
        for (const Crater& volcano : volcanoes) {
            const float d = angleBetween(p.direction, volcano.centre) / volcano.radius;
            if (d > 3)
                continue;
            colour = mix(colour, plume, 0.55f * (1 - smoothStep(1.0f, 3.0f, d)));
            colour = mix(colour, lava, 1 - smoothStep(0.25f, 0.45f, d));
        }
        // The poles are darker and redder.
        return mix(colour, Colour{0.5f, 0.35f, 0.25f}, smoothStep(0.55f, 0.95f, std::abs(p.latitude)) * 0.6f);
    });
}

Picture paintEuropa(int width, int height) {
    const ColourRamp ice{{0.0f, {0.7f, 0.66f, 0.6f}}, {1.0f, {0.93f, 0.92f, 0.88f}}};
    const Colour crack{0.55f, 0.35f, 0.22f};
    return paintSphere(width, height, [&](const SpherePoint& p) {
        Colour colour = ice.at(fractalNoise(p.direction * 5, 5, 181));
        // Long cracks at a few scales, the wide ones faint; and mottled brown terrain in patches.
        const float cracks =
            std::max({lineOf(p.direction * 1.5f, 182, 0.012f), 0.8f * lineOf(p.direction * 3, 183, 0.008f),
                      0.5f * lineOf(p.direction * 6, 184, 0.006f)});
        colour = mix(colour, crack, 0.75f * cracks);
        const float chaos = smoothStep(0.6f, 0.7f, fractalNoise(p.direction * 2.5f, 5, 185));
        return mix(colour, crack, 0.35f * chaos);
    });
}

Picture paintGanymede(int width, int height) {
    const ColourRamp dark{{0.0f, {0.25f, 0.22f, 0.19f}}, {1.0f, {0.45f, 0.41f, 0.36f}}};
    const ColourRamp grooved{{0.0f, {0.55f, 0.53f, 0.5f}}, {1.0f, {0.75f, 0.73f, 0.7f}}};
    const std::vector<Crater> craters = scatterCraters(120, 0.07f, 191);
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const float terrain = smoothStep(0.47f, 0.53f, fractalNoise(p.direction * 2, 5, 192));
        const float grooves = 0.5f + 0.5f * std::sin(fractalNoise(p.direction * 3, 3, 193) * 90);
        Colour colour = mix(dark.at(fractalNoise(p.direction * 8, 4, 194)), grooved.at(grooves), terrain);
        // Young craters throw out bright ice.
        const float relief = craterRelief(p.direction, craters);
        return scaled(colour, 1 + 0.45f * std::max(relief, 0.0f) - 0.2f * std::max(-relief, 0.0f));
    });
}

Picture paintCallisto(int width, int height) {
    const ColourRamp ramp{
        {0.0f, {0.1f, 0.09f, 0.08f}}, {0.5f, {0.3f, 0.27f, 0.23f}}, {1.0f, {0.8f, 0.78f, 0.74f}}};
    const std::vector<Crater> craters = scatterCraters(600, 0.08f, 201);
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const float ground = fractalNoise(p.direction * 6, 5, 202);
        return ramp.at(0.45f + (ground - 0.5f) * 0.5f + craterRelief(p.direction, craters) * 0.5f);
    });
}

Picture paintTitan(int width, int height) {
    const ColourRamp haze{
        {0.0f, {0.6f, 0.36f, 0.12f}}, {0.5f, {0.82f, 0.58f, 0.26f}}, {1.0f, {0.9f, 0.7f, 0.4f}}};
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const float bands = 0.5f + 0.5f * std::sin(p.latitude * 7 + fractalNoise(p.direction * 2, 3, 211));
        const float haziness =
            fractalNoise({p.direction.x * 2, p.direction.y * 5, p.direction.z * 2}, 4, 212);
        // The north is darker: a hood of haze over the winter pole.
        return haze.at(0.35f + 0.25f * bands + (haziness - 0.5f) * 0.3f -
                       0.3f * smoothStep(0.6f, 0.9f, p.latitude));
    });
}

Picture paintIcyMoon(int width, int height) {
    const ColourRamp ramp{
        {0.0f, {0.22f, 0.23f, 0.25f}}, {0.5f, {0.55f, 0.56f, 0.58f}}, {1.0f, {0.88f, 0.89f, 0.9f}}};
    return paintCratered(width, height, 221, ramp, 0.15f);
}

Picture paintTriton(int width, int height) {
    const ColourRamp ice{
        {0.0f, {0.55f, 0.45f, 0.43f}}, {0.5f, {0.78f, 0.68f, 0.64f}}, {1.0f, {0.9f, 0.84f, 0.8f}}};
    const Colour cap{0.92f, 0.9f, 0.86f};
    const Colour streak{0.3f, 0.25f, 0.24f};
    return paintSphere(width, height, [&](const SpherePoint& p) {
        // Dimpled "cantaloupe" ground: the ridges between noise cells.
        const float dimples = 1 - std::abs(valueNoise(p.direction * 14, 231) * 2 - 1);
        Colour colour = ice.at(0.3f + 0.4f * dimples + (fractalNoise(p.direction * 3, 4, 232) - 0.5f) * 0.6f);
        const float capEdge = -0.25f + (fractalNoise(p.direction * 5, 3, 233) - 0.5f) * 0.25f;
        colour = mix(colour, cap, smoothStep(capEdge + 0.05f, capEdge - 0.05f, p.latitude));
        // Dark streaks blown from geysers on the cap, all leaning one way.
        const float streaks = smoothStep(
            0.66f, 0.72f, fractalNoise({p.direction.x * 12, p.direction.y * 4, p.direction.z * 12}, 3, 234));
        return mix(colour, streak, 0.6f * streaks * smoothStep(-0.2f, -0.45f, p.latitude));
    });
}
