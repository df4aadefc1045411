#include "tools/texgen/sprite_textures.h"

#include "tools/texgen/noise.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Paints a square sprite from a function of the position relative to the centre, in [-1, 1] each way.
// The outermost ring of texels is forced black so the sprite's quad never shows an edge.
Picture paintSprite(int size, const std::function<Colour(float x, float y)>& paint) {
    Picture picture(size, size);
    for (int y = 1; y < size - 1; ++y)
        for (int x = 1; x < size - 1; ++x) {
            const float fx = (static_cast<float>(x) + 0.5f) / static_cast<float>(size) * 2 - 1;
            const float fy = (static_cast<float>(y) + 0.5f) / static_cast<float>(size) * 2 - 1;
            picture.at(x, y) = paint(fx, fy);
        }
    return picture;
}

// The same warm white for every light sprite, dimmed by `amount`.
Colour light(float amount, Colour tint = {1.0f, 0.95f, 0.85f}) {
    return scaled(tint, clamp01(amount));
}

// Fades anything to black before the sprite's edge.
float edgeFade(float r) {
    return 1 - smoothStep(0.8f, 1.0f, r);
}

} // namespace

Picture paintGlow(int size) {
    return paintSprite(size, [](float x, float y) {
        const float r = std::hypot(x, y);
        return light((std::exp(-r * r * 5) * 0.8f + std::exp(-r * r * 40) * 0.3f) * edgeFade(r));
    });
}

// The lens effect stretches this over a long quad whose height runs along the line through the window's
// centre, so the light is a thin line down the middle, brightest halfway and gone at both ends.
Picture paintLensStreak(int size) {
    return paintSprite(size, [](float x, float y) {
        const float across = std::exp(-x * x * 900);
        const float along = std::max(0.0f, 1 - y * y);
        // Half strength: the lens draws three streaks across the whole window, and at full strength they
        // outshine the planets in every frame that looks at the Sun.
        return light(0.5f * across * along * along, {1.0f, 0.9f, 0.8f});
    });
}

Picture paintHalo(int size) {
    return paintSprite(size, [](float x, float y) {
        const float r = std::hypot(x, y);
        const float ring = std::exp(-std::pow((r - 0.62f) / 0.12f, 2.0f));
        const float inner = std::exp(-std::pow((r - 0.62f) / 0.3f, 2.0f)) * 0.3f;
        return light((ring + inner) * edgeFade(r), {0.75f, 0.85f, 1.0f});
    });
}

Picture paintFlare(int size) {
    return paintSprite(size, [](float x, float y) {
        const float r = std::hypot(x, y);
        const float angle = std::atan2(y, x);
        // Rays of uneven length: a noise value per direction, looked up around a circle so it wraps.
        const float rayNoise = valueNoise({std::cos(angle) * 6, std::sin(angle) * 6, 0}, 151);
        const float rays = std::pow(std::abs(std::cos(angle * 3)), 40.0f) * 0.6f + rayNoise * 0.35f;
        const float core = std::exp(-r * r * 60);
        const float haze = std::exp(-r * 4) * 0.5f;
        const float streaks = rays * std::exp(-r * 3.5f);
        return light((core + haze + streaks) * edgeFade(r));
    });
}

Picture paintLensDisc(int size) {
    return paintSprite(size, [](float x, float y) {
        const float r = std::hypot(x, y);
        return light((1 - smoothStep(0.55f, 0.9f, r)) * (0.35f + 0.25f * r), {0.8f, 0.9f, 1.0f});
    });
}

Picture paintLensRing(int size) {
    return paintSprite(size, [](float x, float y) {
        const float r = std::hypot(x, y);
        return light(std::exp(-std::pow((r - 0.8f) / 0.06f, 2.0f)) * 0.7f * edgeFade(r * 0.95f),
                     {0.85f, 1.0f, 0.9f});
    });
}

Picture paintLensHexagon(int size) {
    return paintSprite(size, [](float x, float y) {
        // Distance to the centre measured the hexagon's way: the largest projection on its three axes.
        const float ax = std::abs(x);
        const float ay = std::abs(y);
        const float hex = std::max(ax, ax * 0.5f + ay * 0.8660254f);
        return light((1 - smoothStep(0.72f, 0.8f, hex)) * (0.3f + 0.3f * hex), {1.0f, 0.85f, 0.7f});
    });
}

Picture paintDot(int size) {
    return paintSprite(size, [](float x, float y) {
        const float r = std::hypot(x, y);
        return light(std::exp(-r * r * 8) * edgeFade(r), {1, 1, 1});
    });
}

Picture paintSpark(int size) {
    return paintSprite(size, [](float x, float y) {
        const float r = std::hypot(x, y);
        const float arms = std::exp(-std::abs(x) * 30) * std::exp(-std::abs(y) * 3) +
                           std::exp(-std::abs(y) * 30) * std::exp(-std::abs(x) * 3);
        return light((arms + std::exp(-r * r * 30)) * edgeFade(r), {1.0f, 0.9f, 0.7f});
    });
}
