#pragma once

#include <vector>

class SceneObject;

// Scene objects in script order. The list does not own them: objects live until the next show is loaded.
using ObjectList = std::vector<SceneObject*>;
