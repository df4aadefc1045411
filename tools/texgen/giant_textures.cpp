#include "tools/texgen/giant_textures.h"

#include "tools/texgen/colour_ramp.h"
#include "tools/texgen/noise.h"
#include "tools/texgen/sphere_painting.h"

#include <algorithm>
#include <cmath>

namespace {

// Band value in [0, 1] at a point: latitude pushed up and down by noise, so the band edges wave and curl.
float bands(const SpherePoint& p, float bandCount, float turbulence, std::uint32_t seed) {
    const Vec3 stretched{p.direction.x * 3, p.direction.y * 12, p.direction.z * 3};
    const float wobble = (fractalNoise(stretched, 5, seed) - 0.5f) * turbulence;
    const float latitude = p.latitude + wobble;
    return 0.5f + 0.5f * std::sin(latitude * bandCount + 0.7f * std::sin(latitude * bandCount * 0.37f));
}

// How far a point lies inside an oval storm centred at (longitude, latitude) with the given half-sizes.
float insideOval(const SpherePoint& p, float longitude, float latitude, float halfWidth, float halfHeight) {
    float du = p.longitude - longitude;
    du -= std::round(du);
    const float dx = du / halfWidth;
    const float dy = (p.latitude - latitude) / halfHeight;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

Picture paintJupiter(int width, int height) {
    const ColourRamp ramp{{0.0f, {0.55f, 0.38f, 0.25f}},
                          {0.35f, {0.72f, 0.55f, 0.4f}},
                          {0.65f, {0.9f, 0.82f, 0.7f}},
                          {1.0f, {0.97f, 0.94f, 0.88f}}};
    const Colour spot{0.75f, 0.3f, 0.18f};
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const float detail =
            fractalNoise({p.direction.x * 10, p.direction.y * 30, p.direction.z * 10}, 4, 91);
        Colour colour = ramp.at(bands(p, 18, 0.06f, 92) * 0.85f + (detail - 0.5f) * 0.35f);
        // The great red spot: a dark-rimmed oval in the southern tropics, swirled by the same detail.
        const float r = insideOval(p, 0.3f, -0.25f, 0.055f, 0.07f) + (detail - 0.5f) * 0.3f;
        colour = mix(colour, spot, 1 - smoothStep(0.75f, 1.0f, r));
        colour = scaled(colour, 1 - 0.25f * (smoothStep(0.85f, 1.0f, r) - smoothStep(1.0f, 1.2f, r)));
        return colour;
    });
}

Picture paintSaturn(int width, int height) {
    const ColourRamp ramp{
        {0.0f, {0.72f, 0.6f, 0.4f}}, {0.5f, {0.85f, 0.77f, 0.58f}}, {1.0f, {0.95f, 0.9f, 0.75f}}};
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const float detail = fractalNoise({p.direction.x * 8, p.direction.y * 24, p.direction.z * 8}, 4, 101);
        return ramp.at(bands(p, 14, 0.025f, 102) * 0.7f + 0.15f + (detail - 0.5f) * 0.2f);
    });
}

Picture paintUranus(int width, int height) {
    const ColourRamp ramp{{0.0f, {0.55f, 0.78f, 0.8f}}, {1.0f, {0.7f, 0.9f, 0.92f}}};
    return paintSphere(width, height, [&](const SpherePoint& p) {
        return ramp.at(bands(p, 10, 0.02f, 111) * 0.35f + 0.4f + std::abs(p.latitude) * 0.2f);
    });
}

Picture paintNeptune(int width, int height) {
    const ColourRamp ramp{
        {0.0f, {0.08f, 0.17f, 0.5f}}, {0.5f, {0.18f, 0.32f, 0.75f}}, {1.0f, {0.45f, 0.6f, 0.92f}}};
    return paintSphere(width, height, [&](const SpherePoint& p) {
        const float detail = fractalNoise({p.direction.x * 6, p.direction.y * 20, p.direction.z * 6}, 4, 121);
        float value = bands(p, 12, 0.05f, 122) * 0.35f + 0.3f + (detail - 0.5f) * 0.3f;
        value -= 0.25f * (1 - smoothStep(0.7f, 1.0f, insideOval(p, 0.62f, -0.22f, 0.045f, 0.05f)));
        // A few bright high clouds streak along the latitudes.
        value += 0.5f *
                 smoothStep(0.68f, 0.78f,
                            fractalNoise({p.direction.x * 5, p.direction.y * 30, p.direction.z * 5}, 4, 123));
        return ramp.at(value);
    });
}

