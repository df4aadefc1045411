#include "objects/scene_object.h"

std::string describeObject(const SceneObject& object) {
    std::string description(object.kind);
    if (!object.name.empty())
        description += " \"" + object.name + "\"";
    return description + " in " + object.script;
}
