#pragma once

#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <GL/gl.h>

#include <memory>
#include <string_view>
#include <vector>

// A model from a mesh file, standing where the script puts it: its x axis along `look`, its y axis along
// `right`, then turned about orientAxis and scaled. It can be metallic (a specular highlight from light 0),
// self-lit ("illum": no lighting), lit by its texture ("light": the texture is added to the colour) or
// translucent ("blend": the first component of `color` is its opacity).
class Mesh : public SceneObject {
public:
    void draw(const Show& show) override;
    void update(const Show&, double) override {} // meshes do not move
    BudgetNeed budgetNeed(const Show& show) const override;

    GLuint displayList = 0; // the "geometry" mesh current when the block was read; 0 draws nothing
    float orientAngle = 0;  // degrees about orientAxis
    float scale = 1;
    bool chrome = true; // the material's second line; read for the scripts' sake, drawing does not use it
    bool metal = false;
    bool light = false;
    bool invup = false; // read for the scripts' sake, drawing does not use it
    bool illum = false;
    bool blend = false;
    Vec3 orientAxis{0, 1, 0};
};

// Reads a "mesh" block ("begin NAME" names it). The mesh draws the display list of the last "geometry" line
// read before it.
std::unique_ptr<SceneObject> parseMesh(ScriptReader& script, const ObjectList& list);
// The keywords its block takes, from the table the parser reads with.
std::vector<std::string_view> meshBlockKeywords();
