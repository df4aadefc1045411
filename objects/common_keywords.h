#pragma once

#include "math/vec3.h"
#include "objects/object_list.h"
#include "objects/scene_object.h"
#include "objects/script_reader.h"

#include <string_view>

class Show;

// The block settings every kind writes the same way, and what they look up: the show's textures for a
// texture's name, the list read so far for a parent's name.

// The first object of the list whose name is exactly `name` (case-sensitive); null when there is none.
SceneObject* findObjectByName(const ObjectList& list, std::string_view name);

// Takes the texture a script names ("textures\earth.jpg") for the object: `tga` tells whether the name ends
// in "tga" (such pictures have alpha and are blended by it), and `textureId` becomes the texture's GL name
// when the show's texture registry has it; otherwise it stays as it was. The caller marks it `textured`.
void resolveTexture(const Show& show, SceneObject& object, std::string_view textureName);

// Tells a check of the show (ScriptObserver) when the script's line names a texture the texture list lacks.
void remarkUnknownTexture(const ScriptReader& script, std::string_view textureName);

// "texture NAME": resolveTexture, and the object is textured even when the registry lacks the name.
// "parent NAME": the parent becomes the object so named among those already in `list`, or none; it must
// stand earlier in the list. Lines without a name change nothing.
BlockKeyword textureKeyword(SceneObject& object);
BlockKeyword parentKeyword(SceneObject& object, const ObjectList& list);
// "parent NAME V(x y z)": the parent and the offset from it, for the kinds that stand beside their parent.
BlockKeyword parentKeyword(SceneObject& object, Vec3& offset, const ObjectList& list);
