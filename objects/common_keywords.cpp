#include "objects/common_keywords.h"

#include "data/texture_registry.h"
#include "objects/script_scan.h"
#include "objects/show.h"

#include <algorithm>
#include <string>

namespace {

// The object a "parent NAME" line names; a check is told of a name that names none.
SceneObject* findParent(const ScriptReader& script, const ObjectList& list, std::string_view name) {
    SceneObject* parent = findObjectByName(list, name);
    if (!parent && script.observer())
        script.observer()->unresolvedName(script, "parent", name);
    return parent;
}

} // namespace

SceneObject* findObjectByName(const ObjectList& list, std::string_view name) {
    const auto found = std::find_if(list.begin(), list.end(),
                                    [name](const SceneObject* object) { return object->name == name; });
    return found == list.end() ? nullptr : *found;
}

void resolveTexture(const Show& show, SceneObject& object, std::string_view textureName) {
    object.tga = textureName.ends_with("tga");
    if (const TextureEntry* entry = findTexture(show.textures, textureName))
        object.textureId = entry->texture;
}

void remarkUnknownTexture(const ScriptReader& script, std::string_view textureName) {
    if (script.observer() && !findTexture(script.show().textures, textureName))
        script.observer()->unresolvedName(script, "texture", textureName);
}

BlockKeyword textureKeyword(SceneObject& object) {
    return {"texture", [&object](ScriptReader& script) {
                std::string textureName;
                if (scanLine(script.line(), "texture %s", ScanWord{textureName, scriptLineCapacity}) != 1)
                    return;
                resolveTexture(script.show(), object, textureName);
                object.textured = true;
                remarkUnknownTexture(script, textureName);
            }};
}

BlockKeyword parentKeyword(SceneObject& object, const ObjectList& list) {
    return {
        "parent", [&object, &list](ScriptReader& script) {
            std::string parentName;
            if (scanLine(script.line(), "parent %s", ScanWord{parentName, SceneObject::maxNameLength}) == 1)
                object.parent = findParent(script, list, parentName);
        }};
}

BlockKeyword parentKeyword(SceneObject& object, Vec3& offset, const ObjectList& list) {
    return {"parent", [&object, &offset, &list](ScriptReader& script) {
                std::string parentName;
                if (scanLine(script.line(), "parent %s V(%f %f %f)",
                             ScanWord{parentName, SceneObject::maxNameLength}, offset.x, offset.y,
                             offset.z) >= 1)
                    object.parent = findParent(script, list, parentName);
            }};
}
