#pragma once

#include "data/show_budget.h"
#include "math/vec3.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class Camera;
class Show;

// Everything drawn in a world apart from the camera and the overlay: spheres, billboards, meshes, flares,
// flames and particle systems. The object-script reader creates them during loading; they live until the
// next show is loaded, and object lists only point at them.
class SceneObject {
public:
    // Longer names on a "begin" line are cut to this length.
    static constexpr std::size_t maxNameLength = 14;

    virtual ~SceneObject() = default;

    // Renders the object. On entry and exit the GL state is the one the saver run sets up (see
    // gl/draw_state.h). The show it belongs to gives the camera, which lets an object face or follow the
    // viewer, the world's clock and the shared meshes.
    virtual void draw(const Show& show) = 0;

    // Advances the object by the frame time in seconds, unscaled by the camera speed.
    virtual void update(const Show& show, double dt) = 0;

    // What keeping the object costs the show's budget: one object, and whatever it draws each frame that a
    // script can make large (particles, triangles).
    virtual BudgetNeed budgetNeed(const Show&) const { return BudgetNeed{}.add(BudgetItem::objects, 1); }

    SceneObject* parent = nullptr; // spheres orbit it; set by "parent"
    Vec3 position;
    Vec3 look{0, 0, 1};
    Vec3 right{1, 0, 0};
    Vec3 homePosition; // the position as written in the script
    Vec3 color{1, 1, 1};
    std::uint32_t textureId = 0; // bound only when textured
    std::string name;            // from "begin NAME", for parent lookups; at most 14 characters
    bool textured = false;
    bool tga = false; // the texture has alpha: drawn with alpha blending instead of additive
    bool moon = false;
    float moonAngle = 0;    // degrees
    float moonSpeed = 0.5f; // degrees per second of world time

    // Where the object came from, for messages about it: its kind's keyword ("sphere", "ps") and the script
    // that described it.
    std::string_view kind;
    std::string script;
};

// "sphere "Earth" in solar.txt", or without the quotes for kinds that carry no name.
std::string describeObject(const SceneObject& object);
