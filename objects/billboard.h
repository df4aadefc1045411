#pragma once

#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <memory>
#include <string_view>
#include <vector>

// A textured square drawn without lighting: glows, halos around planets, distant sky sprites and blinking
// lights. It normally turns to face the viewer; it can also float above a parent along the viewer's up
// direction, stay at a fixed offset from the eye in its own narrow frustum ("env"), stand on the rim of a
// sphere as the viewer sees it ("oreol"), or lie in the plane of the Sun and its parent ("sys"). It spins in
// its own plane and can blink.
//
// The square's axes, strongest first: a sys billboard's, an oreol billboard's, the viewer's (unless "orient
// off"), and last the script's "up" and "right" (the base's `right`). The base's `parent` is the object it
// floats over and `color` its tint when it has one.
class Billboard : public SceneObject {
public:
    Billboard(); // draws the spin speed from the random sequence

    void draw(const Show& show) override;
    void update(const Show& show, double dt) override;

    float angle = 0; // degrees in the square's plane, kept in [0, 360]
    float size = 5;
    float alpha = 1;
    float tiling = 1;
    float spinSpeed;  // degrees per second; uniform in [-60, 60] unless the script gives it
    float fov = 0.1f; // half the height of the env frustum at its near plane 1
    float xy = 1;     // width-to-height factor of the square
    float oreolRadius = 1;
    Vec3 up{0, 1, 0};
    Vec3 offset; // above the parent (y only), from the eye (env) or the halo's sphere centre (oreol)
    bool env = false;
    bool orientOff = false;
    bool flash = false;
    bool blend = false; // alpha blending instead of additive
    bool depth = false; // drawn over everything
    bool oreol = false;
    bool sys = false;
    // The blink: dark while flashTimer < flashOff, lit for flashOn seconds after; the timer starts at the
    // script's value so that blinking lights can be put out of step.
    float flashTimer = 0;
    float flashOff = 0;
    float flashOn = 0;

private:
    // Stands the halo on the circle along which the viewer sees the rim of the sphere at `offset`, turned
    // to the viewer, and returns the square's size. The viewer must not stand at the centre.
    float placeOnRim(const Camera& camera);
    void takeViewerAxes();
    void takeSystemAxes(const Camera& camera);
    bool hiddenByBlink() const { return flash && flashTimer < flashOff; }
};

// Reads a "billboard" block (no name on its begin line).
std::unique_ptr<SceneObject> parseBillboard(ScriptReader& script, const ObjectList& list);
// The keywords its block takes, from the table the parser reads with.
std::vector<std::string_view> billboardBlockKeywords();
