#pragma once

#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <memory>

// A static glowing ring: an opaque line along an ellipse in world space, with four bands fanning out from it
// (up, down, inward, outward) that fade from the line colour to a second colour at zero opacity. It never
// changes; the camera moving around it is all the animation it has. Drawn untextured in world coordinates,
// so the base position plays no part.
class Flame : public SceneObject {
public:
    // The ring is sampled at this many steps; sample `ringSegments` repeats sample 0 to close it.
    static constexpr int ringSegments = 200;

    enum class Band { upper, lower, inner, outer };

    void draw(Camera& camera) override;
    void update(double dt) override;

    // Sample i of the ring line: on the ellipse around the centre, raised by slope × its x coordinate.
    Vec3 ringPoint(int i) const;
    // The far edge of a band at sample i: glowWidth above, below, inside or outside the ring point.
    Vec3 bandEdge(Band band, int i) const;

    Vec3 ringCentre;
    float ringRadius = 0.8f; // along z; along x it is ringRadius × xStretch
    float xStretch = 1.0f;
    float slope = 0;         // every ring point is raised by slope × its x coordinate
    float glowWidth = 0.2f;  // how far each band reaches from the line
    Vec3 colorFrom{1, 1, 0}; // at the line, opaque
    Vec3 colorTo{0, 0, 1};   // at a band's far edge, transparent

private:
    Vec3 ellipsePoint(int i, float radius) const;
};

// Reads a "flame" block and makes the flame; null when the data ends inside the block.
std::unique_ptr<SceneObject> parseFlame(ScriptReader& script, const ObjectList& list);
