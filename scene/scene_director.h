#pragma once

#include "objects/object_list.h"
#include "scene/world_list.h"

#include <functional>

class SceneObject;
class Show;

// Chooses the world that is shown and draws it each frame: the environment's first-pass objects, the world's
// own objects, then the environment's post-pass objects, under the world's lights.
class SceneDirector {
public:
    // The world named "world", or the first world when none has that name; none for an empty list.
    void chooseWorld(const WorldList& worlds);
    World* currentWorld() const { return current_; }

    // Advances every object of the three frame lists, as they were last filled, by the unscaled frame time,
    // on the show's world clock.
    // Choosing the world fills them, so the first frame already shows every object where its update puts it:
    // a moon at its place on its orbit, not at the point its script gives.
    void updateObjects(const Show& show, double dt);

    // Clears the screen, refills the frame lists from the current world, looks through the show's camera,
    // places the lights, draws the three lists in order and then the overlay. With no world only the clear
    // happens.
    void renderFrame(const Show& show);

    // Drawn last in each frame, over the scene, in the camera's view.
    std::function<void()> drawOverlay;
    // When set, called after each object's draw (a check of the state it left behind).
    std::function<void(const SceneObject&)> afterEachDraw;

    ObjectList firstPass;
    ObjectList objects;
    ObjectList postPass;

private:
    void refillFrameLists();

    World* current_ = nullptr;
};
