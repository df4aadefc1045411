#include "objects/lens_effect.h"

#include "objects/screen_sprite.h"

#include "overlay/flat_drawing.h"

#include <GL/gl.h>

#include <algorithm>

const std::array<LensGhost, 23> lensGhosts{{
    {-0.08f, 1.0f, 1}, {0.21f, 0.1f, 1},  {0.32f, 0.5f, 1}, {0.7f, 0.1f, 1},  {0.85f, 0.2f, 1},
    {0.89f, 0.12f, 1}, {1.21f, 0.05f, 1}, {1.39f, 0.2f, 1}, {1.44f, 0.4f, 1}, {1.8f, 1.3f, 1},
    {-0.3f, 0.5f, 1},  {0.6f, 0.2f, 1},   {0.4f, 0.4f, 1},  {0.75f, 0.1f, 1}, {0.8f, 0.2f, 1},
    {0.49f, 0.12f, 1}, {1.11f, 0.05f, 1}, {1.9f, 0.2f, 1},  {0.44f, 0.4f, 1}, {0.83f, 1.3f, 1},
    {-0.13f, 0.5f, 0}, {0.16f, 0.2f, 0},  {0.55f, 0.4f, 0},
}};

namespace {

// A streak: a long quad across the line to the centre, placed at `along` times the way from the flare to the
// centre. The last one is turned half round so that its texture runs the other way. Its picture is a thin
// line down the middle, so each is drawn over the picture's lit part only: the whole quads filled about a
// million and a half pixels a frame at 1920 × 1080, adding black to nearly all of them.
struct Streak {
    float along;
    float scale;
    float red, green, blue, alpha;
    bool turned;
};

constexpr Streak streaks[] = {
    {-0.1f, 2.2f, 1.0f, 0.7f, 0.5f, 0.2f, false},
    {0.5f, 1.2f, 1.0f, 0.3f, 0.3f, 0.7f, false},
    {1.7f, 1.8f, 0.4f, 0.3f, 0.9f, 0.15f, true},
};

// Half-length of a streak before its scale, design pixels.
constexpr float streakReach = 200;

// How far the ghosts stray beside the line, design pixels per unit of the way still to go to the mirrored
// flare.
constexpr float ghostStray = 2;

// How far from the centre, in design pixels, a flare's streaks come to full strength. Nearer the centre the
// line to it has no steady direction: the streaks would swing round the picture as the Sun crosses it, which
// the camera, looking at the Sun, makes it do all the time. So they fade out towards the centre.
constexpr float steadyStreakDistance = 150;

void drawStreaks(Vec3 flare, Vec3 toCentre, float scale, std::uint32_t texture, const LitBox& lit) {
    const float steadiness = std::min(length(toCentre) / (scale * steadyStreakDistance), 1.0f);
    const float strength = steadiness * steadiness * (3 - 2 * steadiness);
    if (strength <= 0)
        return;
    const Vec3 along = scale * streakReach * normalize(toCentre);
    const Vec3 across = scale * streakReach * cross(normalize(toCentre), Vec3{0, 0, 1});
    glBindTexture(GL_TEXTURE_2D, texture);
    for (const Streak& streak : streaks) {
        const Vec3 centre = flare + streak.along * toCentre;
        const float sign = streak.turned ? -1.0f : 1.0f;
        glLoadIdentity();
        glTranslatef(centre.x, centre.y, 0);
        glScalef(streak.scale, streak.scale, 1);
        glColor4f(streak.red, streak.green, streak.blue, streak.alpha * strength);
        // The picture's (u, v) lies at (2u − 1) across and (2v − 1) along from the centre.
        glBegin(GL_TRIANGLE_STRIP);
        for (const auto& [u, v] : {std::pair{lit.left, lit.bottom}, std::pair{lit.right, lit.bottom},
                                   std::pair{lit.left, lit.top}, std::pair{lit.right, lit.top}}) {
            const Vec3 corner = sign * ((2 * u - 1) * across + (2 * v - 1) * along);
            glTexCoord2f(u, v);
            glVertex2f(corner.x, corner.y);
        }
        glEnd();
    }
}

void drawGhosts(Vec3 flare, Vec3 centre, float scale, float ghostSize,
                const std::array<std::uint32_t, 3>& textures, bool orient) {
    const Vec3 toCentre = centre - flare;
    // How far the flare stands from the centre's direction, seen from the window's corner: it sets how much
    // the ghosts swing off the line and how far oriented ghosts turn.
    const float swing = dot(normalize(flare), normalize(centre));
    Vec3 sideways = normalize(flare - centre);
    for (std::size_t row = 0; row < lensGhosts.size(); ++row) {
        const LensGhost& ghost = lensGhosts[row];
        // The turns add up from ghost to ghost, which scatters them a little about the line.
        rotateAboutAxis(sideways, Vec3{0, 0, 1}, 90 * swing * ghost.position);
        const Vec3 at =
            flare + ghost.position * toCentre + scale * ghostStray * (2 - ghost.position) * sideways;
        glLoadIdentity();
        glTranslatef(at.x, at.y, 0);
        glScalef(1.5f, 1.5f, 1);
        if (orient)
            glRotatef(90 * swing, 0, 0, 1);
        glBindTexture(GL_TEXTURE_2D, textures[static_cast<std::size_t>(ghost.textureSlot)]);
        const float i = static_cast<float>(row);
        glColor4f(std::min(0.3f + i / 30, 1.0f), 0.2f, std::max(1 - i / 10, 0.0f), 0.29f);
        const float half = scale * ghostSize * ghost.size;
        drawScreenSprite(half, half);
    }
}

} // namespace

void drawLensEffect(Vec3 flarePixel, float windowWidth, float windowHeight, float ghostSize,
                    const std::array<std::uint32_t, 3>& textures, const LitBox& streakLit, bool orient) {
    const Vec3 centre{windowWidth / 2, windowHeight / 2, 0};
    const float scale = pixelsPerDesignPixel(windowHeight);
    enter2D();
    drawStreaks(flarePixel, centre - flarePixel, scale, textures[2], streakLit);
    drawGhosts(flarePixel, centre, scale, ghostSize, textures, orient);
    leave2D();
}
