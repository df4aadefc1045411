#pragma once

#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <GL/gl.h>

#include <memory>
#include <string_view>
#include <vector>

// A display list (normally the shared unit sphere) scaled to a radius and spun about an axis: the planets,
// their moons, the Sun's body, the sky around the viewer and atmosphere shells. Flags choose how it moves
// (fixed, orbiting the world's Y axis, as a moon, as a satellite of its parent) and how it looks (opaque or
// translucent, lit or self-lit, specular, sky, camera-facing atmosphere, flashing, flat colour, depth only,
// wire build-up).
class Sphere : public SceneObject {
public:
    Sphere();

    void draw(const Show& show) override;
    void update(const Show& show, double dt) override;
    BudgetNeed budgetNeed(const Show& show) const override;

    // Where the sphere stands in the world as of its last update: a satellite's position is kept relative to
    // its parent.
    Vec3 worldPosition() const { return sys && parent ? position + parent->position : position; }

    Vec3 rotationAxis{0, 1, 0};
    GLuint displayList = 0;
    float spinAngle = 0;    // degrees
    float moonPhase = 0;    // a moon's place on its orbit at world time 0: the script's start angle
    float spinSpeed = 0.2f; // degrees per second
    float radius = 5;
    float alpha = 1; // below 1 translucent
    float fov = 1;   // the sky sphere's own frustum: ±fov vertically at the near plane 1
    float tiling = 1;
    float detiling = 0;    // a fixed turn in degrees, given to the body and its texture alike
    float flashTimer = 1;  // seconds into the current flash state
    float flashPeriod = 1; // seconds the current flash state lasts
    float flashU = 0;      // flashU, flashV: where the flash texture is moved to while it shines
    float flashV = 0;
    float flashAngle = 0;     // degrees a "rnd" flash's texture is turned
    Vec3 orientAxis{1, 0, 0}; // the tilt applied before the spin
    float orientAngle = 90;
    float period = 365; // the orbit's length: the orbit angle grows by 5000 / period degrees per second
    bool env = false;   // sky sphere: follows the viewer, seen from inside, behind everything
    bool light = false; // self-lit, and never orbits
    bool atmo = false;  // turned to the viewer, fading towards its rim
    bool wire = false;
    bool orbits = true; // "orbit" clears it: the sphere stays where its script puts it
    bool depth = false; // no depth writes
    bool mask = false;  // writes depth only, hiding what lies behind it
    bool flash = false;
    bool flashOn = false;
    bool rnd = false;      // flashes at random intervals, places and strengths
    bool sys = false;      // satellite: circles its parent
    bool uranmoon = false; // a satellite circling the line from the Sun through its parent
    bool plt = false;      // the far, inclined and eccentric orbit
    bool specular = false;

private:
    GLuint shadowDiscTexture = 0; // made at the first draw in the parent's shadow, in the context drawing it
    void advanceFlash(float dt);
    void setUpFlashDrawing();
    bool boundedByUnitSphere(const Show& show) const;
    void drawWireBuildUp(const Show& show);
};

// Reads a "sphere" block (the kind's parser for the object-script reader). The moon speeds, the flash phases
// and the TGA texture carry over from the script's earlier spheres through the show's parse state.
std::unique_ptr<SceneObject> parseSphere(ScriptReader& script, const ObjectList& list);
// The keywords its block takes, from the table the parser reads with.
std::vector<std::string_view> sphereBlockKeywords();
