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

// The Sun's corona around its rim. The rim billboard stands on the circle where the viewer sees the Sun's
// edge, and from the show's distances that edge lies at about 0.8 of the picture's half-size: inside it the
// light falls on the Sun's own bright face and is lost there, outside it fades into the sky.
Picture paintHalo(int size) {
    return paintSprite(size, [](float x, float y) {
        const float r = std::hypot(x, y);
        // Brightest just inside the usual rim and falling off gently outwards; closer in, where the rim moves
        // further in, the glow still reaches it.
        const float corona = std::exp(-std::max(r - 0.72f, 0.0f) * 7) * smoothStep(0.35f, 0.72f, r);
        return light(0.45f * corona * edgeFade(r), {1.0f, 0.8f, 0.55f});
    });
}

// A comet's tail, for a billboard that stands on the line from the Sun through the comet with the picture's
// top away from the Sun: nothing in the lower half, and from the middle up a plume that widens and fades.
// Its alpha carries the plume, for drawing blended over what lies behind.
Picture paintCometTail(int size) {
    Picture picture(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float across = (static_cast<float>(x) + 0.5f) / static_cast<float>(size) * 2 - 1;
            const float along =
                1 - (static_cast<float>(y) + 0.5f) / static_cast<float>(size) * 2; // up: top row
            if (along <= 0) {
                picture.at(x, y) = {0, 0, 0, 0};
                continue;
            }
            const float width = 0.05f + 0.45f * along;
            const float streaks = 0.8f + 0.2f * valueNoise({across * 12, along * 3, 0}, 77);
            const float plume = std::exp(-std::pow(across / width, 2.0f)) * std::exp(-along * 2.2f) * streaks;
            const float fade = smoothStep(0.0f, 0.06f, along) * (1 - smoothStep(0.85f, 1.0f, along)) *
                               (1 - smoothStep(0.85f, 1.0f, std::abs(across)));
            picture.at(x, y) = {0.75f, 0.85f, 1.0f, clamp01(plume * fade * 1.4f)};
        }
    return picture;
}

// A far spiral galaxy seen at a slant: a bright core and two arms of soft light.
Picture paintGalaxy(int size) {
    return paintSprite(size, [](float x, float y) {
        const float r = std::hypot(x, y);
        const float angle = std::atan2(y, x);
        const float arms = std::pow(0.5f + 0.5f * std::cos(2 * angle - 9 * r), 3.0f);
        const float dust = 0.6f + 0.4f * valueNoise({x * 9, y * 9, 0}, 401);
        const float disc = std::exp(-r * 4.5f) * (0.35f + 0.65f * arms) * dust;
        const float core = std::exp(-r * r * 90);
        return light((disc * 0.8f + core) * edgeFade(r), {0.9f, 0.88f, 1.0f});
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
