#pragma once

#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <memory>
#include <string_view>
#include <vector>

// A static glowing ring: light along an ellipse in world space that fades from the line colour at full
// opacity to a second colour at none, glowWidth away. The glow is the light of every point of the line: a
// disc facing the viewer at each sample, bright at its centre, so it has the same soft edge from every side
// and rounds off where the ring turns away at its ends, as light along a glowing thread would. It never
// changes; the camera moving around it is all the animation it has. Drawn untextured in world coordinates,
// so the base position plays no part.
class Flame : public SceneObject {
public:
    // The ring is sampled at this many steps; sample `ringSegments` repeats sample 0 to close it.
    static constexpr int ringSegments = 200;

    void draw(const Show& show) override;
    void update(const Show& show, double dt) override;

    // Sample i of the ring line: on the ellipse around the centre, raised by slope × its x coordinate.
    Vec3 ringPoint(int i) const;
    // The opacity at the centre of sample i's disc seen from `eye`: the discs along the line add up to full
    // opacity there.
    float discOpacity(int i, Vec3 eye) const;

    Vec3 ringCentre;
    float ringRadius = 0.8f; // along z; along x it is ringRadius × xStretch
    float xStretch = 1.0f;
    float slope = 0;         // every ring point is raised by slope × its x coordinate
    float glowWidth = 0.2f;  // how far the glow reaches from the line
    Vec3 colorFrom{1, 1, 0}; // at the line, opaque
    Vec3 colorTo{0, 0, 1};   // at the glow's far edge, transparent
};

// Reads a "flame" block and makes the flame; null when the data ends inside the block.
std::unique_ptr<SceneObject> parseFlame(ScriptReader& script, const ObjectList& list);
// The keywords its block takes, from the table the parser reads with.
std::vector<std::string_view> flameBlockKeywords();
