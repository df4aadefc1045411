#pragma once

#include "data/texture_upload.h"
#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// The glare of a light source: a sprite drawn in window pixels over the scene, pinned to a point of the
// world. Each frame the point is projected and one depth pixel tells whether anything drawn before covers it;
// the sprite fades in while the point is seen and out while it is covered. It can ride on another object
// (`parent`) or hang at a fixed direction from the viewer (`env`), as if infinitely far away, and it can add
// the lens effect: streaks and ghosts along the line from the flare through the centre of the window.
class Flare : public SceneObject {
public:
    void draw(const Show& show) override;
    void update(const Show& show, double dt) override;

    float opacity = 0;      // 0..1, a little above 1 while visible; nothing is drawn at 0
    float spriteSize = 10;  // half-height of the sprite, design pixels (objects/screen_sprite.h)
    float lensSize = 5;     // half-size of a ghost before its own factor, design pixels
    float fadeInRate = 6;   // opacity per second while visible
    float fadeOutRate = 6;  // opacity per second while hidden
    float envFov = 0.1f;    // env flares: half-height of their own frustum at distance 1
    float spinAngle = 0;    // degrees, kept in [0, 360]
    float spinRate = 24;    // degrees per second
    float aspect = 1;       // horizontal stretch of the sprite
    float flickerTimer = 0; // runs at 6 units per second
    float flickerDimEnd = 0;
    float flickerCycleEnd = 0;
    float flashAmount = 0;    // longest dimming and brightening of a flicker cycle, seconds
    float focusThreshold = 0; // focus: the alignment at which the sprite vanishes
    float lumin = 1;          // brightness of the sprite
    bool visible = false;     // the anchor was seen at the last draw
    bool lookedFor = false;   // the anchor has been tested at least once
    bool hasLensEffect = false;
    bool isEnvironment = false; // anchor = camera eye + offset
    bool hasFocus = false;      // the sprite fades as the view turns away from offset
    bool hasOrient = false;     // the sprite turns with its place in the window
    Vec3 offset;                // in the parent's axes with a parent; direction from the eye for env
    Vec3 orientVector;
    std::array<std::uint32_t, 3> lensTextures{}; // ghosts use slots 0 and 1, the streaks slot 2
    LitBox streakLit;                            // the lit part of the streaks' picture

private:
    bool anchorVisible(const Camera& camera, const double window[3], const int viewport[4]) const;
    float focusFactor(const Camera& camera) const;
    void drawSprite(const Camera& camera, Vec3 pixel) const;
};

// Reads a "flare" block. Sizes in the script are pixels of a 600-pixel-high picture, kept as they are and
// scaled to the picture when drawn; rates are per 1/60-second frame and become per second. "lenseffect" takes
// the four lines after it: the ghosts' size, then the three lens textures (slots 0, 1, 2).
std::unique_ptr<SceneObject> parseFlare(ScriptReader& script, const ObjectList& list);
// The keywords its block takes, from the table the parser reads with.
std::vector<std::string_view> flareBlockKeywords();
