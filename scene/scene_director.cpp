#include "scene/scene_director.h"

#include "objects/scene_object.h"
#include "objects/show.h"

#include <GL/gl.h>

#include <initializer_list>

namespace {

void placeLight(GLenum light, float x, float y, float z) {
    const float position[4] = {x, y, z, 1};
    glLightfv(light, GL_POSITION, position);
}

} // namespace

void SceneDirector::chooseWorld(const WorldList& worlds) {
    current_ = findWorld(worlds, "world");
    if (!current_ && !worlds.empty())
        current_ = worlds.front().get();
    refillFrameLists();
}

void SceneDirector::refillFrameLists() {
    if (!current_) {
        firstPass.clear();
        objects.clear();
        postPass.clear();
        return;
    }
    firstPass = *current_->firstPass;
    objects = current_->objects;
    postPass = *current_->postPass;
}

void SceneDirector::updateObjects(const Show& show, double dt) {
    for (ObjectList* list : {&firstPass, &objects, &postPass})
        for (SceneObject* object : *list)
            object->update(show, dt);
}

void SceneDirector::renderFrame(const Show& show) {
    const Camera& camera = show.camera;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!current_)
        return;
    refillFrameLists();

    glLoadIdentity();
    camera.lookAt();
    if (current_->system) {
        placeLight(GL_LIGHT1, 0, 0, 0); // the Sun itself
    } else {
        placeLight(GL_LIGHT1, 0, 0, 1000000);
        placeLight(GL_LIGHT0, 0, 0, 1000000);
    }

    for (ObjectList* list : {&firstPass, &objects, &postPass})
        for (SceneObject* object : *list) {
            object->draw(show);
            if (afterEachDraw)
                afterEachDraw(*object);
        }

    glLoadIdentity();
    camera.lookAt();
    if (drawOverlay)
        drawOverlay();
}