Picture paintSaturnRing(int width, int height) {
    // Across the ring (u from the inner edge at 1.25 planet radii to the outer at 2.3): the faint, dusky
    // C ring, the bright and dense B ring, the dark Cassini division, the A ring with the thin Encke gap.
    // Within each, ringlets of a few texels and broader bands of a few tens vary both brightness and
    // opacity, so the rings read as many rings and not as one grey disc.
    const ColourRamp colour{{0.0f, {0.42f, 0.38f, 0.33f}}, {0.26f, {0.55f, 0.5f, 0.42f}},
                            {0.3f, {0.92f, 0.84f, 0.68f}}, {0.6f, {0.98f, 0.9f, 0.74f}},
                            {0.67f, {0.8f, 0.72f, 0.58f}}, {0.75f, {0.78f, 0.72f, 0.62f}},
                            {1.0f, {0.72f, 0.67f, 0.58f}}};
    // How much of the light behind the ring it stops, carried in the red of a ramp.
    const ColourRamp density{{0.0f, 0.0f},    {0.03f, 0.25f}, {0.25f, 0.35f}, {0.28f, 0.85f},
                             {0.6f, 1.0f},    {0.655f, 0.9f}, {0.67f, 0.06f}, {0.74f, 0.06f},
                             {0.755f, 0.75f}, {0.905f, 0.7f}, {0.91f, 0.05f}, {0.918f, 0.05f},
                             {0.923f, 0.65f}, {0.96f, 0.55f}, {0.99f, 0.0f}};
    Picture picture(width, height);
    for (int x = 0; x < width; ++x) {
        const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
        const float ringlets = latticeValue(x, 0, 0, 131);
        const float bands = smoothStep(0.3f, 0.7f, valueNoise({u * 40, 0.5f, 0.5f}, 132));
        const float variation = 0.45f + 0.15f * ringlets + 0.6f * bands;
        Colour c = scaled(colour.at(u), 0.75f + 0.3f * bands + 0.1f * ringlets);
        c.a = clamp01(density.at(u).r * variation);
        for (int y = 0; y < height; ++y)
            picture.at(x, y) = c;
    }
    return picture;
}

Picture paintLightning(int width, int height) {
    // A few storms, each a knot of small flashes; the sphere that wears this moves it to a new place at
    // every flash, so the storms light up here and there.
    Picture picture(width, height);
    for (int storm = 0; storm < 7; ++storm) {
        const float cx = latticeValue(storm, 0, 0, 515) * static_cast<float>(width);
        const float cy = (0.3f + 0.4f * latticeValue(storm, 1, 0, 515)) * static_cast<float>(height);
        for (int flash = 0; flash < 5; ++flash) {
            const float fx =
                cx + (latticeValue(storm, flash, 2, 515) - 0.5f) * 0.05f * static_cast<float>(width);
            const float fy =
                cy + (latticeValue(storm, flash, 3, 515) - 0.5f) * 0.08f * static_cast<float>(height);
            const float radius = 2 + 4 * latticeValue(storm, flash, 4, 515);
            const int reach = static_cast<int>(radius * 3);
            for (int y = std::max(0, static_cast<int>(fy) - reach);
                 y < std::min(height, static_cast<int>(fy) + reach); ++y)
                // Round the sphere the picture's right edge meets its left: a flash across it goes on at the
                // other side instead of ending in a straight cut.
                for (int x = static_cast<int>(fx) - reach; x < static_cast<int>(fx) + reach; ++x) {
                    const float d =
                        std::hypot(static_cast<float>(x) - fx, static_cast<float>(y) - fy) / radius;
                    const float light = std::exp(-d * d);
                    Colour& texel = picture.at((x % width + width) % width, y);
                    texel = added(texel, Colour{0.75f * light, 0.85f * light, light, 1});
                }
        }
    }
    return picture;
}

Picture paintAirGlow(int width, int height) {
    // The atmosphere shells fade by their own alpha towards the rim; the picture only gives the air its
    // colour, a blue with a faint mottling so it does not look painted on. The shell is added over the
    // planet's lit face, most of it over the middle, so it is dim: a brighter air turned the day side white.
    Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float mottle = 0.9f + 0.1f * valueNoise({x * 0.2f, y * 0.2f, 0}, 733);
            picture.at(x, y) = scaled(Colour{0.17f, 0.26f, 0.45f, 1}, mottle);
        }
    return picture;
}
