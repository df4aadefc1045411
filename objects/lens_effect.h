#pragma once

#include "data/texture_upload.h"
#include "math/vec3.h"

#include <array>
#include <cstdint>

// One ghost of the lens effect: where it sits on the line from the flare (0) through the window's centre (1)
// and beyond (2 is the flare mirrored through the centre), its size as a factor on the flare's ghost size,
// and which lens texture slot it shows.
struct LensGhost {
    float position;
    float size;
    int textureSlot;
};

// The ghosts in drawing order; each is tinted by its row, from blue to red.
extern const std::array<LensGhost, 23> lensGhosts;

// Draws the lens effect of a flare standing at `flarePixel` in a window of `windowWidth` × `windowHeight`
// pixels: three streaks with texture slot 2 and the ghosts, additively, in window pixels. `ghostSize` is the
// half-size of a ghost of size factor 1 in design pixels (objects/screen_sprite.h): like the streaks, the
// ghosts follow the window's height; `streakLit` is the part of slot 2's picture with light, all a streak
// needs to cover; `orient` turns the ghosts with the flare's place in the window. Leaves the GL state as the
// scene's draws expect it.
void drawLensEffect(Vec3 flarePixel, float windowWidth, float windowHeight, float ghostSize,
                    const std::array<std::uint32_t, 3>& textures, const LitBox& streakLit, bool orient);
