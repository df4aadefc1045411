#pragma once

#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <GL/gl.h>

#include <memory>
#include <string_view>
#include <vector>

// A display list (normally the shared unit sphere) scaled to a radius and spun about an axis: the planets,
// their moons, the Sun's body, the sky around the viewer and atmosphere shells. How it moves (fixed, round
// the Sun, as a moon, round its parent) and how it looks (opaque or translucent, lit or self-lit, specular,
// sky, camera-facing atmosphere, flashing, flat colour, depth only, wire build-up) are set by its script.
class Sphere : public SceneObject {
public:
    Sphere();

    void draw(const Show& show) override;
    void update(const Show& show, double dt) override;
    BudgetNeed budgetNeed(const Show& show) const override;

    // Where the sphere stands in the world as of its last update: a satellite's position is kept relative to
    // its parent.
    Vec3 worldPosition() const {
        return orbit.aroundParent && parent ? position + parent->position : position;
    }

    Vec3 rotationAxis{0, 1, 0};
    GLuint displayList = 0;
    float spinAngle = 0;    // degrees
    float moonPhase = 0;    // a moon's place on its orbit at world time 0: the script's start angle
    float spinSpeed = 0.2f; // degrees per second
    float radius = 5;
    float alpha = 1; // below 1 translucent
    float fov = 1;   // the sky sphere's own frustum: ±fov vertically at the near plane 1
    float tiling = 1;
    float detiling = 0;       // a fixed turn in degrees, given to the body and its texture alike
    Vec3 orientAxis{1, 0, 0}; // the tilt applied before the spin
    float orientAngle = 90;
    float period = 365; // the orbit's length: the orbit angle grows by 5000 / period degrees per second

    // How the sphere moves, besides spinning (a moon's motion is the base's `moon`).
    struct Orbit {
        bool aroundSun = true;     // circles the world's Y axis, unless self-lit; else stays where it is put
        bool eccentric = false;    // circles the Sun on the far, inclined and eccentric orbit instead
        bool aroundParent = false; // a satellite: circles its parent, its position kept relative to it
        bool axisFromSun = false;  // a satellite circling the line from the Sun through its parent
    } orbit;

    // How it is drawn.
    struct Look {
        bool sky = false;         // follows the viewer, seen from inside, behind everything
        bool selfLit = false;     // no lighting, and never circles the Sun
        bool atmosphere = false;  // turned to the viewer, fading towards its rim
        bool specular = false;    // a highlight from the light
        bool wireBuildUp = false; // builds itself face by face over the show's first seconds
        bool noDepthWrites = false;
        bool depthOnly = false; // writes depth only, hiding what lies behind it
    } look;

    // A texture that flashes now and then at a random place, as lightning does.
    struct Flash {
        bool enabled = false;
        bool random = false; // at random intervals and strengths, the texture turned at random too
        bool shining = false;
        float timer = 1;  // seconds into the current state, shining or dark
        float period = 1; // seconds the current state lasts
        float u = 0;      // u, v: where the texture is moved to while it shines
        float v = 0;
        float angle = 0; // degrees a random flash's texture is turned
    } flash;

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
